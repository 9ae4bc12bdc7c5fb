// SPDX-License-Identifier: MIT
#include <veltrane/input/InputReplay.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include <veltrane/core/Utility.h>

namespace vl {

namespace {

std::string lower(std::string word) {
    for (char& c : word) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return word;
}

// A whole number from 0 to MAX_REPLAY_STEP, digits only.
bool parseStep(const std::string& word, int* p_step) {
    if (word.empty() || word.size() > 9) {
        return false;
    }
    long value = 0;
    for (char c : word) {
        if (c < '0' || c > '9') {
            return false;
        }
        value = value * 10 + (c - '0');
    }
    if (value > MAX_REPLAY_STEP) {
        return false;
    }
    *p_step = static_cast<int>(value);
    return true;
}

bool parseCoordinate(const std::string& word, float* p_value) {
    if (word.empty()) {
        return false;
    }
    errno = 0;
    char* p_end = nullptr;
    const float value = std::strtof(word.c_str(), &p_end);
    if (p_end != word.c_str() + word.size() || errno == ERANGE || !std::isfinite(value)) {
        return false;
    }
    *p_value = value;
    return true;
}

// A word from the file for a message: quoted, unprintable bytes shown as '?', long words cut short.
std::string quoteWord(const std::string& word) {
    std::string out = "'";
    for (size_t i = 0; i < word.size() && i < 40; i++) {
        const unsigned char c = static_cast<unsigned char>(word[i]);
        out += (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : '?';
    }
    return out + (word.size() > 40 ? "...'" : "'");
}

std::string stepsText(int first, int last) {
    return first == last ? std::to_string(first) : std::to_string(first) + "-" + std::to_string(last);
}

// Held keys go in the live manager's checking order; keys it never reports as held, last.
int heldOrder(Keyboard::Key key) {
    const int rank = Keyboard::heldKeyRank(key);
    return rank >= 0 ? rank : Keyboard::HELD_KEY_COUNT;
}

InputRecord keyRecord(EventKeyboardAction action, Keyboard::Key key) {
    InputRecord record{};
    record.is_keyboard = true;
    record.key_action = action;
    record.key = key;
    record.mouse_action = UNDEFINED_MOUSE_ACTION;
    record.button = Mouse::UNDEFINED_MOUSE_BUTTON;
    return record;
}

InputRecord mouseRecord(EventMouseAction action, Mouse::Button button, Vector position) {
    InputRecord record{};
    record.is_keyboard = false;
    record.key_action = UNDEFINED_KEYBOARD_ACTION;
    record.key = Keyboard::UNDEFINED_KEY;
    record.mouse_action = action;
    record.button = button;
    record.position = position;
    return record;
}

}  // namespace

// ---- reading ----

InputScript::InputScript() : m_next(0), m_next_screen(0), m_end_step(0), m_end_line(0) {}

int InputScript::load(const std::string& path, int* p_line, std::string* p_reason) {
    *p_line = 0;
    // A directory opens but has no size to read, and a named pipe would wait for a writer.
    if (isSpecialFile(path)) {
        *p_reason = "is not a regular file";
        return -1;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        *p_reason = "cannot be opened";
        return -1;
    }
    file.seekg(0, std::ios::end);
    const std::streamoff size = file.tellg();
    if (size < 0) {
        *p_reason = "cannot be read (not a regular file?)";
        return -1;
    }
    if (size > MAX_REPLAY_BYTES) {
        *p_reason = "is larger than " + std::to_string(MAX_REPLAY_BYTES) + " bytes";
        return -1;
    }
    file.seekg(0, std::ios::beg);
    std::string text(static_cast<size_t>(size), '\0');
    if (size > 0 && !file.read(&text[0], size)) {
        *p_reason = "cannot be read";
        return -1;
    }
    return parse(text, p_line, p_reason);
}

int InputScript::parse(const std::string& text, int* p_line, std::string* p_reason) {
    *this = InputScript();
    std::istringstream in(text);
    std::string line;
    int line_number = 0;
    while (std::getline(in, line)) {
        line_number++;
        if (parseLine(line, line_number, p_reason) != 0) {
            *p_line = line_number;
            *this = InputScript();
            return -1;
        }
    }

    // Keys and buttons held over spans must not overlap themselves: no live input could do that.
    std::vector<const Entry*> holds;
    for (const Entry& entry : m_entries) {
        if (entry.kind == Kind::KEY_HOLD || entry.kind == Kind::MOUSE_HOLD) {
            holds.push_back(&entry);
        }
    }
    std::stable_sort(holds.begin(), holds.end(),
                     [](const Entry* a, const Entry* b) { return a->first_step < b->first_step; });
    for (size_t i = 0; i < holds.size(); i++) {
        for (size_t j = i + 1; j < holds.size() && holds[j]->first_step <= holds[i]->last_step; j++) {
            const Entry& a = *holds[i];
            const Entry& b = *holds[j];
            const bool same =
                a.kind == b.kind && (a.kind == Kind::KEY_HOLD ? a.record.key == b.record.key
                                                              : a.record.button == b.record.button);
            if (same) {
                const Entry& later = a.line > b.line ? a : b;
                const Entry& earlier = a.line > b.line ? b : a;
                *p_line = later.line;
                *p_reason =
                    std::string(a.kind == Kind::KEY_HOLD ? "key " : "button ") +
                    (a.kind == Kind::KEY_HOLD ? keyName(a.record.key) : mouseButtonName(a.record.button)) +
                    " is already held over steps " + stepsText(earlier.first_step, earlier.last_step) +
                    " (line " + std::to_string(earlier.line) + ")";
                *this = InputScript();
                return -1;
            }
        }
    }

    int last = -1;
    for (const Entry& entry : m_entries) {
        last = std::max(last, finalStep(entry));
    }
    std::stable_sort(m_screens.begin(), m_screens.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    if (!m_screens.empty()) {
        last = std::max(last, m_screens.back().first);
    }
    if (m_end_line != 0) {
        if (m_end_step < last) {
            *p_line = m_end_line;
            *p_reason = "the replay cannot end at step " + std::to_string(m_end_step) +
                        " before its last event at step " + std::to_string(last);
            *this = InputScript();
            return -1;
        }
    } else {
        m_end_step = std::max(last, 0);
    }
    std::stable_sort(m_entries.begin(), m_entries.end(),
                     [](const Entry& a, const Entry& b) { return a.first_step < b.first_step; });
    return 0;
}

int InputScript::parseLine(const std::string& raw, int line_number, std::string* p_reason) {
    const std::string line = raw.substr(0, raw.find('#'));
    std::istringstream words_in(line);
    std::vector<std::string> words;
    for (std::string word; words_in >> word;) {
        words.push_back(word);
        if (words.size() > 6) {
            *p_reason = "too many words";
            return -1;
        }
    }
    if (words.empty()) {
        return 0;
    }
    if (lower(words[0]) == "end") {
        if (words.size() != 2) {
            *p_reason = "expected 'end STEP'";
            return -1;
        }
        if (m_end_line != 0) {
            *p_reason = "a second end line (the first is line " + std::to_string(m_end_line) + ")";
            return -1;
        }
        if (!parseStep(words[1], &m_end_step)) {
            *p_reason = quoteWord(words[1]) + " is not a step (a whole number from 0 to " +
                        std::to_string(MAX_REPLAY_STEP) + ")";
            return -1;
        }
        m_end_line = line_number;
        return 0;
    }
    if (m_entries.size() >= static_cast<size_t>(MAX_REPLAY_ENTRIES)) {
        *p_reason = "more than " + std::to_string(MAX_REPLAY_ENTRIES) + " events";
        return -1;
    }

    Entry entry{};
    entry.line = line_number;
    const size_t dash = words[0].find('-');
    const bool span = dash != std::string::npos;
    const std::string first_word = words[0].substr(0, dash);
    const std::string last_word = span ? words[0].substr(dash + 1) : first_word;
    if (!parseStep(first_word, &entry.first_step) || !parseStep(last_word, &entry.last_step)) {
        *p_reason = quoteWord(words[0]) + " is not a step or a span of steps (whole numbers from 0 to " +
                    std::to_string(MAX_REPLAY_STEP) + ", e.g. 12 or 12-40)";
        return -1;
    }
    if (entry.last_step < entry.first_step) {
        *p_reason = "the span " + quoteWord(words[0]) + " ends before it starts";
        return -1;
    }
    if (words.size() < 3) {
        *p_reason = "expected 'STEP key ACTION KEY', 'STEP mouse ACTION ...' or 'STEP screen NAME'";
        return -1;
    }
    const std::string device = lower(words[1]);
    if (device == "screen") {
        return parseScreen(words, span, entry.first_step, p_reason);
    }
    const std::string action = lower(words[2]);
    const bool hold = action == "hold";
    if (span && !hold) {
        *p_reason = "a span of steps needs the action 'hold'";
        return -1;
    }

    if (device == "key") {
        EventKeyboardAction key_action = UNDEFINED_KEYBOARD_ACTION;
        if (action == "pressed") {
            key_action = KEY_PRESSED;
        } else if (action == "released") {
            key_action = KEY_RELEASED;
        } else if (action == "down") {
            key_action = KEY_DOWN;
        } else if (!hold) {
            *p_reason = "unknown key action " + quoteWord(words[2]) + " (pressed, released, down or hold)";
            return -1;
        }
        if (words.size() != 4) {
            *p_reason = "expected 4 words: STEP key " + action + " KEY";
            return -1;
        }
        Keyboard::Key key = Keyboard::UNDEFINED_KEY;
        if (!keyFromName(words[3], &key)) {
            *p_reason = "unknown key " + quoteWord(words[3]);
            return -1;
        }
        if (hold && key == Keyboard::UNDEFINED_KEY) {
            *p_reason = "UNDEFINED_KEY cannot be held";
            return -1;
        }
        if (hold && entry.last_step == MAX_REPLAY_STEP) {
            *p_reason = "the key must be let go by step " + std::to_string(MAX_REPLAY_STEP);
            return -1;
        }
        entry.kind = hold ? Kind::KEY_HOLD : Kind::KEY;
        entry.record = keyRecord(hold ? KEY_PRESSED : key_action, key);
    } else if (device == "mouse") {
        EventMouseAction mouse_action = UNDEFINED_MOUSE_ACTION;
        if (action == "clicked" || hold) {
            mouse_action = CLICKED;
        } else if (action == "pressed") {
            mouse_action = PRESSED;
        } else if (action == "moved") {
            mouse_action = MOVED;
        } else {
            *p_reason = "unknown mouse action " + quoteWord(words[2]) + " (moved, clicked, pressed or hold)";
            return -1;
        }
        Mouse::Button button = Mouse::UNDEFINED_MOUSE_BUTTON;
        size_t at = 3;
        if (mouse_action == MOVED) {
            if (words.size() != 5) {
                *p_reason = "expected 5 words: STEP mouse moved X Y";
                return -1;
            }
        } else {
            if (words.size() != 6) {
                *p_reason = "expected 6 words: STEP mouse " + action + " BUTTON X Y";
                return -1;
            }
            if (!mouseButtonFromName(words[3], &button)) {
                *p_reason = "unknown mouse button " + quoteWord(words[3]) + " (LEFT, RIGHT or MIDDLE)";
                return -1;
            }
            if (button == Mouse::UNDEFINED_MOUSE_BUTTON && action != "clicked") {
                *p_reason = "UNDEFINED_MOUSE_BUTTON can only be clicked";
                return -1;
            }
            at = 4;
        }
        float x = 0;
        float y = 0;
        if (!parseCoordinate(words[at], &x) || !parseCoordinate(words[at + 1], &y)) {
            *p_reason =
                quoteWord(words[at] + " " + words[at + 1]) + " is not a position (two numbers, in cells)";
            return -1;
        }
        entry.kind = hold ? Kind::MOUSE_HOLD : Kind::MOUSE;
        entry.record = mouseRecord(mouse_action, button, Vector(x, y));
    } else {
        *p_reason = "expected 'key', 'mouse' or 'screen' after the step, found " + quoteWord(words[1]);
        return -1;
    }
    m_entries.push_back(entry);
    return 0;
}

int InputScript::finalStep(const Entry& entry) {
    // A held key is let go, and so reported released, on the step after its span.
    return entry.kind == Kind::KEY_HOLD ? entry.last_step + 1 : entry.last_step;
}

const std::vector<InputRecord>& InputScript::eventsAt(int step) {
    while (m_next < m_entries.size() && m_entries[m_next].first_step <= step) {
        m_active.push_back(m_next);
        m_next++;
    }
    m_pending.clear();
    size_t kept = 0;
    for (size_t index : m_active) {
        const Entry& entry = m_entries[index];
        const InputRecord& record = entry.record;
        switch (entry.kind) {
        case Kind::KEY:
            if (step == entry.first_step) {
                const bool held = record.key_action == KEY_DOWN;
                m_pending.push_back({held ? 2 : 0, held ? heldOrder(record.key) : 1, entry.line, record});
            }
            break;
        case Kind::KEY_HOLD:
            if (step == entry.first_step) {
                m_pending.push_back({0, 1, entry.line, keyRecord(KEY_PRESSED, record.key)});
            }
            if (step <= entry.last_step && Keyboard::heldKeyRank(record.key) >= 0) {
                m_pending.push_back({2, heldOrder(record.key), entry.line, keyRecord(KEY_DOWN, record.key)});
            }
            if (step == entry.last_step + 1) {
                // Let go before anything else of the step, so a span may follow right after another.
                m_pending.push_back({0, 0, entry.line, keyRecord(KEY_RELEASED, record.key)});
            }
            break;
        case Kind::MOUSE:
            if (step == entry.first_step) {
                const bool held = record.mouse_action == PRESSED;
                m_pending.push_back({held ? 1 : 0, held ? record.button : 1, entry.line, record});
            }
            break;
        case Kind::MOUSE_HOLD:
            if (step == entry.first_step) {
                m_pending.push_back({0, 1, entry.line, record});
            }
            if (step <= entry.last_step) {
                m_pending.push_back(
                    {1, record.button, entry.line, mouseRecord(PRESSED, record.button, record.position)});
            }
            break;
        }
        if (finalStep(entry) > step) {
            m_active[kept++] = index;
        }
    }
    m_active.resize(kept);
    std::sort(m_pending.begin(), m_pending.end(), [](const Pending& a, const Pending& b) {
        if (a.phase != b.phase) {
            return a.phase < b.phase;
        }
        if (a.order != b.order) {
            return a.order < b.order;
        }
        return a.line < b.line;
    });
    m_step_events.clear();
    for (const Pending& pending : m_pending) {
        m_step_events.push_back(pending.record);
    }
    return m_step_events;
}

// A screen's name becomes a file name: letters, digits, '-', '_' and '.' only, so it cannot leave its folder.
int InputScript::parseScreen(const std::vector<std::string>& words, bool span, int step,
                             std::string* p_reason) {
    if (span) {
        *p_reason = "a screen is taken on one step, not over a span";
        return -1;
    }
    if (words.size() != 3) {
        *p_reason = "expected 3 words: STEP screen NAME";
        return -1;
    }
    const std::string& name = words[2];
    const bool allowed =
        name.size() <= MAX_SCREEN_NAME && name[0] != '.' &&
        name.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-_.") ==
            std::string::npos;
    if (!allowed) {
        *p_reason = "screen name " + quoteWord(name) + " must be up to " + std::to_string(MAX_SCREEN_NAME) +
                    " letters, digits, '-', '_' or '.', not starting with '.'";
        return -1;
    }
    m_screens.push_back({step, name});
    return 0;
}

std::vector<std::string> InputScript::screensAt(int step) {
    std::vector<std::string> names;
    for (; m_next_screen < m_screens.size() && m_screens[m_next_screen].first <= step; m_next_screen++) {
        if (m_screens[m_next_screen].first == step) {
            names.push_back(m_screens[m_next_screen].second);
        }
    }
    return names;
}

int InputScript::getEndStep() const {
    return m_end_step;
}

int InputScript::getEntryCount() const {
    return static_cast<int>(m_entries.size());
}

// ---- writing ----

InputRecorder::InputRecorder() : m_p_file(nullptr), m_last_step(-1) {}

InputRecorder::~InputRecorder() {
    if (m_p_file != nullptr) {
        std::fclose(m_p_file);
    }
}

int InputRecorder::open(const std::string& path) {
    if (m_p_file != nullptr) {
        std::fclose(m_p_file);
    }
    m_last_step = -1;
    m_p_file = std::fopen(path.c_str(), "w");
    if (m_p_file == nullptr) {
        return -1;
    }
    std::fputs("# Veltrane input recording: one event per line, by loop step (see docs/replay.md).\n"
               "# STEP key pressed|released|down KEY\n"
               "# STEP mouse moved X Y  |  STEP mouse clicked|pressed BUTTON X Y  (X, Y in cells)\n",
               m_p_file);
    return 0;
}

bool InputRecorder::isOpen() const {
    return m_p_file != nullptr;
}

void InputRecorder::record(int step, const EventKeyboard& event) {
    const char* p_action = keyboardActionName(event.getKeyboardAction());
    const char* p_key = keyName(event.getKey());
    if (m_p_file == nullptr || p_action == nullptr || p_key == nullptr) {
        return;
    }
    std::fprintf(m_p_file, "%d key %s %s\n", step, p_action, p_key);
    m_last_step = step;
}

void InputRecorder::record(int step, const EventMouse& event) {
    const char* p_action = mouseActionName(event.getMouseAction());
    const char* p_button = mouseButtonName(event.getMouseButton());
    if (m_p_file == nullptr || p_action == nullptr || p_button == nullptr) {
        return;
    }
    // Nine significant digits bring every float back exactly.
    const Vector position = event.getMousePosition();
    if (event.getMouseAction() == MOVED) {
        std::fprintf(m_p_file, "%d mouse moved %.9g %.9g\n", step, static_cast<double>(position.getX()),
                     static_cast<double>(position.getY()));
    } else {
        std::fprintf(m_p_file, "%d mouse %s %s %.9g %.9g\n", step, p_action, p_button,
                     static_cast<double>(position.getX()), static_cast<double>(position.getY()));
    }
    m_last_step = step;
}

void InputRecorder::flush() {
    if (m_p_file != nullptr) {
        std::fflush(m_p_file);
    }
}

void InputRecorder::close(int end_step) {
    if (m_p_file == nullptr) {
        return;
    }
    if (end_step >= 0) {
        std::fprintf(m_p_file, "end %d\n", std::max(end_step, m_last_step));
    }
    std::fclose(m_p_file);
    m_p_file = nullptr;
}

}  // namespace vl
