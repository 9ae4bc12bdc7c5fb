// SPDX-License-Identifier: MIT
#include <veltrane/network/EventNetwork.h>

#include <veltrane/core/LogManager.h>

namespace vl {

EventNetwork::EventNetwork(int init_label)
    : m_label(NETWORK_UNDEFINED), m_socket(-1), m_bytes(0), m_p_message(nullptr) {
    setType(NETWORK_EVENT);
    setLabel(init_label);
}

EventNetwork::~EventNetwork() = default;

void EventNetwork::setLabel(int new_label) {
    if (new_label < NETWORK_UNDEFINED || new_label > NETWORK_DATA) {
        LogManager::getInstance().writeLog("EventNetwork::setLabel(): Undefined type (%d).", new_label);
        m_label = NETWORK_UNDEFINED;
        return;
    }
    m_label = new_label;
}

int EventNetwork::getLabel() const {
    return m_label;
}
void EventNetwork::setSocket(int new_socket) {
    m_socket = new_socket;
}
int EventNetwork::getSocket() const {
    return m_socket;
}
void EventNetwork::setBytes(int new_bytes) {
    m_bytes = new_bytes;
}
int EventNetwork::getBytes() const {
    return m_bytes;
}
void EventNetwork::setMessage(const char* p_new_message) {
    m_p_message = p_new_message;
}
const char* EventNetwork::getMessage() const {
    return m_p_message;
}

EventNetworkAccept::EventNetworkAccept(int init_label) : EventNetwork(init_label) {
    setType(NETWORK_ACCEPT_EVENT);
}

EventNetworkClose::EventNetworkClose(int init_label) : EventNetwork(init_label) {
    setType(NETWORK_CLOSE_EVENT);
}

}  // namespace vl
