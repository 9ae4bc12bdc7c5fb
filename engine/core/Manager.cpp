// SPDX-License-Identifier: MIT
#include <veltrane/core/Manager.h>

#include <algorithm>

#include <veltrane/core/LogManager.h>

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

bool Manager::refuseUnlessStarted() const {
    if (m_is_started) {
        return false;
    }
    LogManager::getInstance().writeLog("%s not started!", m_type.c_str());
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

int Manager::registerInterest(EventHandler* p_o, std::string event_type) {
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
        std::vector<EventHandler*>& list = m_obj_list[i];
        if (std::find(list.begin(), list.end(), p_o) != list.end()) {
            LogManager::getInstance().writeLog(
                1, "Manager::registerInterest(): Warning! Not adding id %d (%s) twice for event %s.",
                p_o->getId(), p_o->getType().c_str(), event_type.c_str());
            return 0;
        }
        list.push_back(p_o);
        return 0;
    }
    if (m_event_count == MAX_EVENTS) {
        return -1;
    }
    m_event_name[m_event_count] = event_type;
    m_obj_list[m_event_count].assign(1, p_o);
    m_event_count++;
    return 0;
}

int Manager::unregisterInterest(EventHandler* p_o, std::string event_type) {
    for (int i = 0; i < m_event_count; i++) {
        if (m_event_name[i] != event_type) {
            continue;
        }
        std::vector<EventHandler*>& list = m_obj_list[i];
        const auto it = std::find(list.begin(), list.end(), p_o);
        if (it == list.end()) {
            return -1;
        }
        list.erase(it);
        if (list.empty()) {
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
        const std::vector<EventHandler*> receivers = m_obj_list[i];
        for (EventHandler* p_o : receivers) {
            if (p_o->isActive()) {
                p_o->eventHandler(p_e);
                count++;
            }
        }
    }
    return count;
}

}  // namespace vl
