// SPDX-License-Identifier: MIT
// Translates the window library's keys and mouse buttons to the engine's, and describes keys for log lines.
#ifndef VL_SFML_KEYS_H
#define VL_SFML_KEYS_H

#include <SFML/Window/Keyboard.hpp>
#include <SFML/Window/Mouse.hpp>

#include <veltrane/input/EventKeyboard.h>
#include <veltrane/input/EventMouse.h>

namespace vl {
namespace sfml {

/// The engine key for a library key; UNDEFINED_KEY for keys the engine does not have (Alt, Home,
/// the keypad digits, ...) and for codes out of range.
Keyboard::Key toEngineKey(sf::Keyboard::Key key);
/// The library key that produces an engine key; sf::Keyboard::Unknown for 73, BACKQUOTE and UNDEFINED_KEY.
sf::Keyboard::Key toLibraryKey(Keyboard::Key key);
/// A readable name of a library key ("Left Alt", "Keypad /", "Unknown"); never null.
const char* describeKey(sf::Keyboard::Key key);
/// LEFT, RIGHT or MIDDLE; UNDEFINED_MOUSE_BUTTON for the extra buttons.
Mouse::Button toEngineButton(sf::Mouse::Button button);
sf::Mouse::Button toLibraryButton(Mouse::Button button);  ///< LEFT, RIGHT or MIDDLE only

}  // namespace sfml
}  // namespace vl

#endif
