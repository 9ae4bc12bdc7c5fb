// SPDX-License-Identifier: MIT
#include "Object.h"

#include "GameManager.h"
#include "InputManager.h"
#include "NetworkManager.h"
#include "WorldManager.h"

namespace vl {

int Object::s_next_id = 1;

namespace {

// The manager that keeps interest in, and sends, events of this type.
Manager& managerFor(const std::string& event_type) {
    if (event_type == KEYBOARD_EVENT || event_type == MSE_EVENT) {
        return InputManager::getInstance();
    }
    if (event_type == STEP_EVENT) {
        return GameManager::getInstance();
    }
    if (isNetworkEvent(event_type)) {
        return NetworkManager::getInstance();
    }
    return WorldManager::getInstance();
}

} // namespace

Object::Object() : m_id(s_next_id++), m_type("(Undefined)"), m_is_active(true), m_event_count(0) {
    WorldManager::getInstance().insertObject(this);
}

Object::~Object() {
    while (m_event_count > 0) {
        unregisterInterest(m_event_name[m_event_count - 1]);
    }
    WorldManager::getInstance().removeObject(this);
}

int Object::getId() const { return m_id; }
void Object::setId(int new_id) { m_id = new_id; }
void Object::setType(std::string new_type) { m_type = std::move(new_type); }
std::string Object::getType() const { return m_type; }
bool Object::isActive() const { return m_is_active; }

int Object::setActive(bool active) {
    m_is_active = active;
    return 0;
}

int Object::eventHandler(const Event*) { return 0; }

int Object::registerInterest(std::string event_type) {
    if (m_event_count == MAX_OBJ_EVENTS) {
        return -1;
    }
    if (managerFor(event_type).registerInterest(this, event_type) != 0) {
        return -1;
    }
    for (int i = 0; i < m_event_count; i++) {
        if (m_event_name[i] == event_type) {
            return 0;
        }
    }
    m_event_name[m_event_count] = event_type;
    m_event_count++;
    return 0;
}

int Object::unregisterInterest(std::string event_type) {
    for (int i = 0; i < m_event_count; i++) {
        if (m_event_name[i] != event_type) {
            continue;
        }
        managerFor(event_type).unregisterInterest(this, event_type);
        for (int j = i + 1; j < m_event_count; j++) {
            m_event_name[j - 1] = m_event_name[j];
        }
        m_event_count--;
        return 0;
    }
    return -1;
}

} // namespace vl
