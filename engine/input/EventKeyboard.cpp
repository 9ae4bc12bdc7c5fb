// SPDX-License-Identifier: MIT
#include <veltrane/input/EventKeyboard.h>

#include <cctype>

namespace vl {

namespace {

struct KeyInfo {
    const char* name;     // code name, null for the gap at 73
    const char* display;  // display name
};

// Indexed by key value.
const KeyInfo KEYS[Keyboard::KEY_VALUES] = {
    {"SPACE", " "},      {"RETURN", ""},       {"ESCAPE", ""},       {"TAB", ""},
    {"LEFTARROW", ""},   {"RIGHTARROW", ""},   {"UPARROW", ""},      {"DOWNARROW", ""},
    {"PAUSE", ""},       {"MINUS", "-"},       {"PLUS", "+"},        {"TILDE", "~"},
    {"PERIOD", "."},     {"COMMA", ","},       {"SLASH", "/"},       {"EQUAL", "="},
    {"BACKSLASH", "\\"}, {"MULTIPLY", "*"},    {"QUOTE", "'"},       {"SEMICOLON", ";"},
    {"LEFTCONTROL", ""}, {"RIGHTCONTROL", ""}, {"LEFTSHIFT", ""},    {"RIGHTSHIFT", ""},
    {"F1", ""},          {"F2", ""},           {"F3", ""},           {"F4", ""},
    {"F5", ""},          {"F6", ""},           {"F7", ""},           {"F8", ""},
    {"F9", ""},          {"F10", ""},          {"F11", ""},          {"F12", ""},
    {"A", "A"},          {"B", "B"},           {"C", "C"},           {"D", "D"},
    {"E", "E"},          {"F", "F"},           {"G", "G"},           {"H", "H"},
    {"I", "I"},          {"J", "J"},           {"K", "K"},           {"L", "L"},
    {"M", "M"},          {"N", "N"},           {"O", "O"},           {"P", "P"},
    {"Q", "Q"},          {"R", "R"},           {"S", "S"},           {"T", "T"},
    {"U", "U"},          {"V", "V"},           {"W", "W"},           {"X", "X"},
    {"Y", "Y"},          {"Z", "Z"},           {"NUM1", "1"},        {"NUM2", "2"},
    {"NUM3", "3"},       {"NUM4", "4"},        {"NUM5", "5"},        {"NUM6", "6"},
    {"NUM7", "7"},       {"NUM8", "8"},        {"NUM9", "9"},        {"NUM0", "0"},
    {"BACKSPACE", ""},   {nullptr, ""},        {"LEFTBRACKET", "["}, {"RIGHTBRACKET", "]"},
    {"BACKQUOTE", "`"},
};

bool equalsIgnoringCase(const std::string& a, const char* b) {
    size_t i = 0;
    for (; i < a.size() && b[i] != '\0'; i++) {
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return i == a.size() && b[i] == '\0';
}

}  // namespace

namespace Keyboard {

const Key HELD_KEYS[HELD_KEY_COUNT] = {
    UPARROW,    DOWNARROW,   LEFTARROW,
    RIGHTARROW, SPACE,       RETURN,
    TAB,        ESCAPE,      PAUSE,
    MINUS,      PLUS,        TILDE,
    PERIOD,     COMMA,       SLASH,
    EQUAL,      BACKSLASH,   MULTIPLY,
    QUOTE,      LEFTBRACKET, RIGHTBRACKET,
    SEMICOLON,  LEFTCONTROL, RIGHTCONTROL,
    LEFTSHIFT,  RIGHTSHIFT,  F1,
    F2,         F3,          F4,
    F5,         F6,          F7,
    F8,         F9,          F10,
    A,          B,           C,
    D,          E,           F,
    G,          H,           I,
    J,          K,           L,
    M,          N,           O,
    P,          Q,           R,
    S,          T,           U,
    V,          W,           X,
    Y,          Z,           NUM1,
    NUM2,       NUM3,        NUM4,
    NUM5,       NUM6,        NUM7,
    NUM8,       NUM9,        NUM0,
    BACKSPACE,
};

int heldKeyRank(Key key) {
    for (int i = 0; i < HELD_KEY_COUNT; i++) {
        if (HELD_KEYS[i] == key) {
            return i;
        }
    }
    return -1;
}

}  // namespace Keyboard

std::string keyToString(Keyboard::Key key) {
    if (key < 0 || key >= Keyboard::KEY_VALUES) {
        return "";
    }
    return KEYS[key].display;
}

const char* keyName(Keyboard::Key key) {
    if (key == Keyboard::UNDEFINED_KEY) {
        return "UNDEFINED_KEY";
    }
    if (key < 0 || key >= Keyboard::KEY_VALUES) {
        return nullptr;
    }
    return KEYS[key].name;
}

bool keyFromName(const std::string& name, Keyboard::Key* p_key) {
    for (int value = -1; value < Keyboard::KEY_VALUES; value++) {
        const char* p_name = keyName(static_cast<Keyboard::Key>(value));
        if (p_name != nullptr && equalsIgnoringCase(name, p_name)) {
            *p_key = static_cast<Keyboard::Key>(value);
            return true;
        }
    }
    return false;
}

const char* keyboardActionName(EventKeyboardAction action) {
    switch (action) {
    case KEY_PRESSED:
        return "pressed";
    case KEY_RELEASED:
        return "released";
    case KEY_DOWN:
        return "down";
    default:
        return nullptr;
    }
}

EventKeyboard::EventKeyboard()
    : m_key_val(Keyboard::UNDEFINED_KEY), m_keyboard_action(UNDEFINED_KEYBOARD_ACTION) {
    setType(KEYBOARD_EVENT);
}

EventKeyboard::~EventKeyboard() = default;

void EventKeyboard::setKey(Keyboard::Key new_key) {
    m_key_val = new_key;
}

Keyboard::Key EventKeyboard::getKey() const {
    return m_key_val;
}

void EventKeyboard::setKeyboardAction(EventKeyboardAction new_action) {
    m_keyboard_action = new_action;
}

EventKeyboardAction EventKeyboard::getKeyboardAction() const {
    return m_keyboard_action;
}

}  // namespace vl
