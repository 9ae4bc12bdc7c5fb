// SPDX-License-Identifier: MIT
#include <veltrane/core/Manager.h>

#include <veltrane/core/LogManager.h>
#include <veltrane/world/Object.h>

namespace vl {

Manager::Manager() : m_type("Manager"), m_event_count(0), m_is_started(false) {}

Manager::~Manager() = default;

bool Manager::isValid(std::string) const {
    return false;
}

int Manager::startUp() {
    if (m_is_started) {
        LogManager::getInstance().writeLog(1, "Manager::startUp(): Warning! %s already started.",
                                           m_type.c_str());
    }
    m_is_started = true;
    return 0;
}

void Manager::shutDown() {
    if (!m_is_started) {
        LogManager::getInstance().writeLog(1, "Manager::shutDown(): Warning! %s not started.",
                                           m_type.c_str());
    }
    m_is_started = false;
}

bool Manager::refuseIfStarted() const {
    if (!m_is_started) {
        return false;
    }
    LogManager::getInstance().writeLog("%s::startup(): Warning! %s already started.", m_type.c_str(),
                                       m_type.c_str());
    return true;
}

std::string Manager::getType() const {
    return m_type;
}

void Manager::setType(std::string type) {
    m_type = std::move(type);
}

bool Manager::isStarted() const {
    return m_is_started;
}

int Manager::getEventCount() const {
    return m_event_count;
}

int Manager::registerInterest(Object* p_o, std::string event_type) {
    if (!isValid(event_type)) {
        LogManager::getInstance().writeLog(
            "Manager(%s)::registerInterest(): Event '%s' not valid for this Manager", m_type.c_str(),
            event_type.c_str());
        return -1;
    }
    if (p_o == nullptr) {
        return -1;
    }
    for (int i = 0; i < m_event_count; i++) {
        if (m_event_name[i] != event_type) {
            continue;
        }
        if (m_obj_list[i].contains(p_o)) {
            LogManager::getInstance().writeLog(
                1, "Manager::registerInterest(): Warning! Not adding id %d (%s) twice for event %s.",
                p_o->getId(), p_o->getType().c_str(), event_type.c_str());
            return 0;
        }
        return m_obj_list[i].insert(p_o);
    }
    if (m_event_count == MAX_EVENTS) {
        return -1;
    }
    m_event_name[m_event_count] = event_type;
    m_obj_list[m_event_count].clear();
    if (m_obj_list[m_event_count].insert(p_o) != 0) {
        return -1;
    }
    m_event_count++;
    return 0;
}

int Manager::unregisterInterest(Object* p_o, std::string event_type) {
    for (int i = 0; i < m_event_count; i++) {
        if (m_event_name[i] != event_type) {
            continue;
        }
        if (m_obj_list[i].remove(p_o) != 0) {
            return -1;
        }
        if (m_obj_list[i].isEmpty()) {
            for (int j = i + 1; j < m_event_count; j++) {
                m_event_name[j - 1] = m_event_name[j];
                m_obj_list[j - 1] = m_obj_list[j];
            }
            m_event_count--;
        }
        return 0;
    }
    return -1;
}

int Manager::onEvent(const Event* p_e) const {
    const std::string type = p_e->getType();
    if (type == UNDEFINED_EVENT) {
        LogManager::getInstance().writeLog(1, "Manager(%s)::onEvent(): Warning! Event type %s is undefined.",
                                           m_type.c_str(), type.c_str());
        return 0;
    }
    if (!isValid(type)) {
        LogManager::getInstance().writeLog(1, "Manager(%s)::onEvent(): Error! Event type %s not valid.",
                                           m_type.c_str(), type.c_str());
        return 0;
    }
    int count = 0;
    for (int i = 0; i < m_event_count; i++) {
        if (m_event_name[i] != type) {
            continue;
        }
        // A copy, so handlers may change interests while the event is delivered.
        const ObjectList receivers = m_obj_list[i];
        for (ObjectListIterator li(&receivers); !li.isDone(); li.next()) {
            Object* p_o = li.currentObject();
            if (p_o->isActive()) {
                p_o->eventHandler(p_e);
                count++;
            }
        }
    }
    return count;
}

}  // namespace vl
