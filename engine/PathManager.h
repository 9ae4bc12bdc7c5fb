// SPDX-License-Identifier: MIT
// Advances incremental path searches a little every loop iteration.
#ifndef VL_PATH_MANAGER_H
#define VL_PATH_MANAGER_H

#include "Manager.h"

namespace vl {

class PathManager : public Manager {
public:
    static PathManager& getInstance();
    int startUp() override;
    void shutDown() override;
    void cycle(int budget_ms);  // advances pending path searches within the budget

private:
    PathManager();
};

}  // namespace vl

#endif
