// SPDX-License-Identifier: MIT
// Objects and paths: receiving a search's outcome, dropping searches, and walking the path found.
// Searches are started in the paths module (ObjectPathFind.cpp), which the world reaches only
// through PathSearches.
#include <utility>

#include <veltrane/core/LogManager.h>
#include <veltrane/world/EventPath.h>
#include <veltrane/world/Geometry.h>
#include <veltrane/world/Object.h>
#include <veltrane/world/WorldManager.h>

namespace vl {

bool Object::isFindingPath() const {
    return m_p_path_find != nullptr;
}

void Object::dropPathFind() {
    PathSearches* p_searches = WorldManager::getInstance().getPathSearches();
    // A search exists only where a path manager made it.
    if (m_p_path_find != nullptr && p_searches != nullptr) {
        p_searches->deletePathFind(m_p_path_find);
    }
    m_p_path_find = nullptr;
}

void Object::leavePathSearches() {
    dropPathFind();
    PathSearches* p_searches = WorldManager::getInstance().getPathSearches();
    if (p_searches != nullptr) {
        p_searches->forgetTarget(this);
    }
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
        warnIfStill();
    }
    dropPathFind();
    return 1;
}

void Object::warnIfStill() {
    if (m_speed != 0 || m_warned_still) {
        return;
    }
    m_warned_still = true;
    LogManager::getInstance().writeLog(
        "Object::eventHandler(): Warning! Object %d ('%s') follows its path at speed 0 and stands still; a "
        "path is walked at the object's speed (setSpeed), which setVelocity(vl::Vector(0, 0)) sets to 0 too.",
        m_id, m_type.c_str());
}

void Object::stopPath() {
    dropPathFind();
    setPath(Path());
    setFollowPath(false);
    setDirection(Vector(0, 0));
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
