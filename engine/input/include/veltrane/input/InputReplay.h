// SPDX-License-Identifier: MIT
#ifndef VL_INPUT_REPLAY_H
#define VL_INPUT_REPLAY_H

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include <veltrane/core/Vector.h>
#include <veltrane/input/EventKeyboard.h>
#include <veltrane/input/EventMouse.h>

namespace vl {

const int MAX_REPLAY_STEP = 100000000;           ///< about five weeks of loop iterations at 33 ms
const long MAX_REPLAY_BYTES = 16 * 1024 * 1024;  ///< larger files are refused unread
const int MAX_REPLAY_ENTRIES = 1000000;          ///< event lines in one file
const size_t MAX_SCREEN_NAME = 64;               ///< characters in a screen line's name

/// Keyboard and mouse input written to, and read back from, plain-text files: one event per line, by step.
/// One event to send: a keyboard event (key_action, key) or a mouse event (mouse_action, button, position).
struct InputRecord {
    ///@{
    /// Which kind of event, and its fields.
    bool is_keyboard;
    EventKeyboardAction key_action;
    Keyboard::Key key;
    EventMouseAction mouse_action;
    Mouse::Button button;
    ///@}
    Vector position;  ///< world character cells
};

/// A parsed replay file. Each line is kept as written (a key held over a span stays one entry) and
/// expanded step by step into exactly the events the live input manager would send, in its order.
class InputScript {
public:
    InputScript();
    /// Reads and parses a whole file. 0, or -1 with the offending line number (0 for the file as a
    /// whole) and the reason; a refused file leaves the script empty.
    [[nodiscard]] int load(const std::string& path, int* p_line, std::string* p_reason);
    [[nodiscard]] int parse(const std::string& text, int* p_line,
                            std::string* p_reason);  ///< as load, from text

    /// The events of one step, in sending order. Steps are asked for in increasing order; the result
    /// stays valid until the next call.
    const std::vector<InputRecord>& eventsAt(int step);
    /// The names of the screens to take of the frame drawn in step, in file order; steps in increasing order.
    std::vector<std::string> screensAt(int step);
    int getEndStep() const;     ///< the step after whose events the replay is over
    int getEntryCount() const;  ///< event lines read

private:
    enum class Kind {
        KEY,
        KEY_HOLD,
        MOUSE,
        MOUSE_HOLD
    };
    struct Entry {
        Kind kind;
        int first_step;
        int last_step;  ///< of the span; equal to first_step for single events
        int line;
        InputRecord record;
    };
    struct Pending {
        int phase;  ///< 0 window events, 1 held buttons, 2 held keys: the live manager's order
        int order;  ///< button or held-key rank within the phase
        int line;
        InputRecord record;
    };

    [[nodiscard]] int parseLine(const std::string& line, int line_number, std::string* p_reason);
    [[nodiscard]] int parseScreen(const std::vector<std::string>& words, bool span, int step,
                                  std::string* p_reason);
    static int finalStep(const Entry& entry);  ///< the step of the entry's last event

    std::vector<Entry> m_entries;  //!< by first step, then line
    size_t m_next;                 //!< first entry not yet active
    std::vector<size_t> m_active;  //!< entries that may still send events
    std::vector<Pending> m_pending;
    std::vector<InputRecord> m_step_events;
    std::vector<std::pair<int, std::string>> m_screens;  //!< step and name, by step
    size_t m_next_screen;                                //!< first screen not yet taken
    int m_end_step;
    int m_end_line;  //!< line of the end directive, 0 without one
};

/// Writes every event sent to a replay file, in sending order.
class InputRecorder {
public:
    InputRecorder();
    ~InputRecorder();  ///< closes without an end line if still open

    [[nodiscard]] int
    open(const std::string& path);  ///< truncates and writes a header comment; 0, or -1 (errno kept)
    /// Whether the file is open for writing.
    bool isOpen() const;
    ///@{
    /// Writes one event line for loop iteration step.
    void record(int step, const EventKeyboard& event);
    void record(int step, const EventMouse& event);
    ///@}
    void flush();              ///< hands what was written to the file system
    void close(int end_step);  ///< writes "end end_step" when end_step >= 0, then closes

private:
    InputRecorder(const InputRecorder&) = delete;
    InputRecorder& operator=(const InputRecorder&) = delete;

    FILE* m_p_file;
    int m_last_step;  //!< step of the last event written, -1 before any
};

}  // namespace vl

#endif
