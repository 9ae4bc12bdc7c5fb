// SPDX-License-Identifier: MIT
#ifndef VL_TERMINAL_KEYS_H
#define VL_TERMINAL_KEYS_H

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "KeySource.h"

namespace vl {

class TerminalSession;

/// Without release reports: a first character holds its key this long (under three steps of the usual
/// frame, so a tap walks at most three cells); a key whose characters repeat is held until they stop.
const int64_t TAP_HOLD_MS = 80;
const int64_t REPEAT_GAP_MS = 100;  //!< longest pause between two repeats of a held key
/// A signal key waits this long at most for Control's release, which would else reach the shell as text.
const int64_t SIGNAL_WAIT_MS = 300;

/// A character as the terminal sends it (or a key code of the enhanced protocol below 128) as a key.
Keyboard::Key keyForCharacter(int ch);

/// Reads keys and mouse reports from the terminal and turns them into presses, releases and holds.
/// Terminals that report key releases (the progressive keyboard enhancement) give exact holds; others
/// only send a key's character, then repeat it while it is held: a first character is a short tap, and
/// once the repeats start the key is pressed again and held while they keep coming.
class TerminalKeys : public KeySource {
public:
    explicit TerminalKeys(TerminalSession& session);

    void start();          ///< asks the terminal whether it reports key releases
    void stop() override;  ///< takes back what start asked for
    const char* getName() const override;

    /// Everything the terminal sent since the last call, in order, plus the releases of keys whose
    /// repeats stopped.
    std::vector<KeyInput> read(int64_t now_ms) override;
    /// Parses bytes as read would; for bytes that did not come through the terminal library.
    std::vector<KeyInput> feed(const std::string& bytes, int64_t now_ms);
    bool isHeld(Keyboard::Key key) const override;
    /// Does what the terminal driver does for a signal key: suspending gives the keyboard back meanwhile.
    void deliver(int signal_number) override;
    bool isButtonHeld(Mouse::Button button) const override;
    Vector getMousePosition() const override;
    bool reportsReleases() const override;

private:
    struct Hold {
        int64_t first_ms;
        int64_t last_ms;
        bool repeating;
        uint64_t pressed_read;  //!< which read saw the press
        bool release_due;       //!< released in the read that pressed it: let go in the next one
    };

    void byte(int ch, int64_t now_ms, std::vector<KeyInput>& out);
    void libraryKey(int code, int64_t now_ms, std::vector<KeyInput>& out);
    void mouse(std::vector<KeyInput>& out);
    void sequence(const std::string& text, int64_t now_ms, std::vector<KeyInput>& out);
    void keyEvent(Keyboard::Key key, int type, int64_t now_ms, std::vector<KeyInput>& out);
    void release(Keyboard::Key key, std::vector<KeyInput>& out);
    void releaseAll(std::vector<KeyInput>& out);
    void begin(std::vector<KeyInput>& out);
    void expire(int64_t now_ms, std::vector<KeyInput>& out);
    void sendSignal(std::vector<KeyInput>& out);

    TerminalSession& m_session;
    std::string m_pending;  //!< an escape sequence not yet complete
    std::map<Keyboard::Key, Hold> m_held;
    bool m_buttons[3];
    Vector m_mouse;
    bool m_enhanced;  //!< the terminal reports releases
    uint64_t m_reads;
    int m_pauses_seen;  //!< the session's pauses for a too small terminal, as last seen
    int m_signal_due;   //!< a signal key seen, sent once it and Control are let go; 0 none
    int m_signal_code;  //!< that key's code while it is still down; 0 once let go
    int64_t m_signal_by_ms;
};

}  // namespace vl

#endif
