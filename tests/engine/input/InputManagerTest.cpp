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

// The key table: value, code name, display name.
struct KeyRow {
    int value;
    const char* name;
    const char* display;
};

const std::vector<KeyRow>& keyTable() {
    static const std::vector<KeyRow> rows = [] {
        std::vector<KeyRow> table = {
            {0, "SPACE", " "},        {1, "RETURN", ""},        {2, "ESCAPE", ""},
            {3, "TAB", ""},           {4, "LEFTARROW", ""},     {5, "RIGHTARROW", ""},
            {6, "UPARROW", ""},       {7, "DOWNARROW", ""},     {8, "PAUSE", ""},
            {9, "MINUS", "-"},        {10, "PLUS", "+"},        {11, "TILDE", "~"},
            {12, "PERIOD", "."},      {13, "COMMA", ","},       {14, "SLASH", "/"},
            {15, "EQUAL", "="},       {16, "BACKSLASH", "\\"},  {17, "MULTIPLY", "*"},
            {18, "QUOTE", "'"},       {19, "SEMICOLON", ";"},   {20, "LEFTCONTROL", ""},
            {21, "RIGHTCONTROL", ""}, {22, "LEFTSHIFT", ""},    {23, "RIGHTSHIFT", ""},
            {72, "BACKSPACE", ""},    {74, "LEFTBRACKET", "["}, {75, "RIGHTBRACKET", "]"},
            {76, "BACKQUOTE", "`"},
        };
        static const char* const f_names[] = {"F1", "F2", "F3", "F4",  "F5",  "F6",
                                              "F7", "F8", "F9", "F10", "F11", "F12"};
        for (int i = 0; i < 12; i++) {
            table.push_back({24 + i, f_names[i], ""});
        }
        static std::vector<std::string> letters;
        static std::vector<std::string> digits;
        static std::vector<std::string> digit_names;
        letters.reserve(26);
        digits.reserve(10);
        digit_names.reserve(10);
        for (char c = 'A'; c <= 'Z'; c++) {
            letters.push_back(std::string(1, c));
            table.push_back({36 + (c - 'A'), letters.back().c_str(), letters.back().c_str()});
        }
        for (int d = 1; d <= 10; d++) {
            digits.push_back(std::to_string(d % 10));
            digit_names.push_back("NUM" + digits.back());
            table.push_back({61 + d, digit_names.back().c_str(), digits.back().c_str()});
        }
        return table;
    }();
    return rows;
}

TEST(Keys, ValuesNamesAndDisplayNamesFollowTheTable) {
    ASSERT_EQ(keyTable().size(), 76u);
    std::set<int> values;
    for (const KeyRow& row : keyTable()) {
        const Key key = static_cast<Key>(row.value);
        values.insert(row.value);
        EXPECT_STREQ(vl::keyName(key), row.name) << row.value;
        EXPECT_EQ(vl::keyToString(key), row.display) << row.name;
        Key found = vl::Keyboard::UNDEFINED_KEY;
        ASSERT_TRUE(vl::keyFromName(row.name, &found)) << row.name;
        EXPECT_EQ(found, key);
    }
    EXPECT_EQ(values.size(), 76u);
    EXPECT_EQ(vl::Keyboard::A, 36);
    EXPECT_EQ(vl::Keyboard::NUM0, 71);
    EXPECT_EQ(vl::Keyboard::LEFTBRACKET, 74);
    for (int value : {-2, -1, 73, 77, 1000}) {
        EXPECT_EQ(vl::keyToString(static_cast<Key>(value)), "") << value;
    }
    EXPECT_EQ(vl::keyName(static_cast<Key>(73)), nullptr);
    Key found = vl::Keyboard::A;
    EXPECT_TRUE(vl::keyFromName("num7", &found));
    EXPECT_EQ(found, vl::Keyboard::NUM7);
    EXPECT_FALSE(vl::keyFromName("NUM", &found));
    EXPECT_FALSE(vl::keyFromName("", &found));
}

TEST(Keys, TheHeldKeysAreTheSeventyThreeOfTheCheckingOrder) {
    std::set<int> held(std::begin(vl::Keyboard::HELD_KEYS), std::end(vl::Keyboard::HELD_KEYS));
    EXPECT_EQ(held.size(), 73u);
    for (int value : {35, 34, 73, 76}) {  // F12, F11, the gap, BACKQUOTE
        EXPECT_EQ(held.count(value), 0u) << value;
    }
    EXPECT_EQ(vl::Keyboard::HELD_KEYS[0], vl::Keyboard::UPARROW);
    EXPECT_EQ(vl::Keyboard::HELD_KEYS[4], vl::Keyboard::SPACE);
    EXPECT_EQ(vl::Keyboard::HELD_KEYS[19], vl::Keyboard::LEFTBRACKET);
    EXPECT_EQ(vl::Keyboard::HELD_KEYS[35], vl::Keyboard::F10);
    EXPECT_EQ(vl::Keyboard::HELD_KEYS[71], vl::Keyboard::NUM0);
    EXPECT_EQ(vl::Keyboard::HELD_KEYS[72], vl::Keyboard::BACKSPACE);
    EXPECT_EQ(vl::Keyboard::heldKeyRank(vl::Keyboard::F11), -1);
}

