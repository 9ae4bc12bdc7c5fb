// SPDX-License-Identifier: MIT
#ifndef VL_PATH_H
#define VL_PATH_H

#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include <veltrane/core/Vector.h>

namespace vl {

/// Outcome of one step of a path search, carried by path events.
enum PathStatus {
    NO_PATH = 0,     ///< the search ended without reaching the goal
    SEARCHING = 1,   ///< the search goes on
    PATH_FOUND = 2,  ///< the goal (or the target object) was reached
};

/// A path: the waypoints an object walks to in order, and the outcome of a path search.
class Path {
public:
    Path();  ///< no waypoints, index 0
    /// A path along waypoints, from the first.
    explicit Path(std::vector<Vector> waypoints);

    bool isDone() const;                                   ///< every waypoint visited
    Vector getCurrent() const;                             ///< the waypoint walked to; (0, 0) when done
    Path& next();                                          ///< on to the next waypoint; never past the end
    void setWaypoints(std::vector<Vector> new_waypoints);  ///< the index stays
    /// The waypoints.
    const std::vector<Vector>& getWaypoints() const;
    /// The waypoint walked toward.
    int getIndex() const;
    int getCount() const;  ///< number of waypoints

    /// An 8-byte waypoint count, then each waypoint as a vector; the index is not written.
    [[nodiscard]] int serialize(std::ostream& stream) const;  ///< 0, or -1 (logged) on a stream error
    /// Reads that record and restarts at index 0; refuses (logged, -1, path unchanged) a count
    /// beyond what the stream holds, before allocating, and leaves the path unchanged when cut short.
    [[nodiscard]] int deserialize(std::istream& stream);
    std::string toString() const;  ///< each waypoint's text followed by "|"

    bool operator==(const Path& other) const;  ///< same waypoints and index

private:
    std::vector<Vector> m_waypoints;
    int m_index;  //!< the waypoint walked to
};

}  // namespace vl

#endif
