// SPDX-License-Identifier: MIT
#include "InputManager.h"

namespace vl {

InputManager::InputManager() {
    setType("InputManager");
}

InputManager& InputManager::getInstance() {
    static InputManager instance;
    return instance;
}

int InputManager::startUp() {
    return Manager::startUp();
}

void InputManager::shutDown() {
    Manager::shutDown();
}

bool InputManager::isValid(std::string event_type) const {
    return event_type == KEYBOARD_EVENT || event_type == MSE_EVENT;
}

void InputManager::getInput() {}

}  // namespace vl
