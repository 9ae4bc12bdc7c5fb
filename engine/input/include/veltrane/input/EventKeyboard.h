// SPDX-License-Identifier: MIT
#ifndef VL_EVENT_KEYBOARD_H
#define VL_EVENT_KEYBOARD_H

#include <string>

#include <veltrane/core/Event.h>

namespace vl {

/// What happened to a key. The values are part of the engine's interface and must not change.
enum EventKeyboardAction : int {
    UNDEFINED_KEYBOARD_ACTION = -1,  ///< never sent by the input manager
    KEY_PRESSED = 0,                 ///< went down (once per press: key repeat is off)
    KEY_RELEASED = 1,                ///< came up
    KEY_DOWN = 2,                    ///< is held; once per loop iteration
};

namespace Keyboard {

/// The engine's own key codes, independent of the window library. Value 73 is a gap that no key uses.
enum Key : int {
    UNDEFINED_KEY = -1,
    SPACE = 0,
    RETURN,
    ESCAPE,
    TAB,
    LEFTARROW,
    RIGHTARROW,
    UPARROW,
    DOWNARROW,
    PAUSE,
    MINUS,  ///< keypad
    PLUS,   ///< keypad
    TILDE,
    PERIOD,
    COMMA,
    SLASH,
    EQUAL,
    BACKSLASH,
    MULTIPLY,  ///< keypad
    QUOTE,
    SEMICOLON,
    LEFTCONTROL,
    RIGHTCONTROL,
    LEFTSHIFT,
    RIGHTSHIFT,
    F1,
    F2,
    F3,
    F4,
    F5,
    F6,
    F7,
    F8,
    F9,
    F10,
    F11,
    F12,
    A,
    B,
    C,
    D,
    E,
    F,
    G,
    H,
    I,
    J,
    K,
    L,
    M,
    N,
    O,
    P,
    Q,
    R,
    S,
    T,
    U,
    V,
    W,
    X,
    Y,
    Z,
    NUM1,
    NUM2,
    NUM3,
    NUM4,
    NUM5,
    NUM6,
    NUM7,
    NUM8,
    NUM9,
    NUM0,
    BACKSPACE,
    LEFTBRACKET = 74,
    RIGHTBRACKET,
    BACKQUOTE,  ///< never produced by input
};

const int KEY_VALUES = 77;  ///< codes run from 0 to KEY_VALUES - 1

/// The keys reported as held (KEY_DOWN), in the order the input manager checks them. F11 and F12 are
/// not among them.
const int HELD_KEY_COUNT = 73;
extern const Key HELD_KEYS[HELD_KEY_COUNT];

/// The key's place in HELD_KEYS, or -1 for keys never reported as held.
int heldKeyRank(Key key);

}  // namespace Keyboard

/// The key's display name for log lines ("A", "1", "[", " "); "" for keys without one and for
/// values outside 0 to 76.
std::string keyToString(Keyboard::Key key);
/// The key's code name as written in the enumeration ("SPACE", "NUM1", "UNDEFINED_KEY"); null for
/// values that have none (73 and anything outside -1 to 76).
const char* keyName(Keyboard::Key key);
/// The key whose code name is name, ignoring letter case; false when there is none.
[[nodiscard]] bool keyFromName(const std::string& name, Keyboard::Key* p_key);
/// The word for an action ("pressed", "released", "down"); null for UNDEFINED_KEYBOARD_ACTION and others.
const char* keyboardActionName(EventKeyboardAction action);

/// Keyboard events, the engine's key codes and keyboard actions.
class EventKeyboard : public Event {
public:
    EventKeyboard();  ///< type "vl-keyboard", key and action undefined
    ~EventKeyboard() override;
    ///@{
    /// The key and what happened to it.
    virtual void setKey(Keyboard::Key new_key);
    virtual Keyboard::Key getKey() const;
    virtual void setKeyboardAction(EventKeyboardAction new_action);
    virtual EventKeyboardAction getKeyboardAction() const;
    ///@}

private:
    Keyboard::Key m_key_val;
    EventKeyboardAction m_keyboard_action;
};

}  // namespace vl

#endif
