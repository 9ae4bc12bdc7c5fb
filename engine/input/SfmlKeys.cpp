// SPDX-License-Identifier: MIT
#include "SfmlKeys.h"

namespace vl {
namespace sfml {

namespace {

struct KeyRow {
    sf::Keyboard::Key library;
    Keyboard::Key engine;  // UNDEFINED_KEY when the engine has no such key
    const char* description;
};

// Every library key, in the library's order, so that a row's index is its code.
constexpr KeyRow KEY_ROWS[sf::Keyboard::KeyCount] = {
    {sf::Keyboard::A, Keyboard::A, "A"},
    {sf::Keyboard::B, Keyboard::B, "B"},
    {sf::Keyboard::C, Keyboard::C, "C"},
    {sf::Keyboard::D, Keyboard::D, "D"},
    {sf::Keyboard::E, Keyboard::E, "E"},
    {sf::Keyboard::F, Keyboard::F, "F"},
    {sf::Keyboard::G, Keyboard::G, "G"},
    {sf::Keyboard::H, Keyboard::H, "H"},
    {sf::Keyboard::I, Keyboard::I, "I"},
    {sf::Keyboard::J, Keyboard::J, "J"},
    {sf::Keyboard::K, Keyboard::K, "K"},
    {sf::Keyboard::L, Keyboard::L, "L"},
    {sf::Keyboard::M, Keyboard::M, "M"},
    {sf::Keyboard::N, Keyboard::N, "N"},
    {sf::Keyboard::O, Keyboard::O, "O"},
    {sf::Keyboard::P, Keyboard::P, "P"},
    {sf::Keyboard::Q, Keyboard::Q, "Q"},
    {sf::Keyboard::R, Keyboard::R, "R"},
    {sf::Keyboard::S, Keyboard::S, "S"},
    {sf::Keyboard::T, Keyboard::T, "T"},
    {sf::Keyboard::U, Keyboard::U, "U"},
    {sf::Keyboard::V, Keyboard::V, "V"},
    {sf::Keyboard::W, Keyboard::W, "W"},
    {sf::Keyboard::X, Keyboard::X, "X"},
    {sf::Keyboard::Y, Keyboard::Y, "Y"},
    {sf::Keyboard::Z, Keyboard::Z, "Z"},
    {sf::Keyboard::Num0, Keyboard::NUM0, "0"},
    {sf::Keyboard::Num1, Keyboard::NUM1, "1"},
    {sf::Keyboard::Num2, Keyboard::NUM2, "2"},
    {sf::Keyboard::Num3, Keyboard::NUM3, "3"},
    {sf::Keyboard::Num4, Keyboard::NUM4, "4"},
    {sf::Keyboard::Num5, Keyboard::NUM5, "5"},
    {sf::Keyboard::Num6, Keyboard::NUM6, "6"},
    {sf::Keyboard::Num7, Keyboard::NUM7, "7"},
    {sf::Keyboard::Num8, Keyboard::NUM8, "8"},
    {sf::Keyboard::Num9, Keyboard::NUM9, "9"},
    {sf::Keyboard::Escape, Keyboard::ESCAPE, "Escape"},
    {sf::Keyboard::LControl, Keyboard::LEFTCONTROL, "Left Control"},
    {sf::Keyboard::LShift, Keyboard::LEFTSHIFT, "Left Shift"},
    {sf::Keyboard::LAlt, Keyboard::UNDEFINED_KEY, "Left Alt"},
    {sf::Keyboard::LSystem, Keyboard::UNDEFINED_KEY, "Left System"},
    {sf::Keyboard::RControl, Keyboard::RIGHTCONTROL, "Right Control"},
    {sf::Keyboard::RShift, Keyboard::RIGHTSHIFT, "Right Shift"},
    {sf::Keyboard::RAlt, Keyboard::UNDEFINED_KEY, "Right Alt"},
    {sf::Keyboard::RSystem, Keyboard::UNDEFINED_KEY, "Right System"},
    {sf::Keyboard::Menu, Keyboard::UNDEFINED_KEY, "Menu"},
    {sf::Keyboard::LBracket, Keyboard::LEFTBRACKET, "["},
    {sf::Keyboard::RBracket, Keyboard::RIGHTBRACKET, "]"},
    {sf::Keyboard::Semicolon, Keyboard::SEMICOLON, ";"},
    {sf::Keyboard::Comma, Keyboard::COMMA, ","},
    {sf::Keyboard::Period, Keyboard::PERIOD, "."},
    {sf::Keyboard::Quote, Keyboard::QUOTE, "'"},
    {sf::Keyboard::Slash, Keyboard::SLASH, "/"},
    {sf::Keyboard::Backslash, Keyboard::BACKSLASH, "\\"},
    {sf::Keyboard::Tilde, Keyboard::TILDE, "`"},
    {sf::Keyboard::Equal, Keyboard::EQUAL, "="},
    {sf::Keyboard::Hyphen, Keyboard::UNDEFINED_KEY, "-"},
    {sf::Keyboard::Space, Keyboard::SPACE, "Space"},
    {sf::Keyboard::Enter, Keyboard::RETURN, "Enter"},
    {sf::Keyboard::Backspace, Keyboard::BACKSPACE, "Backspace"},
    {sf::Keyboard::Tab, Keyboard::TAB, "Tab"},
    {sf::Keyboard::PageUp, Keyboard::UNDEFINED_KEY, "Page Up"},
    {sf::Keyboard::PageDown, Keyboard::UNDEFINED_KEY, "Page Down"},
    {sf::Keyboard::End, Keyboard::UNDEFINED_KEY, "End"},
    {sf::Keyboard::Home, Keyboard::UNDEFINED_KEY, "Home"},
    {sf::Keyboard::Insert, Keyboard::UNDEFINED_KEY, "Insert"},
    {sf::Keyboard::Delete, Keyboard::UNDEFINED_KEY, "Delete"},
    {sf::Keyboard::Add, Keyboard::PLUS, "Keypad +"},
    {sf::Keyboard::Subtract, Keyboard::MINUS, "Keypad -"},
    {sf::Keyboard::Multiply, Keyboard::MULTIPLY, "Keypad *"},
    {sf::Keyboard::Divide, Keyboard::UNDEFINED_KEY, "Keypad /"},
    {sf::Keyboard::Left, Keyboard::LEFTARROW, "Left"},
    {sf::Keyboard::Right, Keyboard::RIGHTARROW, "Right"},
    {sf::Keyboard::Up, Keyboard::UPARROW, "Up"},
    {sf::Keyboard::Down, Keyboard::DOWNARROW, "Down"},
    {sf::Keyboard::Numpad0, Keyboard::UNDEFINED_KEY, "Keypad 0"},
    {sf::Keyboard::Numpad1, Keyboard::UNDEFINED_KEY, "Keypad 1"},
    {sf::Keyboard::Numpad2, Keyboard::UNDEFINED_KEY, "Keypad 2"},
    {sf::Keyboard::Numpad3, Keyboard::UNDEFINED_KEY, "Keypad 3"},
    {sf::Keyboard::Numpad4, Keyboard::UNDEFINED_KEY, "Keypad 4"},
    {sf::Keyboard::Numpad5, Keyboard::UNDEFINED_KEY, "Keypad 5"},
    {sf::Keyboard::Numpad6, Keyboard::UNDEFINED_KEY, "Keypad 6"},
    {sf::Keyboard::Numpad7, Keyboard::UNDEFINED_KEY, "Keypad 7"},
    {sf::Keyboard::Numpad8, Keyboard::UNDEFINED_KEY, "Keypad 8"},
    {sf::Keyboard::Numpad9, Keyboard::UNDEFINED_KEY, "Keypad 9"},
    {sf::Keyboard::F1, Keyboard::F1, "F1"},
    {sf::Keyboard::F2, Keyboard::F2, "F2"},
    {sf::Keyboard::F3, Keyboard::F3, "F3"},
    {sf::Keyboard::F4, Keyboard::F4, "F4"},
    {sf::Keyboard::F5, Keyboard::F5, "F5"},
    {sf::Keyboard::F6, Keyboard::F6, "F6"},
    {sf::Keyboard::F7, Keyboard::F7, "F7"},
    {sf::Keyboard::F8, Keyboard::F8, "F8"},
    {sf::Keyboard::F9, Keyboard::F9, "F9"},
    {sf::Keyboard::F10, Keyboard::F10, "F10"},
    {sf::Keyboard::F11, Keyboard::F11, "F11"},
    {sf::Keyboard::F12, Keyboard::F12, "F12"},
    {sf::Keyboard::F13, Keyboard::UNDEFINED_KEY, "F13"},
    {sf::Keyboard::F14, Keyboard::UNDEFINED_KEY, "F14"},
    {sf::Keyboard::F15, Keyboard::UNDEFINED_KEY, "F15"},
    {sf::Keyboard::Pause, Keyboard::PAUSE, "Pause"},
};

constexpr bool rowsInLibraryOrder() {
    for (int i = 0; i < sf::Keyboard::KeyCount; i++) {
        if (KEY_ROWS[i].library != i) {
            return false;
        }
    }
    return true;
}
static_assert(rowsInLibraryOrder(), "a key row is out of place");

bool inRange(sf::Keyboard::Key key) {
    return key >= 0 && key < sf::Keyboard::KeyCount;
}

}  // namespace

Keyboard::Key toEngineKey(sf::Keyboard::Key key) {
    return inRange(key) ? KEY_ROWS[key].engine : Keyboard::UNDEFINED_KEY;
}

sf::Keyboard::Key toLibraryKey(Keyboard::Key key) {
    if (key == Keyboard::UNDEFINED_KEY) {
        return sf::Keyboard::Unknown;
    }
    for (const KeyRow& row : KEY_ROWS) {
        if (row.engine == key) {
            return row.library;
        }
    }
    return sf::Keyboard::Unknown;
}

const char* describeKey(sf::Keyboard::Key key) {
    return inRange(key) ? KEY_ROWS[key].description : "Unknown";
}

Mouse::Button toEngineButton(sf::Mouse::Button button) {
    switch (button) {
    case sf::Mouse::Left:
        return Mouse::LEFT;
    case sf::Mouse::Right:
        return Mouse::RIGHT;
    case sf::Mouse::Middle:
        return Mouse::MIDDLE;
    default:
        return Mouse::UNDEFINED_MOUSE_BUTTON;
    }
}

sf::Mouse::Button toLibraryButton(Mouse::Button button) {
    switch (button) {
    case Mouse::RIGHT:
        return sf::Mouse::Right;
    case Mouse::MIDDLE:
        return sf::Mouse::Middle;
    default:
        return sf::Mouse::Left;
    }
}

}  // namespace sfml
}  // namespace vl
