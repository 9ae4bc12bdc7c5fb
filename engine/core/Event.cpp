// SPDX-License-Identifier: MIT
#include <veltrane/core/Event.h>

namespace vl {

bool isNetworkEvent(const std::string& event_type) {
    static const std::string types[] = {NETWORK_EVENT,           KEYBOARD_NETWORK_EVENT, MSE_NETWORK_EVENT,
                                        NETWORK_ACCEPT_EVENT,    NETWORK_CONNECT_EVENT,  NETWORK_CLOSE_EVENT,
                                        NETWORK_CREATE_EVENT,    CUSTOM_NETWORK_EVENT,   NETWORK_DELETE_EVENT,
                                        NETWORK_GAME_OVER_EVENT, NETWORK_SYNC_EVENT};
    for (const std::string& t : types) {
        if (t == event_type) {
            return true;
        }
    }
    return false;
}

Event::Event() : m_event_type(UNDEFINED_EVENT) {}

Event::~Event() = default;

void Event::setType(const std::string& new_type) {
    m_event_type = new_type;
}

std::string Event::getType() const {
    return m_event_type;
}

}  // namespace vl
