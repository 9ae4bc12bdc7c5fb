// SPDX-License-Identifier: MIT
#include "TerminalKeys.h"

#include <curses.h>

#include <algorithm>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include <veltrane/graphics/TerminalSession.h>

namespace vl {

namespace {

const char ESC = '\033';
const size_t LONGEST_SEQUENCE = 64;

// The enhanced protocol: ask for its flags, then (when it answers) disambiguate keys, report event types
// and report every key as a code; on the way out pop what was pushed.
const char* const QUERY = "\033[?u\033[c";
const char* const PUSH = "\033[>11u";
const char* const POP = "\033[<u";

const int PRESS_TYPE = 1;
const int REPEAT_TYPE = 2;
const int RELEASE_TYPE = 3;
const int CONTROL_MODIFIER = 4;  //!< of the protocol's modifier bits (its field holds 1 + the bits)

struct SignalKey {
    int code;
    int signal_number;
};

// Keys the terminal driver turns into signals, which the protocol reports as key codes instead.
const SignalKey SIGNAL_KEYS[] = {{'c', SIGINT}, {'\\', SIGQUIT}, {'z', SIGTSTP}};

struct CodeKey {
    int code;
    Keyboard::Key key;
};

// Keys the enhanced protocol reports with codes of their own (modifiers, keypad, pause).
const CodeKey PROTOCOL_KEYS[] = {
    {57441, Keyboard::LEFTSHIFT},    {57442, Keyboard::LEFTCONTROL}, {57447, Keyboard::RIGHTSHIFT},
    {57448, Keyboard::RIGHTCONTROL}, {57362, Keyboard::PAUSE},       {57411, Keyboard::MULTIPLY},
    {57412, Keyboard::MINUS},        {57413, Keyboard::PLUS},        {57414, Keyboard::RETURN},
};

// The numbered keys of "CSI number ~": F5 to F12.
const CodeKey TILDE_KEYS[] = {
    {15, Keyboard::F5}, {17, Keyboard::F6},  {18, Keyboard::F7},  {19, Keyboard::F8},
    {20, Keyboard::F9}, {21, Keyboard::F10}, {23, Keyboard::F11}, {24, Keyboard::F12},
};

const char PUNCTUATION[] = "-+~`.,/=\\*';[]";
const Keyboard::Key PUNCTUATION_KEYS[] = {
    Keyboard::MINUS, Keyboard::PLUS,      Keyboard::TILDE,       Keyboard::TILDE,        Keyboard::PERIOD,
    Keyboard::COMMA, Keyboard::SLASH,     Keyboard::EQUAL,       Keyboard::BACKSLASH,    Keyboard::MULTIPLY,
    Keyboard::QUOTE, Keyboard::SEMICOLON, Keyboard::LEFTBRACKET, Keyboard::RIGHTBRACKET,
};

Keyboard::Key lookUp(const CodeKey* p_table, size_t count, int code) {
    for (size_t i = 0; i < count; i++) {
        if (p_table[i].code == code) {
            return p_table[i].key;
        }
    }
    return Keyboard::UNDEFINED_KEY;
}

// The final letter of a "CSI 1 ; modifiers letter" key: arrows and F1 to F4.
Keyboard::Key letterKey(char letter) {
    switch (letter) {
    case 'A':
        return Keyboard::UPARROW;
    case 'B':
        return Keyboard::DOWNARROW;
    case 'C':
        return Keyboard::RIGHTARROW;
    case 'D':
        return Keyboard::LEFTARROW;
    case 'P':
    case 'Q':
    case 'R':
    case 'S':
        return static_cast<Keyboard::Key>(Keyboard::F1 + (letter - 'P'));
    default:
        return Keyboard::UNDEFINED_KEY;
    }
}

// A decimal parameter, out-of-range values cut to the ends of int (the bytes come from outside).
int number(const char* p_text) {
    const long value = std::strtol(p_text, nullptr, 10);
    return static_cast<int>(std::clamp<long>(value, INT_MIN, INT_MAX));
}

// "code[:alternates];modifiers[:type]" -> code, modifier bits and event type (1 press when absent).
void parseParameters(const std::string& parameters, int& code, int& modifiers, int& type) {
    code = number(parameters.c_str());
    modifiers = 0;
    type = PRESS_TYPE;
    const size_t semicolon = parameters.find(';');
    if (semicolon == std::string::npos) {
        return;
    }
    modifiers = std::max(number(parameters.c_str() + semicolon + 1), 1) - 1;
    const size_t colon = parameters.find_first_of(":;", semicolon + 1);
    if (colon != std::string::npos && parameters[colon] == ':') {
        type = number(parameters.c_str() + colon + 1);
    }
}

int signalFor(int code, int modifiers) {
    if ((modifiers & CONTROL_MODIFIER) == 0) {
        return 0;
    }
    for (const SignalKey& key : SIGNAL_KEYS) {
        if (key.code == code) {
            return key.signal_number;
        }
    }
    return 0;
}

// Opposite directions: a terminal sends one key at a time, so the newer ends the other's hold.
Keyboard::Key opposite(Keyboard::Key key) {
    const Keyboard::Key pairs[][2] = {{Keyboard::A, Keyboard::D},
                                      {Keyboard::W, Keyboard::S},
                                      {Keyboard::LEFTARROW, Keyboard::RIGHTARROW},
                                      {Keyboard::UPARROW, Keyboard::DOWNARROW}};
    for (const auto& pair : pairs) {
        if (pair[0] == key || pair[1] == key) {
            return pair[0] == key ? pair[1] : pair[0];
        }
    }
    return Keyboard::UNDEFINED_KEY;
}

Mouse::Button buttonFor(mmask_t state, mmask_t left, mmask_t middle, mmask_t right) {
    if ((state & left) != 0) {
        return Mouse::LEFT;
    }
    if ((state & right) != 0) {
        return Mouse::RIGHT;
    }
    return (state & middle) != 0 ? Mouse::MIDDLE : Mouse::UNDEFINED_MOUSE_BUTTON;
}

}  // namespace

Keyboard::Key keyForCharacter(int ch) {
    if (ch >= 'a' && ch <= 'z') {
        return static_cast<Keyboard::Key>(Keyboard::A + (ch - 'a'));
    }
    if (ch >= 'A' && ch <= 'Z') {
        return static_cast<Keyboard::Key>(Keyboard::A + (ch - 'A'));
    }
    if (ch >= '1' && ch <= '9') {
        return static_cast<Keyboard::Key>(Keyboard::NUM1 + (ch - '1'));
    }
    switch (ch) {
    case '0':
        return Keyboard::NUM0;
    case ' ':
        return Keyboard::SPACE;
    case '\r':
    case '\n':
        return Keyboard::RETURN;
    case ESC:
        return Keyboard::ESCAPE;
    case '\t':
        return Keyboard::TAB;
    case 8:
    case 127:
        return Keyboard::BACKSPACE;
    default:
        break;
    }
    const char* p_found = ch > 0 && ch < 128 ? std::strchr(PUNCTUATION, ch) : nullptr;
    return p_found != nullptr ? PUNCTUATION_KEYS[p_found - PUNCTUATION] : Keyboard::UNDEFINED_KEY;
}

TerminalKeys::TerminalKeys(TerminalSession& session)
    : m_session(session), m_buttons{false, false, false}, m_enhanced(false), m_reads(0),
      m_pauses_seen(session.getPauseCount()), m_signal_due(0), m_signal_code(0), m_signal_by_ms(0) {}

void TerminalKeys::start() {
    m_session.writeRaw(QUERY);
}

const char* TerminalKeys::getName() const {
    return "Terminal";
}

void TerminalKeys::stop() {
    if (m_enhanced) {
        m_session.writeRaw(POP);
        m_session.setExtraReset("");
        m_enhanced = false;
    }
}

bool TerminalKeys::reportsReleases() const {
    return m_enhanced;
}

// Releases held over from the last read go out first; after a pause all holds end.
void TerminalKeys::begin(std::vector<KeyInput>& out) {
    m_reads++;
    if (m_session.getPauseCount() != m_pauses_seen) {
        m_pauses_seen = m_session.getPauseCount();
        m_pending.clear();
        releaseAll(out);
        return;
    }
    for (auto it = m_held.begin(); it != m_held.end();) {
        const Keyboard::Key key = it->first;
        const bool due = it->second.release_due;
        ++it;
        if (due) {
            release(key, out);
        }
    }
}

std::vector<KeyInput> TerminalKeys::read(int64_t now_ms) {
    std::vector<KeyInput> out;
    begin(out);
    for (int ch = getch(); ch != ERR; ch = getch()) {
        if (ch == KEY_MOUSE) {
            mouse(out);
        } else if (ch >= KEY_MIN) {
            libraryKey(ch, now_ms, out);
        } else {
            byte(ch, now_ms, out);
        }
    }
    if (m_pending.size() == 1) {  // nothing followed the escape: the Escape key itself
        m_pending.clear();
        keyEvent(Keyboard::ESCAPE, PRESS_TYPE, now_ms, out);
    }
    expire(now_ms, out);
    return out;
}

std::vector<KeyInput> TerminalKeys::feed(const std::string& bytes, int64_t now_ms) {
    std::vector<KeyInput> out;
    begin(out);
    for (char ch : bytes) {
        byte(static_cast<unsigned char>(ch), now_ms, out);
    }
    expire(now_ms, out);
    return out;
}

void TerminalKeys::byte(int ch, int64_t now_ms, std::vector<KeyInput>& out) {
    if (m_pending.empty()) {
        if (ch == ESC) {
            m_pending = std::string(1, ESC);
        } else {
            keyEvent(keyForCharacter(ch), PRESS_TYPE, now_ms, out);
        }
        return;
    }
    if (m_pending.size() == 1 && ch != '[' && ch != 'O') {
        m_pending.clear();  // an escape followed by a plain character: Escape, then that character
        keyEvent(Keyboard::ESCAPE, PRESS_TYPE, now_ms, out);
        byte(ch, now_ms, out);
        return;
    }
    m_pending += static_cast<char>(ch);
    const bool final_byte = m_pending.size() >= 3 && ch >= 0x40 && ch <= 0x7e;
    if (final_byte || m_pending.size() > LONGEST_SEQUENCE) {
        const std::string text = m_pending;
        m_pending.clear();
        sequence(text, now_ms, out);
    }
}

void TerminalKeys::sequence(const std::string& text, int64_t now_ms, std::vector<KeyInput>& out) {
    const char final_byte = text.back();
    if (text[1] == 'O') {  // SS3: arrows and F1 to F4 of the application keypad
        keyEvent(letterKey(final_byte), PRESS_TYPE, now_ms, out);
        return;
    }
    std::string parameters = text.substr(2, text.size() - 3);
    if (!parameters.empty() && parameters[0] == '?') {
        // The answer to the protocol query: the terminal can report releases, so ask it to.
        if (final_byte == 'u' && !m_enhanced) {
            releaseAll(out);  // holds guessed from repeats would never end now
            m_enhanced = true;
            m_session.writeRaw(PUSH);
            m_session.setExtraReset(POP);
        }
        return;  // or the answer to the attributes query that follows it: nothing to do
    }
    int code = 0;
    int modifiers = 0;
    int type = PRESS_TYPE;
    parseParameters(parameters, code, modifiers, type);
    const int signal_number = final_byte == 'u' ? signalFor(code, modifiers) : 0;
    if (signal_number != 0 && type == PRESS_TYPE) {
        m_signal_due = signal_number;
        m_signal_code = code;
        m_signal_by_ms = now_ms + SIGNAL_WAIT_MS;
        return;
    }
    if (m_signal_due != 0 && final_byte == 'u' && code == m_signal_code) {
        // Its release may come after Control's, without the modifier: sent once both are up.
        if (type == RELEASE_TYPE) {
            m_signal_code = 0;
            if (!isHeld(Keyboard::LEFTCONTROL) && !isHeld(Keyboard::RIGHTCONTROL)) {
                sendSignal(out);
            }
        }
        return;
    }
    Keyboard::Key key = Keyboard::UNDEFINED_KEY;
    if (final_byte == 'u') {
        key = code < 128 ? keyForCharacter(code) : lookUp(PROTOCOL_KEYS, std::size(PROTOCOL_KEYS), code);
    } else if (final_byte == '~') {
        key = lookUp(TILDE_KEYS, std::size(TILDE_KEYS), code);
    } else {
        key = letterKey(final_byte);
    }
    keyEvent(key, type, now_ms, out);
    if (type == RELEASE_TYPE && m_signal_code == 0 &&
        (key == Keyboard::LEFTCONTROL || key == Keyboard::RIGHTCONTROL)) {
        sendSignal(out);
    }
}

void TerminalKeys::sendSignal(std::vector<KeyInput>& out) {
    if (m_signal_due != 0) {
        out.push_back({KeyInput::SIGNAL, Keyboard::UNDEFINED_KEY, Mouse::UNDEFINED_MOUSE_BUTTON, Vector(),
                       m_signal_due});
        m_signal_due = 0;
        m_signal_code = 0;
    }
}

void TerminalKeys::libraryKey(int code, int64_t now_ms, std::vector<KeyInput>& out) {
    Keyboard::Key key = Keyboard::UNDEFINED_KEY;
    if (code >= KEY_F(1) && code <= KEY_F(12)) {
        key = static_cast<Keyboard::Key>(Keyboard::F1 + (code - KEY_F(1)));
    } else {
        switch (code) {
        case KEY_LEFT:
            key = Keyboard::LEFTARROW;
            break;
        case KEY_RIGHT:
            key = Keyboard::RIGHTARROW;
            break;
        case KEY_UP:
            key = Keyboard::UPARROW;
            break;
        case KEY_DOWN:
            key = Keyboard::DOWNARROW;
            break;
        case KEY_ENTER:
            key = Keyboard::RETURN;
            break;
        case KEY_BACKSPACE:
            key = Keyboard::BACKSPACE;
            break;
        case KEY_RESIZE:
            return;  // the display notices the new size itself
        default:
            break;
        }
    }
    keyEvent(key, PRESS_TYPE, now_ms, out);
}

void TerminalKeys::mouse(std::vector<KeyInput>& out) {
    MEVENT event{};
    if (getmouse(&event) != OK) {
        return;
    }
    m_mouse = Vector(static_cast<float>(event.x), static_cast<float>(event.y));
    const Mouse::Button pressed = buttonFor(event.bstate, BUTTON1_PRESSED, BUTTON2_PRESSED, BUTTON3_PRESSED);
    const Mouse::Button released =
        buttonFor(event.bstate, BUTTON1_RELEASED, BUTTON2_RELEASED, BUTTON3_RELEASED);
    if (pressed != Mouse::UNDEFINED_MOUSE_BUTTON) {
        m_buttons[pressed] = true;
        out.push_back({KeyInput::CLICK, Keyboard::UNDEFINED_KEY, pressed, m_mouse, 0});
    } else if (released != Mouse::UNDEFINED_MOUSE_BUTTON) {
        m_buttons[released] = false;
    } else if ((event.bstate & REPORT_MOUSE_POSITION) != 0) {
        out.push_back({KeyInput::MOVE, Keyboard::UNDEFINED_KEY, Mouse::UNDEFINED_MOUSE_BUTTON, m_mouse, 0});
    }
}

void TerminalKeys::keyEvent(Keyboard::Key key, int type, int64_t now_ms, std::vector<KeyInput>& out) {
    const auto found = m_held.find(key);
    if (type == RELEASE_TYPE) {
        if (found == m_held.end()) {
            return;
        }
        if (found->second.pressed_read == m_reads) {
            found->second.release_due = true;  // pressed and let go at once: still one step of a tap
        } else {
            release(key, out);
        }
        return;
    }
    if (found != m_held.end()) {  // a repeat (or a new press before a due release): still down
        found->second.last_ms = now_ms;
        found->second.repeating = true;
        found->second.release_due = false;
        return;
    }
    if (type == REPEAT_TYPE) {
        return;
    }
    if (!m_enhanced && m_held.count(opposite(key)) != 0) {
        release(opposite(key), out);
    }
    m_held[key] = Hold{now_ms, now_ms, false, m_reads, false};
    out.push_back({KeyInput::PRESS, key, Mouse::UNDEFINED_MOUSE_BUTTON, Vector(), 0});
}

void TerminalKeys::release(Keyboard::Key key, std::vector<KeyInput>& out) {
    m_held.erase(key);
    out.push_back({KeyInput::RELEASE, key, Mouse::UNDEFINED_MOUSE_BUTTON, Vector(), 0});
}

void TerminalKeys::releaseAll(std::vector<KeyInput>& out) {
    while (!m_held.empty()) {
        release(m_held.begin()->first, out);
    }
}

void TerminalKeys::expire(int64_t now_ms, std::vector<KeyInput>& out) {
    if (m_enhanced) {
        if (now_ms >= m_signal_by_ms) {
            sendSignal(out);
        }
        return;  // releases are reported
    }
    for (auto it = m_held.begin(); it != m_held.end();) {
        const Hold& hold = it->second;
        const int64_t end_ms = hold.repeating ? hold.last_ms + REPEAT_GAP_MS : hold.first_ms + TAP_HOLD_MS;
        const Keyboard::Key key = it->first;
        ++it;
        if (now_ms >= end_ms) {
            release(key, out);
        }
    }
}

bool TerminalKeys::isHeld(Keyboard::Key key) const {
    return m_held.count(key) != 0;
}

void TerminalKeys::deliver(int signal_number) {
    if (signal_number != SIGTSTP) {
        std::raise(signal_number);  // the session's handlers give the terminal back, with the protocol off
        return;
    }
    // Stopped, the shell gets plain keys; on resuming the keys are reported again.
    m_session.writeRaw(POP);
    std::raise(SIGTSTP);
    m_session.writeRaw(PUSH);
}

bool TerminalKeys::isButtonHeld(Mouse::Button button) const {
    return button >= Mouse::LEFT && button <= Mouse::MIDDLE && m_buttons[button];
}

Vector TerminalKeys::getMousePosition() const {
    return m_mouse;
}

}  // namespace vl
