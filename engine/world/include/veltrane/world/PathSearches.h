// SPDX-License-Identifier: MIT
#ifndef VL_PATH_SEARCHES_H
#define VL_PATH_SEARCHES_H

namespace vl {

class Object;
class PathFind;

/// What objects need from the module that runs their path searches, so the world never names it.
/// The path manager implements it and hands itself to the world manager when it is built.
class PathSearches {
public:
    virtual void deletePathFind(PathFind* p_path_find) = 0;  ///< withdraws the search, then deletes it
    virtual void
    forgetTarget(const Object* p_target) = 0;  ///< searches walking to it arrive at its last cell

protected:
    ~PathSearches() = default;
};

}  // namespace vl

#endif
