// SPDX-License-Identifier: MIT
#ifndef VL_EVENT_PATH_H
#define VL_EVENT_PATH_H

#include <veltrane/core/Event.h>
#include <veltrane/world/Path.h>

namespace vl {

class PathFind;

/// Sent to an object when its path search ends: the outcome and, when found, the path.
class EventPath : public Event {
public:
    EventPath();  ///< type "vl-path", status NO_PATH, empty path
    ~EventPath() override;

    int getStatus() const;  ///< a PathStatus
    /// Sets how the search ended.
    void setStatus(int new_status);
    ///@{
    /// The path found.
    Path getPath() const;
    void setPath(const Path& new_path);
    ///@}
    /// The search that ended, so that the receiver discards that one and not a newer one; not owned.
    const PathFind* getSearch() const;
    /// Sets the search that ended.
    void setSearch(const PathFind* p_new_search);

private:
    int m_status;
    Path m_path;
    const PathFind* m_p_search;  //!< not owned; null when not sent by a search
};

}  // namespace vl

#endif
