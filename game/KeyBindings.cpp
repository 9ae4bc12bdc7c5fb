// SPDX-License-Identifier: MIT
#include "KeyBindings.h"

namespace {
namespace Keyboard = vl::Keyboard;

enum class When {
    PRESSED,
    RELEASED,
    HELD,
    ANY
};

struct KeyBinding {
    Screen screen;
    Keyboard::Key key;
    When when;
    Command command;
    int level;
};

// Each key and action gives at most one command per screen.
const KeyBinding BINDINGS[] = {
    {Screen::TITLE, Keyboard::RETURN, When::ANY, Command::START_LEVEL, 0},
    {Screen::TITLE, Keyboard::A, When::PRESSED, Command::PREVIOUS_LEVEL, 0},
    {Screen::TITLE, Keyboard::D, When::PRESSED, Command::NEXT_LEVEL, 0},
    {Screen::TITLE, Keyboard::NUM1, When::ANY, Command::SELECT_LEVEL, 0},
    {Screen::TITLE, Keyboard::NUM2, When::ANY, Command::SELECT_LEVEL, 1},
    {Screen::TITLE, Keyboard::NUM3, When::ANY, Command::SELECT_LEVEL, 2},
    {Screen::TITLE, Keyboard::NUM4, When::ANY, Command::SELECT_LEVEL, 3},
    {Screen::TITLE, Keyboard::NUM5, When::ANY, Command::SELECT_LEVEL, 4},
    {Screen::TITLE, Keyboard::NUM6, When::ANY, Command::SELECT_LEVEL, 5},
    {Screen::TITLE, Keyboard::Q, When::RELEASED, Command::QUIT_GAME, 0},
    {Screen::LEVEL, Keyboard::A, When::HELD, Command::WALK_LEFT, 0},
    {Screen::LEVEL, Keyboard::D, When::HELD, Command::WALK_RIGHT, 0},
    {Screen::LEVEL, Keyboard::W, When::HELD, Command::JUMP, 0},
    {Screen::LEVEL, Keyboard::SPACE, When::PRESSED, Command::LIGHT, 0},
    {Screen::LEVEL, Keyboard::A, When::RELEASED, Command::STOP_WALKING, 0},
    {Screen::LEVEL, Keyboard::D, When::RELEASED, Command::STOP_WALKING, 0},
    {Screen::LEVEL, Keyboard::W, When::RELEASED, Command::STOP_WALKING, 0},
    {Screen::LEVEL, Keyboard::SPACE, When::RELEASED, Command::STOP_WALKING, 0},
    {Screen::LEVEL, Keyboard::E, When::RELEASED, Command::USE, 0},
    {Screen::LEVEL, Keyboard::S, When::PRESSED, Command::SWITCH_WORLD, 0},
    {Screen::LEVEL, Keyboard::R, When::PRESSED, Command::RESTART_LEVEL, 0},
    {Screen::LEVEL, Keyboard::Q, When::RELEASED, Command::LEAVE_LEVEL, 0},
};

bool matches(When when, vl::EventKeyboardAction action) {
    switch (when) {
    case When::PRESSED:
        return action == vl::KEY_PRESSED;
    case When::RELEASED:
        return action == vl::KEY_RELEASED;
    case When::HELD:
        return action == vl::KEY_DOWN;
    case When::ANY:
        return true;
    }
    return false;
}
}  // namespace

KeyCommand keyCommand(Screen screen, const vl::EventKeyboard* p_keyboard) {
    for (const KeyBinding& binding : BINDINGS) {
        if (binding.screen == screen && binding.key == p_keyboard->getKey() &&
            matches(binding.when, p_keyboard->getKeyboardAction())) {
            return {binding.command, binding.level};
        }
    }
    return {Command::NONE, 0};
}
