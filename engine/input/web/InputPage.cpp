// SPDX-License-Identifier: MIT
// The browser's input: the page's keys and mouse, as a key source; there is no window to poll.
#include <veltrane/input/InputManager.h>

#include "PageKeys.h"
#include <veltrane/core/LogManager.h>

namespace vl {

void InputManager::openSource() {
    m_p_keys = std::make_unique<PageKeys>();
    LogManager::getInstance().writeLog(2,
                                       "InputManager::startUp(): Reading keys and the mouse from the page.");
}

void InputManager::closeSource() {}

bool InputManager::pollWindow() {
    return true;
}

void InputManager::sendHeldInWindow() {}

}  // namespace vl
