// SPDX-License-Identifier: MIT
#include "ResourceManager.h"

namespace vl {

ResourceManager::ResourceManager() {
    setType("ResourceManager");
}

ResourceManager& ResourceManager::getInstance() {
    static ResourceManager instance;
    return instance;
}

int ResourceManager::startUp() {
    return Manager::startUp();
}

void ResourceManager::shutDown() {
    Manager::shutDown();
}

}  // namespace vl
