// SPDX-License-Identifier: MIT
#include <veltrane/world/WorldManager.h>

#include <cmath>
#include <cstdlib>

#include <veltrane/core/Config.h>
#include <veltrane/core/LogManager.h>
#include <veltrane/graphics/DisplayManager.h>
#include <veltrane/world/EventCollision.h>
#include <veltrane/world/EventOut.h>
#include <veltrane/world/Geometry.h>
#include <veltrane/world/Object.h>

namespace vl {

namespace {

// The environment wins over the configuration, so any run can be checked without editing files.
bool checksWanted() {
    const char* p_env = std::getenv("VELTRANE_CHECKS");
    if (p_env != nullptr && *p_env != '\0') {
        return std::string(p_env) != "0";
    }
    return Config::getInstance().getConsistencyChecks();
}

void forgetDeletedAt(std::vector<std::pair<const Object*, std::string>>& deleted, const Object* p_o) {
    for (auto it = deleted.begin(); it != deleted.end(); ++it) {
        if (it->first == p_o) {
            deleted.erase(it);
            return;
        }
    }
}

}  // namespace

WorldManager::WorldManager()
    : m_p_view_following(nullptr), m_p_path_searches(nullptr), m_checks(false), m_walking(false) {
    setType("WorldManager");
}

WorldManager::~WorldManager() = default;

WorldManager& WorldManager::getInstance() {
    static WorldManager instance;
    return instance;
}

int WorldManager::startUp() {
    LogManager& log = LogManager::getInstance();
    if (refuseIfStarted()) {
        return -1;
    }
    m_deletions.clear();
    m_boundary = Box(Vector(0, 0), 0, 0);
    setView(Box(Vector(0, 0), 0, 0));
    m_view_slack = Vector(0, 0);
    m_p_view_following = nullptr;
    m_checks = checksWanted();
    if (startSceneGraph() != 0) {
        log.writeLog("WorldManager::startUp(): Error! Unable to startup Scenegraph");
        return -1;
    }
    if (Manager::startUp() != 0) {
        return -1;
    }
    log.writeLog(5, "WorldManager::startUp(): successfully started.");
    return 0;
}

void WorldManager::shutDown() {
    // Destructors may build objects of their own (a burst of particles, say), so delete in rounds
    // while still accepting them; a last round after stopping catches destructors that never settle.
    const int max_rounds = 8;
    for (int round = 0; round < max_rounds && !getAllObjects(true).isEmpty(); round++) {
        deleteAll();
    }
    Manager::shutDown();
    deleteAll();
    m_deletions.clear();
    m_p_view_following = nullptr;
    m_scene_graph.shutDown();
    LogManager::getInstance().writeLog(5, "WorldManager::shutDown(): Successfully stopped.");
}

int WorldManager::startSceneGraph() {
    // Read at every start: the world manager may exist before the configuration is loaded.
    const Config& config = Config::getInstance();
    return m_scene_graph.startUp(m_boundary, config.getGridWidth(), config.getGridHeight());
}

void WorldManager::deleteAll() {
    const ObjectList doomed = getAllObjects(true);
    for (int i = 0; i < doomed.getCount(); i++) {
        delete doomed[i];
    }
}

bool WorldManager::isValid(std::string event_type) const {
    LogManager& log = LogManager::getInstance();
    if (event_type == KEYBOARD_EVENT || event_type == MSE_EVENT || event_type == STEP_EVENT) {
        log.writeLog("WorldManager::isValid(): WorldManager does not handle %s", event_type.c_str());
        return false;
    }
    if (event_type == OUT_EVENT || event_type == COLLISION_EVENT) {
        log.writeLog("WorldManager::isValid(): Event %s handled automatically.", event_type.c_str());
        return false;
    }
    return true;
}

int WorldManager::insertObject(Object* p_o) {
    if (p_o == nullptr) {
        return -1;
    }
    if (!isStarted()) {
        LogManager& log = LogManager::getInstance();
        log.writeLog(2, "WorldManager::insertObject(): Warning! Not adding Object %d", p_o->getId());
        log.writeLog(2, "                              because WorldManager not started.");
        return -1;
    }
    if (m_scene_graph.insertObject(p_o) != 0) {
        return -1;
    }
    m_members.insert(p_o);
    forgetDeletedAt(m_deleted_in_walk, p_o);  // the address now holds a new, live object
    return 0;
}

int WorldManager::removeObject(Object* p_o) {
    if (p_o == m_p_view_following) {
        m_p_view_following = nullptr;
    }
    // A marked object deleted some other way must not be deleted again.
    m_deletions.remove(p_o);
    m_members.erase(p_o);
    if (m_walking && m_checks) {
        m_deleted_in_walk.emplace_back(p_o, "Object " + std::to_string(p_o->getId()) + " ('" +
                                                p_o->getType() + "')");
    }
    return m_scene_graph.removeObject(p_o);
}

int WorldManager::markForDelete(Object* p_o) {
    if (m_members.count(p_o) == 0) {
        LogManager::getInstance().writeLog(
            "WorldManager::markForDelete(): Error! Object %p is not in the world "
            "(deleted already, or never added); not marking it.",
            static_cast<void*>(p_o));
        return -1;
    }
    if (m_deletions.contains(p_o)) {
        return 0;
    }
    if (m_deletions.insert(p_o) != 0) {
        LogManager::getInstance().writeLog(
            "WorldManager::markForDelete(): Error! unable to add Object %p to deletions list",
            static_cast<void*>(p_o));
        return -1;
    }
    return 0;
}

ObjectList WorldManager::getAllObjects(bool inactive) const {
    if (inactive) {
        return m_scene_graph.activeObjects() + m_scene_graph.inactiveObjects();
    }
    return m_scene_graph.activeObjects();
}

ObjectList WorldManager::objectsAtPosition(Vector where) const {
    const Box cell(Vector(where.getX() - 0.5f, where.getY() - 0.5f), 0.99f, 0.99f);
    const ObjectList active = m_scene_graph.activeObjects();
    ObjectList result;
    for (int i = 0; i < active.getCount(); i++) {
        if (boxIntersectsBox(getWorldBox(active[i]), cell)) {
            result.insert(active[i]);
        }
    }
    return result;
}

ObjectList WorldManager::getCollisions(const Object* p_o, Vector where) const {
    return m_scene_graph.getCollisions(p_o, where);
}

int WorldManager::moveObject(Object* p_o, Vector where) {
    if (p_o == nullptr) {
        return -1;
    }
    const Vector start = p_o->getPosition();
    if (p_o->isSolid()) {
        ObjectList list = getCollisions(p_o, where);

        if (!list.isEmpty() && p_o->getSolidness() == HARD && p_o->getAvoidCollisions()) {
            Object* p_hard = nullptr;
            for (int i = 0; i < list.getCount() && p_hard == nullptr; i++) {
                if (list[i]->getSolidness() == HARD) {
                    p_hard = list[i];
                }
            }
            if (p_hard != nullptr) {
                // Keep only the part of the motion that runs along the surface hit.
                const Vector normal = getNormal(p_o, p_hard);
                const Vector direction = p_o->getDirection();
                float fx = direction.getX() * std::fabs(normal.getY());
                const float fy = direction.getY() * std::fabs(normal.getX());
                if (std::fabs(normal.getX()) == 1.0f && std::fabs(normal.getY()) == 1.0f) {
                    fx = -fx;
                }
                Vector slide(fx, fy);
                slide.normalize();
                slide.scale(p_o->getSpeed());
                where = p_o->getPosition() + slide;
                const ObjectList list2 = getCollisions(p_o, where);
                for (int i = 0; i < list2.getCount(); i++) {
                    if (list2[i]->getSolidness() == HARD) {
                        LogManager::getInstance().writeLog(5, "WorldManager::moveObject(): Double collision. "
                                                              "Object (avoid obstacles) cannot move.");
                        return -1;
                    }
                }
                list = list2;
            }
        }

        if (!list.isEmpty()) {
            bool do_move = true;
            for (int i = 0; i < list.getCount(); i++) {
                Object* p_other = list[i];
                const EventCollision collision(p_o, p_other, where);
                p_o->eventHandler(&collision);
                if (reportIfDeleted(p_o) || reportIfDeleted(p_other)) {
                    return -1;
                }
                p_other->eventHandler(&collision);
                if (reportIfDeleted(p_o) || reportIfDeleted(p_other)) {
                    return -1;
                }
                // Handlers may have changed either object: judge by what they are now.
                if (p_o->getSolidness() == HARD && p_other->getSolidness() == HARD) {
                    do_move = false;
                }
                if (p_o->getNoSoft() && p_other->getSolidness() == SOFT) {
                    do_move = false;
                }
            }
            if (!do_move) {
                return -1;
            }
        }
    }

    const Box before = getWorldBox(p_o, start);
    // A collision handler that placed the mover elsewhere has the last word.
    if (p_o->getPosition() == start) {
        p_o->setPosition(where);
    }
    const Box after = getWorldBox(p_o);
    if (boxIntersectsBox(before, m_boundary) && !boxIntersectsBox(after, m_boundary)) {
        const EventOut out;
        p_o->eventHandler(&out);
    }
    if (p_o == m_p_view_following) {
        followView(p_o);
    }
    return 0;
}

bool WorldManager::reportIfDeleted(const Object* p_o) {
    for (auto& deleted : m_deleted_in_walk) {
        if (deleted.first != p_o) {
            continue;
        }
        if (!deleted.second.empty()) {
            LogManager::getInstance().writeLog(
                "WorldManager::update(): Error! %s was deleted with delete while the world still refers to "
                "it; call WorldManager::markForDelete() instead.",
                deleted.second.c_str());
            deleted.second.clear();  // reported once
        }
        return true;
    }
    return false;
}

void WorldManager::followView(const Object* p_o) {
    const float width = m_view.getHorizontal();
    const float height = m_view.getVertical();
    float cx = m_view.getCorner().getX() + width * 0.5f;
    float cy = m_view.getCorner().getY() + height * 0.5f;
    const float left = cx - width * m_view_slack.getX() * 0.5f;
    const float right = cx + width * m_view_slack.getX() * 0.5f;
    const float top = cy - height * m_view_slack.getY() * 0.5f;
    const float bottom = cy + height * m_view_slack.getY() * 0.5f;
    const Vector p = p_o->getPosition();
    if (left > p.getX()) {
        cx -= left - p.getX();
    } else if (p.getX() > right) {
        cx += p.getX() - right;
    }
    if (top > p.getY()) {
        cy -= top - p.getY();
    } else if (p.getY() > bottom) {
        cy += p.getY() - bottom;
    }
    setViewPosition(Vector(cx, cy));
}

void WorldManager::update() {
    // Objects created during this update wait for the next one.
    const ObjectList active = m_scene_graph.activeObjects();
    m_walking = true;
    for (int i = 0; i < active.getCount(); i++) {
        Object* p_o = active[i];
        if (reportIfDeleted(p_o)) {
            continue;
        }
        const Vector predicted = p_o->predictPosition();
        if (predicted != p_o->getPosition()) {
            moveObject(p_o, predicted);
        }
        if (reportIfDeleted(p_o)) {
            continue;
        }
        p_o->stepPath();
        if (!reportIfDeleted(p_o)) {
            p_o->applyAcceleration();
        }
    }
    m_walking = false;
    m_deleted_in_walk.clear();

    // Taken off the list before deletion, so a destructor that marks more objects (or itself)
    // extends this walk without any object being deleted twice.
    while (!m_deletions.isEmpty()) {
        Object* p_o = m_deletions[0];
        m_deletions.remove(p_o);
        delete p_o;
    }

    if (m_checks && checkConsistency() != 0) {
        LogManager::getInstance().writeLog(
            "WorldManager::update(): Error! Scene graph inconsistent; aborting.");
        std::abort();
    }
}

void WorldManager::draw() {
    for (int altitude = 0; altitude <= MAX_ALTITUDE; altitude++) {
        // A copy: drawing may change visibility.
        const ObjectList visible = m_scene_graph.visibleObjects(altitude);
        for (int i = 0; i < visible.getCount(); i++) {
            Object* p_o = visible[i];
            // View objects sit in view coordinates, so their world box says nothing about being seen.
            if (boxIntersectsBox(getWorldBox(p_o), m_view) || p_o->isViewAnchored() ||
                p_o->isDrawnOutOfView()) {
                p_o->draw();
            }
        }
    }
}

void WorldManager::setBoundary(Box new_boundary) {
    if (new_boundary == m_boundary) {
        return;
    }
    m_boundary = new_boundary;
    m_scene_graph.shutDown();
    if (startSceneGraph() != 0) {
        LogManager::getInstance().writeLog(
            "WorldManager::setBoundary(): Error! Unable to restart Scenegraph");
        return;
    }
    // The restart emptied the type lists and the grid: list the existing objects again so they still collide.
    m_scene_graph.reindex();
}

Box WorldManager::getBoundary() const {
    return m_boundary;
}

void WorldManager::setView(Box new_view) {
    m_view = new_view;
    // The display draws relative to the view without asking the world where it is.
    DisplayManager::getInstance().setViewCorner(m_view.getCorner());
}

Box WorldManager::getView() const {
    return m_view;
}

void WorldManager::setViewPosition(Vector view_pos) {
    const float width = m_view.getHorizontal();
    const float height = m_view.getVertical();
    float x = view_pos.getX() - width * 0.5f;
    float y = view_pos.getY() - height * 0.5f;
    if (x + width > m_boundary.getHorizontal()) {
        x = m_boundary.getHorizontal() - width;
    }
    if (y + height > m_boundary.getVertical()) {
        y = m_boundary.getVertical() - height;
    }
    if (x < 0) {
        x = 0;
    }
    if (y < 0) {
        y = 0;
    }
    setView(Box(Vector(x, y), width, height));
}

void WorldManager::setViewSlack(Vector new_view_slack) {
    if (new_view_slack.getX() < 0 || new_view_slack.getX() > 1 || new_view_slack.getY() < 0 ||
        new_view_slack.getY() > 1) {
        LogManager::getInstance().writeLog(
            "WorldManager::setViewSlack(): Warning! view slack units out of range [0-1]");
    }
    m_view_slack = new_view_slack;
}

Vector WorldManager::getViewSlack() const {
    return m_view_slack;
}

int WorldManager::setViewFollowing(Object* p_new_view_following) {
    if (p_new_view_following == nullptr) {
        m_p_view_following = nullptr;
        return 0;
    }
    if (!getAllObjects(true).contains(p_new_view_following)) {
        LogManager::getInstance().writeLog(
            "WorldManager::setViewFollowing(): Warning! Object %p is not in the world; not following it.",
            static_cast<void*>(p_new_view_following));
        return -1;
    }
    m_p_view_following = p_new_view_following;
    setViewPosition(p_new_view_following->getPosition());
    return 0;
}

Object* WorldManager::getViewFollowing() const {
    return m_p_view_following;
}

void WorldManager::setPathSearches(PathSearches* p_path_searches) {
    m_p_path_searches = p_path_searches;
}

PathSearches* WorldManager::getPathSearches() const {
    return m_p_path_searches;
}

SceneGraph& WorldManager::getSceneGraph() {
    return m_scene_graph;
}

const SceneGraph& WorldManager::getSceneGraph() const {
    return m_scene_graph;
}

int WorldManager::checkConsistency() const {
    return m_scene_graph.checkConsistency();
}

void WorldManager::setConsistencyChecks(bool on) {
    m_checks = on;
}

bool WorldManager::getConsistencyChecks() const {
    return m_checks;
}

}  // namespace vl
