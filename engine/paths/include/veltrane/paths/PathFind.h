// SPDX-License-Identifier: MIT
#ifndef VL_PATH_FIND_H
#define VL_PATH_FIND_H

#include <cstdint>
#include <queue>
#include <string>
#include <vector>

#include <veltrane/core/Vector.h>
#include <veltrane/world/Path.h>

namespace vl {

class Object;

/// An incremental A* search over the world's character cells, from a start cell to a goal cell (or
/// until touching a target object), avoiding hard objects. The path manager advances it.
/// One character cell of the world: cell (x, y) is the world position (x, y).
struct Cell {
    ///@{
    /// The cell's column and row.
    int x;
    int y;
    ///@}
    ///@{
    /// Same or different cell.
    bool operator==(const Cell& other) const { return x == other.x && y == other.y; }
    bool operator!=(const Cell& other) const { return !(*this == other); }
    ///@}
};

Cell positionToCell(Vector position);  ///< the nearest cell (halves round up)
Vector cellToPosition(Cell cell);

const long long MAX_PATH_CELLS = 16LL * 1024 * 1024;  ///< worlds with more cells get no node graph

/// One path search over the world's cells, run a little at a time.
class PathFind {
public:
    /// A search for p_obj (not owned, must outlive the search) from start to goal over the world's
    /// boundary as it is now; with a target (not owned), touching it counts as arriving. The node
    /// graph is allocated here; when it cannot be (empty or huge world, no memory, no object) every
    /// cycleOnce() reports NO_PATH. A search that ends without a path logs why, once.
    PathFind(Object* p_obj, Cell start, Cell goal, Object* p_target = nullptr);
    ~PathFind();

    [[nodiscard]] int cycleOnce();  ///< one A* expansion: SEARCHING, NO_PATH or PATH_FOUND
    Path getPath() const;           ///< start to goal, both included, when found; otherwise empty
    /// The object the path is for, not owned.
    Object* getObject() const;
    /// The object to reach, not owned; null for a goal cell.
    Object* getTarget() const;
    void forgetTarget();  ///< the target is going away: arrive at its last cell instead
    /// The cell the search starts from.
    Cell getStart() const;
    Cell getGoal() const;  ///< becomes the cell where the target was touched
    /// Whether the search has found a path.
    bool isFound() const;
    bool hasNodes() const;         ///< the node graph was allocated
    int getExpandedCount() const;  ///< cells expanded so far
    int getOpenCount() const;      ///< cells discovered and not yet expanded

private:
    PathFind(const PathFind&) = delete;
    PathFind& operator=(const PathFind&) = delete;

    enum NodeState : uint8_t {
        UNSEEN,
        OPEN,
        CLOSED
    };
    struct Node {
        float g;       //!< cost from the start
        float f;       //!< g plus the estimate to the goal
        Cell parent;   //!< cell it was reached from
        uint32_t seq;  //!< order of discovery; later discoveries win ties
        NodeState state;
    };
    /// Lowest f first; among equal f, the most recently discovered first.
    struct OpenEntry {
        float f;
        uint32_t seq;
        Cell cell;
        bool operator<(const OpenEntry& other) const {
            return f > other.f || (f == other.f && seq < other.seq);
        }
    };

    bool inGrid(Cell c) const;
    Node& node(Cell c);
    const Node& node(Cell c) const;
    bool isBlocked(Cell c) const;
    const Object* blockerAt(Cell c) const;  ///< the first hard object that blocks c, or null
    int fail(const std::string& reason);    ///< logs why there is no path, once; NO_PATH
    std::string whyUnreachable() const;
    [[nodiscard]] bool popBest(Cell& best);  ///< the open cell to expand next; false when none is open
    void consider(const Cell& current, const Cell& n, int dx, int dy);

    Object* m_p_obj;     //!< not owned
    Object* m_p_target;  //!< not owned, may be null
    Cell m_start;
    Cell m_goal;
    int m_columns;  //!< the node graph's extent, fixed at construction
    int m_rows;
    std::vector<Node> m_nodes;              //!< row by row; empty when not allocated
    std::priority_queue<OpenEntry> m_open;  //!< may hold stale entries for cells improved since
    int m_open_count;
    uint32_t m_next_seq;
    std::vector<Cell> m_closed;  //!< in expansion order
    bool m_found;
    bool m_failed;  //!< ended without a path, and said why
};

}  // namespace vl

#endif
