// SPDX-License-Identifier: MIT
// Objects and paths: starting searches, receiving their outcome, and walking the path found.
#include <utility>

#include <veltrane/core/LogManager.h>
#include <veltrane/paths/EventPath.h>
#include <veltrane/paths/PathFind.h>
#include <veltrane/paths/PathManager.h>
#include <veltrane/world/Geometry.h>
#include <veltrane/world/Object.h>
#include <veltrane/world/WorldManager.h>

namespace vl {

namespace {

// Cells of the world's boundary as it is now: both extents in whole cells.
bool inWorld(Cell c) {
    const Box boundary = WorldManager::getInstance().getBoundary();
    return c.x >= 0 && c.y >= 0 &&
           static_cast<double>(c.x) + 1.0 <= static_cast<double>(boundary.getHorizontal()) &&
           static_cast<double>(c.y) + 1.0 <= static_cast<double>(boundary.getVertical());
}

}  // namespace

int Object::findPath(Vector goal) {
    return startPathFind(goal, nullptr);
}

int Object::findPath(Object* p_target) {
    if (p_target == nullptr || p_target == this) {
        LogManager::getInstance().writeLog("Object::findPath(): Error! Object %d cannot walk to %s.", m_id,
                                           p_target == nullptr ? "no object" : "itself");
        return -1;
    }
    return startPathFind(p_target->getPosition(), p_target);
}

int Object::startPathFind(Vector goal, Object* p_target) {
    const LogManager& log = LogManager::getInstance();
    PathManager& path_manager = PathManager::getInstance();
    if (!path_manager.isStarted()) {
        log.writeLog("Object::findPath(): Error! PathManager not started.");
        return -1;
    }
    const Cell start = positionToCell(m_position);
    const Cell goal_cell = positionToCell(goal);
    if (!inWorld(start) || !inWorld(goal_cell)) {
        const Box boundary = WorldManager::getInstance().getBoundary();
        log.writeLog("Object::findPath(): Error! Object %d: %s %s outside the world (%s).", m_id,
                     inWorld(start) ? "goal" : "start",
                     (inWorld(start) ? goal : m_position).toString().c_str(), boundary.toString().c_str());
        return -1;
    }
    leavePathSearches();
    auto* p_path_find = new PathFind(this, start, goal_cell, p_target);
    if (path_manager.addPathFind(p_path_find) != 0) {
        delete p_path_find;
        return -1;
    }
    m_p_path_find = p_path_find;
    log.writeLog(10, "Object::findPath(): Object %d searches from (%d,%d) to (%d,%d).", m_id, start.x,
                 start.y, goal_cell.x, goal_cell.y);
    return 0;
}

bool Object::isFindingPath() const {
    return m_p_path_find != nullptr;
}

void Object::leavePathSearches() {
    PathManager& path_manager = PathManager::getInstance();
    if (m_p_path_find != nullptr) {
        path_manager.removePathFind(m_p_path_find);
        delete m_p_path_find;
        m_p_path_find = nullptr;
    }
    path_manager.forgetTarget(this);
}

void Object::setPath(Path new_path) {
    m_path = std::move(new_path);
    m_modified |= PATH;
}

Path Object::getPath() const {
    return m_path;
}

void Object::setFollowPath(bool follow) {
    m_follow_path = follow;
    m_modified |= FOLLOW_PATH;
    if (!m_path.isDone()) {
        setDirectionTo(m_path.getCurrent());
    }
}

int Object::eventHandler(const Event* p_e) {
    if (p_e == nullptr || p_e->getType() != PATH_EVENT) {
        return 0;
    }
    const auto* p_path_event = dynamic_cast<const EventPath*>(p_e);
    if (p_path_event == nullptr) {
        LogManager::getInstance().writeLog(
            "Object::eventHandler(): Error! Dynamic cast to EventPath failed.");
        return 0;
    }
    // The outcome of a search this object has since replaced changes nothing.
    if (p_path_event->getSearch() != nullptr && p_path_event->getSearch() != m_p_path_find) {
        return 1;
    }
    if (p_path_event->getStatus() == PATH_FOUND) {
        setPath(p_path_event->getPath());
        setFollowPath(true);
    }
    if (m_p_path_find != nullptr) {
        PathManager::getInstance().removePathFind(m_p_path_find);
        delete m_p_path_find;
        m_p_path_find = nullptr;
    }
    return 1;
}

void Object::stepPath() {
    if (!m_follow_path) {
        return;
    }
    // Waypoints within three quarters of a step are reached at once, several in one step if need be.
    const float reach = m_speed * 3.0f * 0.25f;
    while (!m_path.isDone()) {
        const Vector waypoint = m_path.getCurrent();
        if (static_cast<double>(distance(waypoint, m_position)) > static_cast<double>(reach)) {
            setDirectionTo(waypoint);
            return;
        }
        setPosition(waypoint);
        m_path.next();
        m_modified |= PATH;
    }
    setDirection(Vector(0, 0));
    setFollowPath(false);
}

}  // namespace vl
