// SPDX-License-Identifier: MIT
// The desktop's input: the window's events and held keys through the window library, or the terminal's.
#include <veltrane/input/InputManager.h>

#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Window/Event.hpp>

#include "SfmlKeys.h"
#include "TerminalKeys.h"
#include <veltrane/core/LogManager.h>
#include <veltrane/core/LoopState.h>
#include <veltrane/graphics/DisplayManager.h>
#include <veltrane/graphics/TerminalSession.h>
#include <veltrane/platform/WindowErrors.h>

namespace vl {

void InputManager::openSource() {
    const LogManager& log = LogManager::getInstance();
    const DisplayManager& display = DisplayManager::getInstance();
    sf::RenderWindow* p_window = display.getWindow();
    if (display.isTerminal() && TerminalSession::current() != nullptr) {
        auto p_keys = std::make_unique<TerminalKeys>(*TerminalSession::current());
        p_keys->start();
        m_p_keys = std::move(p_keys);
        log.writeLog(2, "InputManager::startUp(): Reading keys from the terminal.");
    } else if (p_window != nullptr) {
        p_window->setKeyRepeatEnabled(false);
        log.writeLog(2, "InputManager::startUp(): Keyboard repeated disabled.");
    } else {
        log.writeLog(
            "InputManager::startUp(): Warning! DisplayManager null. Cannot disable keyboard repeat.");
    }
}

void InputManager::closeSource() {
    sf::RenderWindow* p_window = DisplayManager::getInstance().getWindow();
    if (p_window != nullptr) {
        p_window->setKeyRepeatEnabled(true);
        LogManager::getInstance().writeLog(2, "InputManager::shutDown(): Keyboard repeat enabled.");
    }
}

bool InputManager::pollWindow() {
    const LogManager& log = LogManager::getInstance();
    sf::RenderWindow* p_window = DisplayManager::getInstance().getWindow();
    if (p_window == nullptr) {
        log.writeLog("InputManager::getInput(): DisplayManager unexpectedly returned null window!");
        return false;
    }
    sf::Event event;
    while (p_window->pollEvent(event)) {
        switch (event.type) {
        case sf::Event::Closed:
            log.writeLog(1, "InputManager::getInput(): Window closed. Setting game over.");
            LoopState::getInstance().setGameOver(true);
            return false;
        case sf::Event::KeyPressed:
        case sf::Event::KeyReleased:
            if (m_p_script == nullptr) {
                const EventKeyboard keyboard = toEventKeyboard(event);
                sendKeyboard(event.type == sf::Event::KeyPressed ? KEY_PRESSED : KEY_RELEASED,
                             keyboard.getKey());
            }
            break;
        case sf::Event::MouseMoved:
            if (m_p_script == nullptr) {
                sendMouse(MOVED, Mouse::UNDEFINED_MOUSE_BUTTON,
                          pixelsToSpaces(Vector(static_cast<float>(event.mouseMove.x),
                                                static_cast<float>(event.mouseMove.y))));
            }
            break;
        case sf::Event::MouseButtonPressed:
            if (m_p_script == nullptr) {
                sendMouse(CLICKED, sfml::toEngineButton(event.mouseButton.button),
                          pixelsToSpaces(Vector(static_cast<float>(event.mouseButton.x),
                                                static_cast<float>(event.mouseButton.y))));
            }
            break;
        default:
            break;
        }
    }
    // A window destroyed from outside ends the game as a close request does.
    if (platform::isWindowLost()) {
        log.writeLog("InputManager::getInput(): Window destroyed from outside. Setting game over.");
        LoopState::getInstance().setGameOver(true);
        return false;
    }
    return true;
}

void InputManager::sendHeldInWindow() {
    sf::RenderWindow* p_window = DisplayManager::getInstance().getWindow();
    // The pointer is asked for only when a button is held: each question is a round trip to the display.
    bool have_position = false;
    Vector position;
    for (Mouse::Button button : {Mouse::LEFT, Mouse::RIGHT, Mouse::MIDDLE}) {
        if (sf::Mouse::isButtonPressed(sfml::toLibraryButton(button))) {
            if (!have_position) {
                const sf::Vector2i pixels = sf::Mouse::getPosition(*p_window);
                position = pixelsToSpaces(Vector(static_cast<float>(pixels.x), static_cast<float>(pixels.y)));
                have_position = true;
            }
            sendMouse(PRESSED, button, position);
        }
    }
    for (Keyboard::Key key : Keyboard::HELD_KEYS) {
        if (sf::Keyboard::isKeyPressed(sfml::toLibraryKey(key))) {
            sendKeyboard(KEY_DOWN, key);
        }
    }
}

EventKeyboard InputManager::toEventKeyboard(const sf::Event& event) const {
    const LogManager& log = LogManager::getInstance();
    EventKeyboard keyboard;
    if (event.type != sf::Event::KeyPressed && event.type != sf::Event::KeyReleased) {
        log.writeLog("toEventKeyboard(): Error! Called with non-keyboard event.");
        return keyboard;
    }
    const Keyboard::Key key = sfml::toEngineKey(event.key.code);
    if (key == Keyboard::UNDEFINED_KEY) {
        log.writeLog(1, "InputManager::toEventKeyboard(): Warning key '%s' not handled.",
                     sfml::describeKey(event.key.code));
    }
    keyboard.setKey(key);
    log.writeLog(15, "InputManager::toEventKeyboard(): Keyboard event '%s' (%s)", keyToString(key).c_str(),
                 sfml::describeKey(event.key.code));
    return keyboard;
}

}  // namespace vl
