// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <SFML/Window/Event.hpp>
#include <set>
#include <string>
#include <vector>

#include "HeadlessEngine.h"
#include "TestSupport.h"
#include <veltrane/core/Config.h>
#include <veltrane/core/LogManager.h>
#include <veltrane/graphics/DisplayManager.h>
#include <veltrane/input/EventKeyboard.h>
#include <veltrane/input/EventMouse.h>
#include <veltrane/input/InputManager.h>
#include <veltrane/input/SfmlKeys.h>
#include <veltrane/world/Object.h>

namespace {

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
    EXPECT_EQ(vl::sfml::toEngineKey(sf::Keyboard::Num0), vl::Keyboard::NUM0);
    EXPECT_EQ(vl::sfml::toEngineKey(sf::Keyboard::Divide), vl::Keyboard::UNDEFINED_KEY);
    EXPECT_EQ(vl::sfml::toEngineButton(sf::Mouse::XButton1), vl::Mouse::UNDEFINED_MOUSE_BUTTON);
    EXPECT_EQ(vl::sfml::toEngineButton(sf::Mouse::Middle), vl::Mouse::MIDDLE);
    Key found = vl::Keyboard::A;
    EXPECT_TRUE(vl::keyFromName("num7", &found));
    EXPECT_EQ(found, vl::Keyboard::NUM7);
    EXPECT_FALSE(vl::keyFromName("NUM", &found));
}

// Counts the input events it is sent.
class Listener : public vl::Object {
public:
    Listener() {
        registerInterest(vl::KEYBOARD_EVENT);
        registerInterest(vl::MSE_EVENT);
    }
    int eventHandler(const vl::Event* p_e) override {
        received.push_back(p_e->getType());
        return 1;
    }
    std::vector<std::string> received;
};

class InputManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(m_engine.startUp(), 0);
        vl::LogManager::getInstance().setFlush(true);
    }
    void TearDown() override { m_engine.shutDown(); }

    vltest::HeadlessEngine m_engine;
    vl::InputManager& m_input = vl::InputManager::getInstance();
};

TEST_F(InputManagerTest, HeadlessStartsAndSendsNothing) {
    auto* p_listener = new Listener;
    for (int i = 0; i < 5; i++) {
        m_input.getInput();
    }
    EXPECT_TRUE(p_listener->received.empty());
}

TEST_F(InputManagerTest, ToEventKeyboardTakesOnlyKeyEvents) {
    sf::Event event;
    event.type = sf::Event::KeyPressed;
    event.key.code = sf::Keyboard::Divide;
    vl::EventKeyboard keyboard = m_input.toEventKeyboard(event);
    EXPECT_EQ(keyboard.getKey(), vl::Keyboard::UNDEFINED_KEY);
    EXPECT_EQ(keyboard.getKeyboardAction(), vl::UNDEFINED_KEYBOARD_ACTION);

    event.type = sf::Event::KeyReleased;
    event.key.code = sf::Keyboard::Quote;
    EXPECT_EQ(m_input.toEventKeyboard(event).getKey(), vl::Keyboard::QUOTE);

    event.type = sf::Event::MouseMoved;
    keyboard = m_input.toEventKeyboard(event);
    EXPECT_EQ(keyboard.getKey(), vl::Keyboard::UNDEFINED_KEY);
    EXPECT_EQ(
        vltest::countOccurrences(m_engine.log(), "toEventKeyboard(): Error! Called with non-keyboard event."),
        1);
}

TEST(InputManagerStart, NeedsTheDisplayFirstWhenNotHeadless) {
    const std::string log_path = vltest::useTempLog();
    vl::Config::getInstance().loadConfig("headless:false");
    ASSERT_EQ(vl::LogManager::getInstance().startUp(), 0);
    vl::LogManager::getInstance().setFlush(true);
    EXPECT_EQ(vl::InputManager::getInstance().startUp(), -1);
    EXPECT_FALSE(vl::InputManager::getInstance().isStarted());
    EXPECT_NE(vltest::readFile(log_path).find(
                  "InputManager::startUp(): Error! DisplayManager must be started first."),
              std::string::npos);
    vl::LogManager::getInstance().shutDown();
}

}  // namespace
