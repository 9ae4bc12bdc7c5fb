// SPDX-License-Identifier: MIT
#include "WorldManager.h"

#include "Object.h"

namespace vl {

WorldManager::WorldManager() { setType("WorldManager"); }

WorldManager& WorldManager::getInstance() {
    static WorldManager instance;
    return instance;
}

int WorldManager::startUp() { return Manager::startUp(); }

void WorldManager::shutDown() {
    const ObjectList doomed = m_objects;
    for (ObjectListIterator li(&doomed); !li.isDone(); li.next()) {
        delete li.currentObject();
    }
    Manager::shutDown();
}

bool WorldManager::isValid(std::string event_type) const {
    return event_type != STEP_EVENT && event_type != KEYBOARD_EVENT && event_type != MSE_EVENT &&
           !isNetworkEvent(event_type);
}

int WorldManager::insertObject(Object* p_o) { return m_objects.insert(p_o); }

int WorldManager::removeObject(Object* p_o) { return m_objects.remove(p_o); }

ObjectList WorldManager::getAllObjects() const { return m_objects; }

void WorldManager::update() {}

void WorldManager::draw() {}

void WorldManager::setBoundary(Box new_boundary) { m_boundary = new_boundary; }
Box WorldManager::getBoundary() const { return m_boundary; }
void WorldManager::setView(Box new_view) { m_view = new_view; }
Box WorldManager::getView() const { return m_view; }
void WorldManager::setViewSlack(Vector new_view_slack) { m_view_slack = new_view_slack; }
Vector WorldManager::getViewSlack() const { return m_view_slack; }

} // namespace vl
