// SPDX-License-Identifier: MIT
#ifndef VL_INPUT_MANAGER_H
#define VL_INPUT_MANAGER_H

#include <memory>
#include <string>
#include <vector>

#include <veltrane/core/Manager.h>
#include <veltrane/input/EventKeyboard.h>
#include <veltrane/input/EventMouse.h>

namespace sf {
class Event;
}

namespace vl {

class InputRecorder;
class InputScript;
class KeySource;

/// Environment variables naming a file to record every sent event to, and a file to replay events from.
const char* const RECORD_ENV = "VELTRANE_RECORD";
const char* const REPLAY_ENV = "VELTRANE_REPLAY";
const char* const SCREENS_ENV = "VELTRANE_SCREENS";  ///< the folder a replay's screen lines are written to

/// Turns window, terminal or page input into keyboard and mouse events for interested objects, and records or
/// replays them.
class InputManager : public Manager {
public:
    /// The one input manager of the program.
    static InputManager& getInstance();
    ~InputManager() override;

    /// Turns key repeat off (needs the display manager started first, unless headless), then opens the
    /// recording and replay files named by the environment. 0, or -1 (already started, no display, a
    /// replay file that cannot be read: said on standard error too).
    [[nodiscard]] int startUp() override;
    void shutDown() override;  ///< key repeat back on; finishes the recording; drops the replay
    bool isValid(std::string event_type) const override;  ///< "vl-keyboard" and "vl-mouse"

    /// Once per loop iteration: window events, then held mouse buttons, then held keys, each sent to the
    /// interested objects. A closed window sets game over. When replaying, the replay's events for this
    /// step are sent instead (the window is still watched for closing), and game over is set after the
    /// replay's last step.
    void getInput();

    /// A keyboard event with the key of a key press or release and an undefined action (logged).
    EventKeyboard toEventKeyboard(const sf::Event& event) const;

    bool isRecording() const;  ///< a recording file is open
    bool isReplaying() const;  ///< a replay file was accepted

private:
    InputManager();
    /// Each build's own: the window or the terminal on the desktop, the page in the browser.
    void openSource();
    void closeSource();
    [[nodiscard]] bool pollWindow();          ///< the window's events; false when there is none or it is gone
    void sendHeldInWindow();                  ///< the buttons and keys held down at the window
    [[nodiscard]] int openRecordAndReplay();  ///< -1 when the replay named cannot be used
    void replayStep();
    /// Of this step's frame, when it is shown.
    void saveScreens(const std::vector<std::string>& names) const;
    void keySourceInput();
    void sendKeyboard(EventKeyboardAction action, Keyboard::Key key);
    void sendMouse(EventMouseAction action, Mouse::Button button, Vector position);

    std::unique_ptr<InputRecorder> m_p_recorder;  //!< null unless recording
    std::unique_ptr<InputScript> m_p_script;      //!< null unless replaying
    std::unique_ptr<KeySource> m_p_keys;          //!< the terminal's or the page's keys, else null
};

}  // namespace vl

#endif
