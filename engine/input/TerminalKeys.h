// SPDX-License-Identifier: MIT
// Reads keys and mouse reports from the terminal and turns them into presses, releases and holds.
// Terminals that report key releases (the progressive keyboard enhancement) give exact holds; others
// only repeat a held key's character, so a hold lasts while the repeats keep coming.
#ifndef VL_TERMINAL_KEYS_H
#define VL_TERMINAL_KEYS_H

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "KeySource.h"

namespace vl {

class TerminalSession;

// Without release reports: a first character holds its key this long, then the key waits for the
// terminal's repeat to start (which takes up to the repeat delay) before it counts as let go.
const int64_t TAP_HOLD_MS = 150;
const int64_t REPEAT_DELAY_MS = 700;
const int64_t REPEAT_GAP_MS = 150;  //!< longest pause between two repeats of a held key

// A character as the terminal sends it (or a key code of the enhanced protocol below 128) as a key.
Keyboard::Key keyForCharacter(int ch);

class TerminalKeys : public KeySource {
public:
    explicit TerminalKeys(TerminalSession& session);

    void start();          // asks the terminal whether it reports key releases
    void stop() override;  // takes back what start asked for
    const char* getName() const override;

    // Everything the terminal sent since the last call, in order, plus the releases of keys whose
    // repeats stopped.
    std::vector<KeyInput> read(int64_t now_ms) override;
    // Parses bytes as read would; for bytes that did not come through the terminal library.
    std::vector<KeyInput> feed(const std::string& bytes, int64_t now_ms);
    bool isHeld(Keyboard::Key key, int64_t now_ms) const override;
    bool isButtonHeld(Mouse::Button button) const override;
    Vector getMousePosition() const override;
    bool reportsReleases() const;

private:
    struct Hold {
        int64_t first_ms;
        int64_t last_ms;
        bool repeating;
    };

    void byte(int ch, int64_t now_ms, std::vector<KeyInput>& out);
    void libraryKey(int code, int64_t now_ms, std::vector<KeyInput>& out);
    void mouse(std::vector<KeyInput>& out);
    void sequence(const std::string& text, int64_t now_ms, std::vector<KeyInput>& out);
    void keyEvent(Keyboard::Key key, int type, int64_t now_ms, std::vector<KeyInput>& out);
    void expire(int64_t now_ms, std::vector<KeyInput>& out);

    TerminalSession& m_session;
    std::string m_pending;  //!< an escape sequence not yet complete
    std::map<Keyboard::Key, Hold> m_held;
    bool m_buttons[3];
    Vector m_mouse;
    bool m_enhanced;  //!< the terminal reports releases
};

}  // namespace vl

#endif
