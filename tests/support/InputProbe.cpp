// SPDX-License-Identifier: MIT
#include "InputProbe.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include <veltrane/core/EventStep.h>
#include <veltrane/core/LogManager.h>
#include <veltrane/game/GameManager.h>
#include <veltrane/input/EventKeyboard.h>
#include <veltrane/input/EventMouse.h>

namespace vltest {

namespace {

// An input event with all its fields ("key pressed A", "mouse moved UNDEFINED_MOUSE_BUTTON 10 5").
std::string describeInput(const vl::Event* p_e) {
    if (const auto* p_key = dynamic_cast<const vl::EventKeyboard*>(p_e)) {
        const char* p_action = vl::keyboardActionName(p_key->getKeyboardAction());
        const char* p_name = vl::keyName(p_key->getKey());
        return std::string("key ") + (p_action != nullptr ? p_action : "?") + " " +
               (p_name != nullptr ? p_name : "?");
    }
    if (const auto* p_mouse = dynamic_cast<const vl::EventMouse*>(p_e)) {
        const char* p_action = vl::mouseActionName(p_mouse->getMouseAction());
        const char* p_button = vl::mouseButtonName(p_mouse->getMouseButton());
        char position[80];
        std::snprintf(position, sizeof(position), "%g %g",
                      static_cast<double>(p_mouse->getMousePosition().getX()),
                      static_cast<double>(p_mouse->getMousePosition().getY()));
        return std::string("mouse ") + (p_action != nullptr ? p_action : "?") + " " +
               (p_button != nullptr ? p_button : "?") + " " + position;
    }
    return "";
}

}  // namespace

InputProbe::InputProbe(int safety_step) : last_step(-1), m_safety_step(safety_step) {
    // A probe that misses events would report input that never came as lost.
    if (registerInterest(vl::STEP_EVENT) != 0 || registerInterest(vl::KEYBOARD_EVENT) != 0 ||
        registerInterest(vl::MSE_EVENT) != 0) {
        std::abort();
    }
}

int InputProbe::eventHandler(const vl::Event* p_e) {
    const vl::LogManager& log = vl::LogManager::getInstance();
    const int step = vl::GameManager::getInstance().getStepCount();
    if (p_e->getType() == vl::STEP_EVENT) {
        last_step = step;
        log.writeLog("Probe: step %d rand %d", step, std::rand());
        if (m_safety_step >= 0 && step >= m_safety_step) {
            log.writeLog("Probe: safety stop");
            vl::GameManager::getInstance().setGameOver();
        }
        return 1;
    }
    const std::string text = describeInput(p_e);
    if (text.empty()) {
        return 0;
    }
    log.writeLog("Probe: step %d %s", step, text.c_str());
    return 1;
}

int runProbedGame(int safety_step) {
    vl::GameManager& game = vl::GameManager::getInstance();
    if (game.startUp() != 0) {
        return 2;
    }
    new InputProbe(safety_step);
    game.run();
    game.shutDown();
    return 0;
}

}  // namespace vltest