TEST(LibraryKeys, EveryLibraryKeyMapsAsDesignedAndBack) {
    const std::vector<std::pair<sf::Keyboard::Key, Key>> mapped = {
        {sf::Keyboard::Space, vl::Keyboard::SPACE},
        {sf::Keyboard::Enter, vl::Keyboard::RETURN},
        {sf::Keyboard::Subtract, vl::Keyboard::MINUS},
        {sf::Keyboard::Add, vl::Keyboard::PLUS},
        {sf::Keyboard::Tilde, vl::Keyboard::TILDE},
        {sf::Keyboard::Quote, vl::Keyboard::QUOTE},
        {sf::Keyboard::Multiply, vl::Keyboard::MULTIPLY},
        {sf::Keyboard::Backslash, vl::Keyboard::BACKSLASH},
        {sf::Keyboard::LControl, vl::Keyboard::LEFTCONTROL},
        {sf::Keyboard::RShift, vl::Keyboard::RIGHTSHIFT},
        {sf::Keyboard::Num0, vl::Keyboard::NUM0},
        {sf::Keyboard::Num1, vl::Keyboard::NUM1},
        {sf::Keyboard::A, vl::Keyboard::A},
        {sf::Keyboard::Z, vl::Keyboard::Z},
        {sf::Keyboard::F12, vl::Keyboard::F12},
        {sf::Keyboard::Pause, vl::Keyboard::PAUSE},
        {sf::Keyboard::LBracket, vl::Keyboard::LEFTBRACKET},
        {sf::Keyboard::Backspace, vl::Keyboard::BACKSPACE},
        {sf::Keyboard::Left, vl::Keyboard::LEFTARROW},
        {sf::Keyboard::Down, vl::Keyboard::DOWNARROW},
    };
    for (const auto& pair : mapped) {
        EXPECT_EQ(vl::sfml::toEngineKey(pair.first), pair.second) << vl::sfml::describeKey(pair.first);
        EXPECT_EQ(vl::sfml::toLibraryKey(pair.second), pair.first) << vl::keyName(pair.second);
    }
    int engine_keys = 0;
    std::set<int> produced;
    for (int code = -1; code < sf::Keyboard::KeyCount; code++) {
        const Key key = vl::sfml::toEngineKey(static_cast<sf::Keyboard::Key>(code));
        EXPECT_NE(std::string(vl::sfml::describeKey(static_cast<sf::Keyboard::Key>(code))), "");
        if (key != vl::Keyboard::UNDEFINED_KEY) {
            engine_keys++;
            produced.insert(key);
        }
    }
    // Every named key but BACKQUOTE, each from one library key.
    EXPECT_EQ(engine_keys, 75);
    EXPECT_EQ(produced.size(), 75u);
    for (sf::Keyboard::Key unmapped :
         {sf::Keyboard::Divide, sf::Keyboard::Hyphen, sf::Keyboard::Numpad5, sf::Keyboard::LAlt,
          sf::Keyboard::Home, sf::Keyboard::F13, sf::Keyboard::Unknown, sf::Keyboard::KeyCount}) {
        EXPECT_EQ(vl::sfml::toEngineKey(unmapped), vl::Keyboard::UNDEFINED_KEY);
    }
    EXPECT_STREQ(vl::sfml::describeKey(sf::Keyboard::Divide), "Keypad /");
    EXPECT_EQ(vl::sfml::toLibraryKey(vl::Keyboard::BACKQUOTE), sf::Keyboard::Unknown);
    EXPECT_EQ(vl::sfml::toEngineButton(sf::Mouse::XButton1), vl::Mouse::UNDEFINED_MOUSE_BUTTON);
    EXPECT_EQ(vl::sfml::toEngineButton(sf::Mouse::Middle), vl::Mouse::MIDDLE);
}

TEST(InputEvents, StartUndefinedWithTheirTypes) {
    const vl::EventKeyboard keyboard;
    EXPECT_EQ(keyboard.getType(), "vl-keyboard");
    EXPECT_EQ(keyboard.getKey(), vl::Keyboard::UNDEFINED_KEY);
    EXPECT_EQ(keyboard.getKeyboardAction(), vl::UNDEFINED_KEYBOARD_ACTION);
    const vl::EventMouse mouse;
    EXPECT_EQ(mouse.getType(), "vl-mouse");
    EXPECT_EQ(mouse.getMouseAction(), vl::UNDEFINED_MOUSE_ACTION);
    EXPECT_EQ(mouse.getMouseButton(), vl::Mouse::UNDEFINED_MOUSE_BUTTON);
    EXPECT_EQ(mouse.getMousePosition().getX(), 0.0f);
    EXPECT_EQ(vl::KEY_DOWN, 2);
    EXPECT_EQ(vl::MOVED, 2);
    EXPECT_EQ(vl::Mouse::MIDDLE, 2);
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
    EXPECT_TRUE(m_input.isStarted());
    EXPECT_FALSE(m_input.isRecording());
    EXPECT_FALSE(m_input.isReplaying());
    auto* p_listener = new Listener;
    for (int i = 0; i < 5; i++) {
        m_input.getInput();
    }
    EXPECT_TRUE(p_listener->received.empty());
    EXPECT_EQ(m_input.startUp(), -1);
    EXPECT_NE(m_engine.log().find("InputManager::startup(): Warning! InputManager already started."),
              std::string::npos);
    EXPECT_TRUE(m_input.isValid("vl-keyboard"));
    EXPECT_TRUE(m_input.isValid("vl-mouse"));
    EXPECT_FALSE(m_input.isValid("vl-step"));
    EXPECT_FALSE(m_input.isValid("vl-view"));
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
    const std::string log_path = vltest::tempPath("input.log");
    setenv("VELTRANE_LOG", log_path.c_str(), 1);
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
