// SPDX-License-Identifier: MIT
#include "DisplayManager.h"

#include "Config.h"

namespace vl {

DisplayManager::DisplayManager() { setType("DisplayManager"); }

DisplayManager& DisplayManager::getInstance() {
    static DisplayManager instance;
    return instance;
}

int DisplayManager::startUp() { return Manager::startUp(); }

void DisplayManager::shutDown() { Manager::shutDown(); }

int DisplayManager::getHorizontalChars() const { return Config::getInstance().getWindowHorizontalChars(); }

int DisplayManager::getVerticalChars() const { return Config::getInstance().getWindowVerticalChars(); }

int DisplayManager::swapBuffers() { return 0; }

} // namespace vl
