// SPDX-License-Identifier: MIT
// Objects starting path searches: the Object members that build a search and hand it to the path
// manager, kept in the paths module so the world needs nothing of it.
#include <veltrane/core/LogManager.h>
#include <veltrane/paths/PathFind.h>
#include <veltrane/paths/PathManager.h>
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
    // Only this object's own search goes: searches walking to it keep it as their target.
    dropPathFind();
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

}  // namespace vl
