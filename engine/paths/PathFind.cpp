// SPDX-License-Identifier: MIT
#include <veltrane/paths/PathFind.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <new>
#include <string>

#include <veltrane/core/LogManager.h>
#include <veltrane/core/ObjectList.h>
#include <veltrane/world/Geometry.h>
#include <veltrane/world/Object.h>
#include <veltrane/world/WorldManager.h>

namespace vl {

Cell positionToCell(Vector position) {
    // Positions beyond any world (or not numbers) map to a cell outside every grid.
    auto whole = [](float value) {
        const double rounded = std::floor(static_cast<double>(value) + 0.5);
        return rounded > -1e9 && rounded < 1e9 ? static_cast<int>(rounded) : INT_MIN;
    };
    return Cell{whole(position.getX()), whole(position.getY())};
}

Vector cellToPosition(Cell cell) {
    return Vector(static_cast<float>(cell.x), static_cast<float>(cell.y));
}

PathFind::PathFind(Object* p_obj, Cell start, Cell goal, Object* p_target)
    : m_p_obj(p_obj), m_p_target(p_target), m_start(start), m_goal(goal), m_columns(0), m_rows(0),
      m_open_count(0), m_next_seq(0), m_found(false), m_failed(false) {
    const Box boundary = WorldManager::getInstance().getBoundary();
    // Whole cells; a boundary too large for an int (or not a number) gets no graph.
    const float horizontal = boundary.getHorizontal();
    const float vertical = boundary.getVertical();
    if (p_obj == nullptr || !(horizontal >= 1.0f && vertical >= 1.0f) ||
        static_cast<double>(horizontal) * static_cast<double>(vertical) >
            static_cast<double>(MAX_PATH_CELLS)) {
        return;
    }
    const int columns = static_cast<int>(horizontal);
    const int rows = static_cast<int>(vertical);
    try {
        m_nodes.assign(static_cast<size_t>(columns) * static_cast<size_t>(rows),
                       Node{0.0f, 0.0f, Cell{-1, -1}, 0, UNSEEN});
    } catch (const std::bad_alloc&) {
        m_nodes.clear();
        return;
    }
    m_columns = columns;
    m_rows = rows;
    if (inGrid(m_start)) {
        node(m_start).g = 0.0f;
    }
}

PathFind::~PathFind() = default;

bool PathFind::inGrid(Cell c) const {
    return c.x >= 0 && c.x < m_columns && c.y >= 0 && c.y < m_rows;
}

PathFind::Node& PathFind::node(Cell c) {
    return m_nodes[static_cast<size_t>(c.y) * static_cast<size_t>(m_columns) + static_cast<size_t>(c.x)];
}

const PathFind::Node& PathFind::node(Cell c) const {
    return m_nodes[static_cast<size_t>(c.y) * static_cast<size_t>(m_columns) + static_cast<size_t>(c.x)];
}

bool PathFind::isBlocked(Cell c) const {
    return blockerAt(c) != nullptr;
}

const Object* PathFind::blockerAt(Cell c) const {
    const Vector goal = cellToPosition(m_goal);
    const ObjectList hits = WorldManager::getInstance().getCollisions(m_p_obj, cellToPosition(c));
    for (ObjectListIterator li(&hits); !li.isDone(); li.next()) {
        const Object* p_hit = li.currentObject();
        // Any hard object blocks, except one covering the goal: the object walked to never does.
        if (p_hit->getSolidness() == HARD && !boxContainsPosition(getWorldBox(p_hit), goal)) {
            return p_hit;
        }
    }
    return nullptr;
}

namespace {

std::string cellText(Cell c) {
    return "(" + std::to_string(c.x) + "," + std::to_string(c.y) + ")";
}

std::string objectText(const Object* p_o) {
    return "object " + std::to_string(p_o->getId()) + " ('" + p_o->getType() + "') at " +
           cellText(positionToCell(p_o->getPosition()));
}

}  // namespace

std::string PathFind::whyUnreachable() const {
    const std::string world = std::to_string(m_columns) + " x " + std::to_string(m_rows) + " cells";
    if (!inGrid(m_start)) {
        return "the start is outside the world of " + world;
    }
    if (const Object* p_blocker = blockerAt(m_start)) {
        return "the start cell is blocked: the box there touches hard " + objectText(p_blocker) +
               " (a box as large as its cells touches the cells beside it)";
    }
    if (!inGrid(m_goal)) {
        return "the goal is outside the world of " + world;
    }
    if (const Object* p_blocker = blockerAt(m_goal)) {
        return "the goal cell is blocked by hard " + objectText(p_blocker);
    }
    const bool edge = std::any_of(m_closed.begin(), m_closed.end(), [this](Cell c) {
        return c.x == 0 || c.y == 0 || c.x == m_columns - 1 || c.y == m_rows - 1;
    });
    const size_t reached = m_closed.size();
    return "the goal is unreachable: hard objects close in the " + std::to_string(reached) +
           (reached == 1 ? " cell" : " cells") + " reachable from the start" +
           (edge ? " (with the edge of the world)" : "");
}

int PathFind::fail(const std::string& reason) {
    if (!m_failed) {
        m_failed = true;
        LogManager::getInstance().writeLog(
            "PathFind::cycleOnce(): Warning! No path for object %d ('%s') from %s to %s: %s.",
            m_p_obj->getId(), m_p_obj->getType().c_str(), cellText(m_start).c_str(), cellText(m_goal).c_str(),
            reason.c_str());
    }
    return NO_PATH;
}

bool PathFind::popBest(Cell& best) {
    while (!m_open.empty()) {
        const OpenEntry entry = m_open.top();
        m_open.pop();
        const Node& n = node(entry.cell);
        // Entries left behind when a cell's cost improved, or for cells expanded since, are skipped.
        if (n.state == OPEN && n.f == entry.f && n.seq == entry.seq) {
            best = entry.cell;
            return true;
        }
    }
    return false;
}

int PathFind::cycleOnce() {
    if (m_nodes.empty()) {
        LogManager::getInstance().writeLog(
            "PathFind::cycleOnce(): node graph not allocated.  Cannot find path.");
        return NO_PATH;
    }
    if (m_found) {
        return PATH_FOUND;
    }
    if (m_failed) {
        return NO_PATH;
    }
    Cell current = m_start;
    if (m_open_count == 0 || !popBest(current)) {
        if (!inGrid(m_start)) {
            return fail(whyUnreachable());
        }
        current = m_start;
    }
    Node& here = node(current);
    if (here.state == OPEN) {
        m_open_count--;
    }
    here.state = CLOSED;
    m_closed.push_back(current);

    if (current == m_goal) {
        m_found = true;
    }
    if (m_p_target != nullptr && !m_found) {
        if (boxIntersectsBox(getWorldBox(m_p_obj, cellToPosition(current)),
                             getWorldBox(m_p_target, cellToPosition(m_goal)))) {
            m_found = true;
            m_goal = current;
        }
    }
    if (m_found) {
        return PATH_FOUND;
    }

    // Each neighbour is asked about at most once per expansion, also when it is a diagonal's side.
    signed char blocked[3][3] = {{-1, -1, -1}, {-1, -1, -1}, {-1, -1, -1}};
    auto isBlockedAt = [&](int dx, int dy) {
        signed char& known = blocked[dy + 1][dx + 1];
        if (known < 0) {
            known = isBlocked(Cell{current.x + dx, current.y + dy}) ? 1 : 0;
        }
        return known == 1;
    };
    for (int dy = -1; dy <= 1; dy++) {
        for (int dx = -1; dx <= 1; dx++) {
            if (dx == 0 && dy == 0) {
                continue;
            }
            const Cell n{current.x + dx, current.y + dy};
            if (!inGrid(n) || node(n).state == CLOSED || isBlockedAt(dx, dy)) {
                continue;
            }
            // A diagonal step may cut a corner, but not squeeze between two blocked cells.
            if (dx != 0 && dy != 0 && isBlockedAt(dx, 0) && isBlockedAt(0, dy)) {
                continue;
            }
            consider(current, n, dx, dy);
        }
    }
    return m_open_count > 0 ? SEARCHING : fail(whyUnreachable());
}

void PathFind::consider(const Cell& current, const Cell& n, int dx, int dy) {
    const float g = static_cast<float>(static_cast<double>(node(current).g) +
                                       std::sqrt(static_cast<double>(dx * dx + dy * dy)));
    Node& next = node(n);
    if (next.state == OPEN && g > next.g) {
        return;
    }
    const double ex = static_cast<double>(n.x) - static_cast<double>(m_goal.x);
    const double ey = static_cast<double>(n.y) - static_cast<double>(m_goal.y);
    const float f = static_cast<float>(static_cast<double>(g) + std::sqrt(ex * ex + ey * ey));
    const bool changed = next.state != OPEN || f != next.f;
    if (next.state != OPEN) {
        next.state = OPEN;
        next.seq = m_next_seq++;
        m_open_count++;
    }
    next.parent = current;
    next.g = g;
    next.f = f;
    if (changed) {
        m_open.push(OpenEntry{f, next.seq, n});
    }
}

Path PathFind::getPath() const {
    if (!m_found || m_nodes.empty()) {
        return Path();
    }
    std::vector<Vector> waypoints;
    Cell at = m_goal;
    // The parents lead back to the start; the bound only guards against a broken chain.
    for (size_t steps = 0; at != m_start && inGrid(at) && steps <= m_nodes.size(); steps++) {
        waypoints.push_back(cellToPosition(at));
        at = node(at).parent;
    }
    waypoints.push_back(cellToPosition(m_start));
    std::reverse(waypoints.begin(), waypoints.end());
    return Path(std::move(waypoints));
}

Object* PathFind::getObject() const {
    return m_p_obj;
}
Object* PathFind::getTarget() const {
    return m_p_target;
}
void PathFind::forgetTarget() {
    m_p_target = nullptr;
}
Cell PathFind::getStart() const {
    return m_start;
}
Cell PathFind::getGoal() const {
    return m_goal;
}
bool PathFind::isFound() const {
    return m_found;
}
bool PathFind::hasNodes() const {
    return !m_nodes.empty();
}
int PathFind::getExpandedCount() const {
    return static_cast<int>(m_closed.size());
}
int PathFind::getOpenCount() const {
    return m_open_count;
}

}  // namespace vl
