// SPDX-License-Identifier: MIT
#include <veltrane/world/SceneGraph.h>

#include <unordered_map>

#include <veltrane/core/LogManager.h>
#include <veltrane/core/LoopState.h>
#include <veltrane/core/Utility.h>

namespace vl {

namespace {

bool validAltitude(int altitude) {
    return altitude >= 0 && altitude <= MAX_ALTITUDE;
}

// While the game ends, objects are taken apart in bulk and list failures are expected.
bool gameOver() {
    return LoopState::getInstance().getGameOver();
}

using Counts = std::unordered_map<const Object*, int>;

// Removes p_o from its type's list and drops the list when it empties: types come from outside
// (object records), and a map keeping every name ever seen would only grow.
int removeFromType(std::map<std::string, ObjectList>& type_map, Object* p_o, const std::string& type) {
    const auto it = type_map.find(type);
    if (it == type_map.end()) {
        return -1;
    }
    const int result = it->second.remove(p_o);
    if (it->second.isEmpty()) {
        type_map.erase(it);
    }
    return result;
}

// How many times each object appears in the list.
Counts countEntries(const ObjectList& list) {
    Counts counts;
    for (int i = 0; i < list.getCount(); i++) {
        counts[list[i]]++;
    }
    return counts;
}

// The lists an object belongs to: the active ones (with its type's list) or the inactive one,
// and, only while active, the solid list and grid and the visible list at its altitude.
struct Membership {
    bool active;
    bool solid;
    bool visible;
    int altitude;
};

// With `active` given, the lists it would belong to once its activity is that.
Membership membershipOf(const Object* p_o, bool active) {
    return {active, active && p_o->isSolid(), active && p_o->isVisible(), p_o->getAltitude()};
}

Membership membershipOf(const Object* p_o) {
    return membershipOf(p_o, p_o->isActive());
}

}  // namespace

SceneGraph::SceneGraph() = default;

int SceneGraph::startUp(const Box& boundary, int cell_width, int cell_height) {
    m_type_map.clear();
    LogManager::getInstance().writeLog(1, "Scenegraph configuration: GRID");
    return m_grid.startUp(boundary, cell_width, cell_height);
}

void SceneGraph::shutDown() {
    m_type_map.clear();
    m_grid.shutDown();
}

int SceneGraph::insertObject(Object* p_o) {
    LogManager& log = LogManager::getInstance();
    if (p_o == nullptr) {
        return -1;
    }
    const Membership lists = membershipOf(p_o);
    if (!lists.active) {
        return m_inactive_objects.insert(p_o);
    }
    if (m_objects.insert(p_o) != 0) {
        log.writeLog("SceneGraph::insertObject(): Error! unable to insert active Object (id %d)",
                     p_o->getId());
        return -1;
    }
    if (m_type_map[p_o->getType()].insert(p_o) != 0) {
        log.writeLog("SceneGraph::insertObject(): Error! unable to insert Object (id %d) into type map",
                     p_o->getId());
        return -1;
    }
    if (lists.solid) {
        if (m_solid_objects.insert(p_o) != 0) {
            log.writeLog("SceneGraph::insertObject(): Error! unable to insert solid Object (id %d)",
                         p_o->getId());
            return -1;
        }
        if (m_grid.insertObject(p_o) != 0) {
            log.writeLog("SceneGraph::insertObject(): Error! unable to add to Grid (id %d)", p_o->getId());
            return -1;
        }
    }
    if (!lists.visible) {
        return 0;
    }
    if (!validAltitude(lists.altitude)) {
        log.writeLog("SceneGraph::insertObject(): Warning! Altitude %d not in range [%d,%d]", lists.altitude,
                     0, MAX_ALTITUDE);
        return -1;
    }
    if (m_visible_objects[lists.altitude].insert(p_o) != 0) {
        log.writeLog("SceneGraph::insertObject(): Error! unable to insert visible object (id %d)",
                     p_o->getId());
        return -1;
    }
    return 0;
}

int SceneGraph::removeObject(Object* p_o) {
    if (p_o == nullptr) {
        return -1;
    }
    int sum = 0;
    const Membership lists = membershipOf(p_o);
    if (!lists.active) {
        sum += m_inactive_objects.remove(p_o);
    } else {
        sum += m_objects.remove(p_o);
        sum += removeFromType(m_type_map, p_o, p_o->getType());
        if (lists.visible) {
            sum += validAltitude(lists.altitude) ? m_visible_objects[lists.altitude].remove(p_o) : -1;
        }
        if (lists.solid) {
            sum += m_solid_objects.remove(p_o);
            sum += m_grid.removeObject(p_o);
        }
    }
    if (sum < 0) {
        LogManager::getInstance().writeLog(
            "SceneGraph::removeObject(): Error removing Object (id %d)! Pointer is %p.", p_o->getId(),
            static_cast<void*>(p_o));
        return -1;
    }
    return 0;
}

ObjectList SceneGraph::activeObjects() const {
    return m_objects;
}
ObjectList SceneGraph::inactiveObjects() const {
    return m_inactive_objects;
}
ObjectList SceneGraph::solidObjects() const {
    return m_solid_objects;
}

ObjectList SceneGraph::visibleObjects(int altitude) const {
    if (!validAltitude(altitude)) {
        LogManager::getInstance().writeLog(
            "SceneGraph::visibleObjects(): Warning! altitude %d not in [%d,%d].", altitude, 0, MAX_ALTITUDE);
        return ObjectList();
    }
    return m_visible_objects[altitude];
}

ObjectList SceneGraph::objectsOfType(const std::string& type) const {
    const auto it = m_type_map.find(type);
    return it == m_type_map.end() ? ObjectList() : it->second;
}

ObjectList SceneGraph::getCollisions(const Object* p_o, Vector where) const {
    return m_grid.getCollisions(p_o, where);
}

const Grid& SceneGraph::getGrid() const {
    return m_grid;
}

int SceneGraph::updateActive(Object* p_o, bool new_active) {
    LogManager& log = LogManager::getInstance();
    if (p_o->isActive() == new_active) {
        return 0;
    }
    const std::string type = p_o->getType();
    const char* p_type = type.c_str();
    const bool quiet = gameOver();
    // The lists it has while active: left when it becomes inactive, joined when it becomes active.
    const Membership lists = membershipOf(p_o, true);
    int result = 0;
    // A failure is logged and counted while the game runs; the remaining steps run regardless.
    auto check = [&](int status, const char* fmt) {
        if (status != 0 && !quiet) {
            log.writeLog(fmt, p_type);
            result = -1;
        }
    };

    if (!new_active) {
        check(m_objects.remove(p_o), "SceneGraph::updateActive(): remove object (%s) failed for objects!");
        if (removeFromType(m_type_map, p_o, type) != 0) {
            result = -1;
        }
        if (lists.visible) {
            check(validAltitude(lists.altitude) ? m_visible_objects[lists.altitude].remove(p_o) : -1,
                  "SceneGraph::updateActive(): remove visible object (%s) failed for visible_objects!");
        }
        if (lists.solid) {
            check(m_solid_objects.remove(p_o),
                  "SceneGraph::updateActive(): remove object (%s) failed for solid_objects!");
            if (m_grid.removeObject(p_o) != 0) {
                return -1;
            }
        }
        check(m_inactive_objects.insert(p_o),
              "SceneGraph::updateActive(): insert object (%s) failed for inactive_objects!");
        return result;
    }

    check(m_objects.insert(p_o), "SceneGraph::updateActive(): insert Object (%s) failed for objects!");
    if (m_type_map[type].insert(p_o) != 0) {
        log.writeLog("SceneGraph::updateActive(): Error! insert Object (%s) failed for type map!", p_type);
        return -1;
    }
    if (lists.visible) {
        check(validAltitude(lists.altitude) ? m_visible_objects[lists.altitude].insert(p_o) : -1,
              "SceneGraph::updateActive(): insert Object (%s) failed for visible_objects!");
    }
    if (lists.solid) {
        check(m_solid_objects.insert(p_o),
              "SceneGraph::updateActive(): insert object (%s) failed for solid_objects!");
        if (m_grid.insertObject(p_o) != 0) {
            return -1;
        }
    }
    check(m_inactive_objects.remove(p_o),
          "SceneGraph::updateActive(): remove object (%s) failed for inactive_objects!");
    return result;
}

int SceneGraph::updateVisible(Object* p_o, bool new_visible) {
    if (!p_o->isActive() || p_o->isVisible() == new_visible) {
        return 0;
    }
    const int altitude = p_o->getAltitude();
    const std::string type = p_o->getType();
    int status = -1;
    if (validAltitude(altitude)) {
        status =
            new_visible ? m_visible_objects[altitude].insert(p_o) : m_visible_objects[altitude].remove(p_o);
    }
    if (status == 0 || gameOver()) {
        return 0;
    }
    if (new_visible) {
        LogManager::getInstance().writeLog("SceneGraph::updateVisible(): unable to add visible object (%s)",
                                           type.c_str());
    } else {
        LogManager::getInstance().writeLog(
            "SceneGraph::updateVisible(): unable to remove visible object (%s)", type.c_str());
    }
    return -1;
}

int SceneGraph::updateSolidness(Object* p_o, Solidness new_solidness) {
    LogManager& log = LogManager::getInstance();
    if (!p_o->isActive()) {
        return 0;
    }
    const bool was_solid = p_o->isSolid();
    const bool will_be_solid = new_solidness == HARD || new_solidness == SOFT;
    if (was_solid && !will_be_solid) {
        if (m_solid_objects.remove(p_o) != 0 && !gameOver()) {
            log.writeLog("SceneGraph::updateSolidness(): unable to remove solid object (%s)",
                         p_o->getType().c_str());
        }
        if (m_grid.removeObject(p_o) != 0) {
            return -1;
        }
    } else if (!was_solid && will_be_solid) {
        if (m_solid_objects.insert(p_o) != 0 && !gameOver()) {
            log.writeLog("SceneGraph::updateSolidness(): Error! unable to insert solid object");
            return -1;
        }
        log.writeLog(20, "SceneGraph::updateSolidness(): Adding to grid.");
        if (m_grid.insertObject(p_o) != 0) {
            log.writeLog("SceneGraph::updateSolidness(): Error! unable to insert solid object (%d) into grid",
                         p_o->getId());
            return -1;
        }
    }
    return 0;
}

int SceneGraph::updateAltitude(Object* p_o, int new_altitude) {
    LogManager& log = LogManager::getInstance();
    if (!p_o->isActive()) {
        return 0;
    }
    if (!validAltitude(new_altitude)) {
        log.writeLog("SceneGraph::updateAltitude(): New altitude %d not in [%d,%d]!  No update.",
                     new_altitude, 0, MAX_ALTITUDE);
        return -1;
    }
    const int old_altitude = p_o->getAltitude();
    if (!validAltitude(old_altitude)) {
        log.writeLog(
            "SceneGraph::updateAltitude(): Old altitude %d not in [%d,%d]! This is unxepected. No update.",
            old_altitude, 0, MAX_ALTITUDE);
        return -1;
    }
    if (!p_o->isVisible()) {
        return 0;
    }
    if (m_visible_objects[old_altitude].remove(p_o) != 0 && !gameOver()) {
        log.writeLog("SceneGraph::updateAltitude(): remove from old altitude (%d) failed!", old_altitude);
        log.writeLog("\tObject: type %s, id %d, p %p", p_o->getType().c_str(), p_o->getId(),
                     static_cast<void*>(p_o));
        return -1;
    }
    if (m_visible_objects[new_altitude].insert(p_o) != 0) {
        log.writeLog("SceneGraph::updateAltitude()): insert visible object at altitude %d failed!",
                     new_altitude);
        return -1;
    }
    return 0;
}

int SceneGraph::updateType(Object* p_o, const std::string& new_type) {
    LogManager& log = LogManager::getInstance();
    // An inactive object is in no type list: it is listed under its new type when it becomes active.
    if (!p_o->isActive()) {
        return 0;
    }
    const std::string old_type = p_o->getType();
    if (removeFromType(m_type_map, p_o, old_type) != 0 && !gameOver()) {
        log.writeLog("SceneGraph::updateType(): Error! Unable to remove Object (%d) type %s", p_o->getId(),
                     old_type.c_str());
        return -1;
    }
    if (m_type_map[new_type].insert(p_o) != 0 && !gameOver()) {
        log.writeLog("SceneGraph::updateType(): Error! Unable to insert Object (%d) type %s", p_o->getId(),
                     new_type.c_str());
        return -1;
    }
    return 0;
}

int SceneGraph::updatePosition(Object* p_o, Vector new_position) {
    if (!p_o->isActive() || !p_o->isSolid()) {
        return 0;
    }
    if (m_grid.updatePosition(p_o, new_position) != 0) {
        LogManager::getInstance().writeLog(
            "SceneGraph::updatePosition(): Error! Calling grid updatePosition (Object %d).", p_o->getId());
        return -1;
    }
    return 0;
}

int SceneGraph::reindex() {
    int result = 0;
    for (int i = 0; i < m_objects.getCount(); i++) {
        Object* p_o = m_objects[i];
        if (m_type_map[p_o->getType()].insert(p_o) != 0) {
            result = -1;
        }
        if (p_o->isSolid() && m_grid.insertObject(p_o) != 0) {
            result = -1;
        }
    }
    return result;
}

int SceneGraph::checkConsistency() const {
    LogManager& log = LogManager::getInstance();
    int problems = 0;
    const Counts in_active = countEntries(m_objects);
    const Counts in_inactive = countEntries(m_inactive_objects);
    const Counts in_solid = countEntries(m_solid_objects);
    Counts in_visible[MAX_ALTITUDE + 1];
    for (int altitude = 0; altitude <= MAX_ALTITUDE; altitude++) {
        in_visible[altitude] = countEntries(m_visible_objects[altitude]);
    }
    std::map<std::string, Counts> in_type;
    for (const auto& entry : m_type_map) {
        in_type[entry.first] = countEntries(entry.second);
    }

    auto expect = [&](const char* what, const Counts& counts, const Object* p_o, bool wanted) {
        const auto it = counts.find(p_o);
        const int found = it == counts.end() ? 0 : it->second;
        if (found != (wanted ? 1 : 0)) {
            log.writeLog("SceneGraph::checkConsistency(): object %d (%s) is in %s %d times, expected %d.",
                         p_o->getId(), p_o->getType().c_str(), what, found, wanted ? 1 : 0);
            problems++;
        }
    };

    // The world is the union of the two lists; each object must be in exactly one, by its activity.
    const ObjectList world = m_objects + m_inactive_objects;
    int solid_count = 0;
    int visible_count[MAX_ALTITUDE + 1] = {};
    std::map<std::string, int> type_count;
    for (int i = 0; i < world.getCount(); i++) {
        const Object* p_o = world[i];
        const Membership lists = membershipOf(p_o);
        expect("the active list", in_active, p_o, lists.active);
        expect("the inactive list", in_inactive, p_o, !lists.active);
        expect("the solid list", in_solid, p_o, lists.solid);
        solid_count += lists.solid ? 1 : 0;
        for (int altitude = 0; altitude <= MAX_ALTITUDE; altitude++) {
            const bool here = lists.visible && lists.altitude == altitude;
            expect("a visible list", in_visible[altitude], p_o, here);
            visible_count[altitude] += here ? 1 : 0;
        }
        for (const auto& entry : in_type) {
            expect("a type list", entry.second, p_o, lists.active && entry.first == p_o->getType());
        }
        if (lists.active) {
            if (in_type.find(p_o->getType()) == in_type.end()) {
                expect("the type map", Counts(), p_o, true);
            }
            type_count[p_o->getType()]++;
        }
    }

    // Entries for objects outside the world (stale pointers) show up only as surplus counts.
    if (m_solid_objects.getCount() != solid_count) {
        log.writeLog("SceneGraph::checkConsistency(): solid list holds %d, expected %d.",
                     m_solid_objects.getCount(), solid_count);
        problems++;
    }
    for (int altitude = 0; altitude <= MAX_ALTITUDE; altitude++) {
        if (m_visible_objects[altitude].getCount() != visible_count[altitude]) {
            log.writeLog("SceneGraph::checkConsistency(): visible list %d holds %d, expected %d.", altitude,
                         m_visible_objects[altitude].getCount(), visible_count[altitude]);
            problems++;
        }
    }
    for (const auto& entry : m_type_map) {
        if (entry.second.getCount() != type_count[entry.first]) {
            log.writeLog("SceneGraph::checkConsistency(): type list '%s' holds %d, expected %d.",
                         entry.first.c_str(), entry.second.getCount(), type_count[entry.first]);
            problems++;
        }
    }
    return problems + m_grid.checkConsistency(m_solid_objects);
}

}  // namespace vl
