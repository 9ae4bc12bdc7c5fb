// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <SFML/Window/Event.hpp>
#include <set>
#include <string>

#include "PresentationSupport.h"
#include "input/SfmlKeys.h"
#include <veltrane/input/EventKeyboard.h>
#include <veltrane/input/InputManager.h>

using vl::Keyboard::Key;

// Every library key maps to its own engine key and back; a few spot checks pin the direction.
TEST(LibraryKeys, EveryMappedLibraryKeyRoundTrips) {
    std::set<int> produced;
    for (int code = -1; code < sf::Keyboard::KeyCount; code++) {
        const auto library = static_cast<sf::Keyboard::Key>(code);
        const Key key = vl::sfml::toEngineKey(library);
        EXPECT_NE(std::string(vl::sfml::describeKey(library)), "");
        if (key != vl::Keyboard::UNDEFINED_KEY) {
            produced.insert(key);
            EXPECT_EQ(vl::sfml::toLibraryKey(key), library) << vl::keyName(key);
        }
    }
    EXPECT_EQ(produced.size(), 75u);  // every named key but BACKQUOTE
    EXPECT_EQ(vl::sfml::toEngineKey(sf::Keyboard::Subtract), vl::Keyboard::MINUS);
    EXPECT_EQ(vl::sfml::toEngineKey(sf::Keyboard::Divide), vl::Keyboard::UNDEFINED_KEY);
    EXPECT_EQ(vl::sfml::toEngineButton(sf::Mouse::XButton1), vl::Mouse::UNDEFINED_MOUSE_BUTTON);
    EXPECT_EQ(vl::sfml::toEngineButton(sf::Mouse::Middle), vl::Mouse::MIDDLE);
}

// Refusals: a conversion of what is not a key event, and a start without the display it reads.
TEST(InputManagerStart, ToEventKeyboardTakesOnlyKeyEventsAndAWindowNeedsTheDisplayFirst) {
    vltest::LoggedConfig log("headless:false");
    vl::InputManager& input = vl::InputManager::getInstance();
    sf::Event event;
    event.type = sf::Event::KeyReleased;
    event.key.code = sf::Keyboard::Quote;
    EXPECT_EQ(input.toEventKeyboard(event).getKey(), vl::Keyboard::QUOTE);
    event.type = sf::Event::MouseMoved;
    EXPECT_EQ(input.toEventKeyboard(event).getKey(), vl::Keyboard::UNDEFINED_KEY);
    EXPECT_EQ(input.startUp(), -1);
    EXPECT_FALSE(input.isStarted());
    for (const char* p_line : {"toEventKeyboard(): Error! Called with non-keyboard event.",
                               "InputManager::startUp(): Error! DisplayManager must be started first."}) {
        EXPECT_NE(log.log().find(p_line), std::string::npos) << p_line;
    }
}
