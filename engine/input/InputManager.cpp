// SPDX-License-Identifier: MIT
// What every input shares: recording, replaying, and the events of a key source. The window and the
// terminal are the desktop's own (InputWindow.cpp), the page the browser's (web/InputPage.cpp).
#include <veltrane/input/InputManager.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

#include "KeySource.h"
#include <veltrane/core/Config.h>
#include <veltrane/core/EventRoutes.h>
#include <veltrane/core/LogManager.h>
#include <veltrane/core/LoopState.h>
#include <veltrane/graphics/DisplayManager.h>
#include <veltrane/input/InputReplay.h>
#include <veltrane/platform/Platform.h>

namespace vl {

namespace {

bool isInputEvent(const std::string& event_type) {
    return event_type == KEYBOARD_EVENT || event_type == MSE_EVENT;
}

Manager& inputManager() {
    return InputManager::getInstance();
}

// Objects find this manager by event type, so the world need not know the input module.
[[maybe_unused]] const int ROUTE_ADDED = EventRoutes::add(isInputEvent, inputManager);

}  // namespace

InputManager::InputManager() {
    setType("InputManager");
}

InputManager::~InputManager() = default;

InputManager& InputManager::getInstance() {
    static InputManager instance;
    return instance;
}

int InputManager::startUp() {
    const LogManager& log = LogManager::getInstance();
    if (refuseIfStarted()) {
        return -1;
    }
    if (Config::getInstance().getHeadless()) {
        log.writeLog(1, "InputManager::startUp(): no input in headless mode.");
    } else {
        if (!DisplayManager::getInstance().isStarted()) {
            log.writeLog("InputManager::startUp(): Error! DisplayManager must be started first.");
            return -1;
        }
        openSource();
    }
    if (openRecordAndReplay() != 0) {
        if (m_p_keys != nullptr) {
            m_p_keys->stop();
            m_p_keys.reset();
        }
        return -1;
    }
    if (Manager::startUp() != 0) {
        return -1;
    }
    log.writeLog(5, "InputManager::startUp(): successfully started.");
    return 0;
}

int InputManager::openRecordAndReplay() {
    const LogManager& log = LogManager::getInstance();
    m_p_recorder.reset();
    m_p_script.reset();
    const char* p_record = std::getenv(RECORD_ENV);
    if (p_record != nullptr && p_record[0] != '\0') {
        std::unique_ptr<InputRecorder> p_recorder(new InputRecorder);
        if (p_recorder->open(p_record) == 0) {
            log.writeLog("InputManager::startUp(): Recording input to '%s'.", p_record);
            m_p_recorder = std::move(p_recorder);
        } else {
            log.writeLog(
                "InputManager::startUp(): Error! Cannot write recording file '%s' (%s). Not recording.",
                p_record, platform::errorText(errno).c_str());
        }
    }
    const char* p_replay = std::getenv(REPLAY_ENV);
    if (p_replay != nullptr && p_replay[0] != '\0') {
        std::unique_ptr<InputScript> p_script(new InputScript);
        int line = 0;
        std::string reason;
        // A run asked to replay must not go on without its input: headless it would never end.
        if (p_script->load(p_replay, &line, &reason) != 0) {
            if (line > 0) {
                log.writeLogAndStderr(
                    "InputManager::startUp(): Error! Replay file '%s' line %d: %s. Not starting.", p_replay,
                    line, reason.c_str());
            } else {
                log.writeLogAndStderr("InputManager::startUp(): Error! Replay file '%s' %s. Not starting.",
                                      p_replay, reason.c_str());
            }
            m_p_recorder.reset();
            return -1;
        }
        log.writeLog("InputManager::startUp(): Replaying input from '%s': %d event lines, ending at step %d.",
                     p_replay, p_script->getEntryCount(), p_script->getEndStep());
        m_p_script = std::move(p_script);
    }
    return 0;
}

void InputManager::shutDown() {
    const LogManager& log = LogManager::getInstance();
    closeSource();
    if (m_p_recorder != nullptr) {
        // The last loop iteration ran with step count - 1; a replay ends there too.
        m_p_recorder->close(LoopState::getInstance().getStepCount() - 1);
        m_p_recorder.reset();
    }
    m_p_script.reset();
    if (m_p_keys != nullptr) {
        m_p_keys->stop();
        m_p_keys.reset();
    }
    Manager::shutDown();
    log.writeLog(5, "InputManager::shutDown(): successfully stopped.");
}

bool InputManager::isValid(std::string event_type) const {
    return isInputEvent(event_type);
}

bool InputManager::isRecording() const {
    return m_p_recorder != nullptr;
}

bool InputManager::isReplaying() const {
    return m_p_script != nullptr;
}

void InputManager::sendKeyboard(EventKeyboardAction action, Keyboard::Key key) {
    EventKeyboard event;
    event.setKey(key);
    event.setKeyboardAction(action);
    if (m_p_recorder != nullptr) {
        m_p_recorder->record(LoopState::getInstance().getStepCount(), event);
    }
    onEvent(&event);
}

void InputManager::sendMouse(EventMouseAction action, Mouse::Button button, Vector position) {
    EventMouse event;
    event.setMouseAction(action);
    event.setMouseButton(button);
    event.setMousePosition(position);
    if (m_p_recorder != nullptr) {
        m_p_recorder->record(LoopState::getInstance().getStepCount(), event);
    }
    onEvent(&event);
}

void InputManager::getInput() {
    const bool headless = Config::getInstance().getHeadless();
    if (headless && m_p_script == nullptr) {
        return;
    }
    if (m_p_keys != nullptr) {
        keySourceInput();
        return;
    }
    if (!headless && !pollWindow()) {
        return;
    }
    if (m_p_script != nullptr) {
        replayStep();
        return;
    }
    sendHeldInWindow();
    if (m_p_recorder != nullptr) {
        m_p_recorder->flush();
    }
}

// The terminal's or the page's keys and mouse reports, then held buttons and held keys, as from the window.
void InputManager::keySourceInput() {
    const int64_t now_ms = platform::monotonicMicroseconds() / 1000;
    const bool exact = m_p_keys->reportsReleases();
    const std::vector<KeyInput> inputs = m_p_keys->read(now_ms);
    if (m_p_keys->reportsReleases() && !exact) {
        LogManager::getInstance().writeLog(1, "InputManager::getInput(): The terminal reports key releases.");
    }
    if (m_p_script != nullptr) {
        replayStep();
        return;
    }
    for (const KeyInput& input : inputs) {
        switch (input.kind) {
        case KeyInput::PRESS:
        case KeyInput::RELEASE:
            LogManager::getInstance().writeLog(15, "InputManager::getInput(): %s key '%s' %s.",
                                               m_p_keys->getName(), keyToString(input.key).c_str(),
                                               input.kind == KeyInput::PRESS ? "pressed" : "released");
            sendKeyboard(input.kind == KeyInput::PRESS ? KEY_PRESSED : KEY_RELEASED, input.key);
            break;
        case KeyInput::CLICK:
            sendMouse(CLICKED, input.button, input.position);
            break;
        case KeyInput::MOVE:
            sendMouse(MOVED, Mouse::UNDEFINED_MOUSE_BUTTON, input.position);
            break;
        case KeyInput::SIGNAL:
            m_p_keys->deliver(input.signal_number);
            break;
        }
    }
    for (Mouse::Button button : {Mouse::LEFT, Mouse::RIGHT, Mouse::MIDDLE}) {
        if (m_p_keys->isButtonHeld(button)) {
            sendMouse(PRESSED, button, m_p_keys->getMousePosition());
        }
    }
    for (Keyboard::Key key : Keyboard::HELD_KEYS) {
        if (m_p_keys->isHeld(key)) {
            sendKeyboard(KEY_DOWN, key);
        }
    }
    if (m_p_recorder != nullptr) {
        m_p_recorder->flush();
    }
}

void InputManager::replayStep() {
    LoopState& loop = LoopState::getInstance();
    const int step = loop.getStepCount();
    for (const InputRecord& record : m_p_script->eventsAt(step)) {
        if (record.is_keyboard) {
            sendKeyboard(record.key_action, record.key);
        } else {
            sendMouse(record.mouse_action, record.button, record.position);
        }
    }
    saveScreens(m_p_script->screensAt(step));
    if (m_p_recorder != nullptr) {
        m_p_recorder->flush();
    }
    if (step >= m_p_script->getEndStep()) {
        LogManager::getInstance().writeLog(
            "InputManager::getInput(): Replay finished at step %d. Setting game over.", step);
        loop.setGameOver(true);
        m_p_script.reset();
    }
}

// Without a folder to write them to, a replay's screens are not taken: replays stay playable anywhere.
void InputManager::saveScreens(const std::vector<std::string>& names) const {
    const char* p_folder = std::getenv(SCREENS_ENV);
    if (names.empty() || p_folder == nullptr || p_folder[0] == '\0') {
        return;
    }
    for (const std::string& name : names) {
        DisplayManager::getInstance().saveScreen(std::string(p_folder) + "/" + name + ".txt");
    }
}

}  // namespace vl
