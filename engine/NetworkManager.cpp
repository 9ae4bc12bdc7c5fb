// SPDX-License-Identifier: MIT
#include "NetworkManager.h"

namespace vl {

NetworkManager::NetworkManager() { setType("NetworkManager"); }

NetworkManager& NetworkManager::getInstance() {
    static NetworkManager instance;
    return instance;
}

int NetworkManager::startUp() { return Manager::startUp(); }

void NetworkManager::shutDown() { Manager::shutDown(); }

bool NetworkManager::isValid(std::string event_type) const { return isNetworkEvent(event_type); }

bool NetworkManager::isServer() const { return false; }

int NetworkManager::accept() { return -2; }

bool NetworkManager::isConnected(int) const { return false; }

int NetworkManager::sendDelayed() { return 0; }

} // namespace vl
