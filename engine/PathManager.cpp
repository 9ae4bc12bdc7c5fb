// SPDX-License-Identifier: MIT
#include "PathManager.h"

namespace vl {

PathManager::PathManager() {
    setType("PathManager");
}

PathManager& PathManager::getInstance() {
    static PathManager instance;
    return instance;
}

int PathManager::startUp() {
    return Manager::startUp();
}

void PathManager::shutDown() {
    Manager::shutDown();
}

void PathManager::cycle(int) {}

}  // namespace vl
