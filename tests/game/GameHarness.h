// SPDX-License-Identifier: MIT
// Runs the game headless, one loop iteration at a time, with keys scripted by the test; the game's
// headers for its tests.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "Border.h"
#include "GameEvents.h"
#include "GameStart.h"
#include "HeadlessEngine.h"
#include "KeyGuide.h"
#include "LevelBuilder.h"
#include "Light.h"
#include "Obstacle.h"
#include "Player.h"
#include "Resources.h"
#include "Switch.h"
#include "TestSupport.h"
#include <veltrane/core/EventStep.h>
#include <veltrane/core/LogManager.h>
#include <veltrane/game/GameManager.h>
#include <veltrane/graphics/DisplayManager.h>
#include <veltrane/input/InputManager.h>
#include <veltrane/world/WorldManager.h>

namespace gametest {

// An iteration here is the game loop's, minus drawing and sleeping: the step event, then the keys
// pressed and released, then KEY_DOWN for every held key in the input manager's order, then the update.
class GameHarness {
public:
    // Started as the game's entry point starts it, replaying the file given if any.
    explicit GameHarness(const std::string& replay_path = "") : m_engine("frame_time:0,random_seed:7,") {
        setenv(vl::REPLAY_ENV, replay_path.c_str(), 1);
        m_started = m_engine.startUp() == 0;
        unsetenv(vl::REPLAY_ENV);
        if (m_started) {
            vl::LogManager::getInstance().setFlush(true);
            loadResources();
            vl::DisplayManager::getInstance().setBackgroundColor(vl::WHITE);
        }
    }
    ~GameHarness() { shutDown(); }
    void shutDown() {
        if (m_started) {
            m_engine.shutDown();
        }
        m_started = false;
    }
    bool started() const { return m_started; }
    std::string log() const { return m_engine.log(); }
    int count(const std::string& text) const { return vltest::countOccurrences(log(), text); }

    void press(vl::Keyboard::Key key) {
        m_queued.push_back({key, vl::KEY_PRESSED});
        m_held.insert(key);
    }
    void release(vl::Keyboard::Key key) {
        m_queued.push_back({key, vl::KEY_RELEASED});
        m_held.erase(key);
    }
    // Held for count iterations, released in the next.
    void hold(vl::Keyboard::Key key, int count) {
        press(key);
        step(count);
        release(key);
        step();
    }
    void tap(vl::Keyboard::Key key) { hold(key, 1); }

    void step(int count = 1) {
        for (int i = 0; i < count; i++) {
            vl::EventStep step_event(m_step_count++);
            vl::GameManager::getInstance().onEvent(&step_event);
            for (const std::pair<vl::Keyboard::Key, vl::EventKeyboardAction>& queued : m_queued) {
                send(queued.first, queued.second);
            }
            m_queued.clear();
            std::vector<vl::Keyboard::Key> held(m_held.begin(), m_held.end());
            std::sort(held.begin(), held.end(), [](vl::Keyboard::Key a, vl::Keyboard::Key b) {
                return vl::Keyboard::heldKeyRank(a) < vl::Keyboard::heldKeyRank(b);
            });
            for (vl::Keyboard::Key key : held) {
                send(key, vl::KEY_DOWN);
            }
            vl::WorldManager::getInstance().update();
        }
    }

    static void send(vl::Keyboard::Key key, vl::EventKeyboardAction action) {
        vl::EventKeyboard keyboard;
        keyboard.setKey(key);
        keyboard.setKeyboardAction(action);
        vl::InputManager::getInstance().onEvent(&keyboard);
    }

private:
    vltest::HeadlessEngine m_engine;
    bool m_started = false;
    int m_step_count = 0;
    std::vector<std::pair<vl::Keyboard::Key, vl::EventKeyboardAction>> m_queued;
    std::set<vl::Keyboard::Key> m_held;
};

// A started engine with the game's resources loaded, for each test.
class GameTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(game.started()); }
    GameHarness game;
};

// Objects of a type, inactive ones included, in the world's order.
inline std::vector<vl::Object*> objectsOfType(const std::string& type) {
    std::vector<vl::Object*> found;
    const vl::ObjectList all = vl::WorldManager::getInstance().getAllObjects(true);
    for (vl::ObjectListIterator it(&all); !it.isDone(); it.next()) {
        if (it.currentObject()->getType() == type) {
            found.push_back(it.currentObject());
        }
    }
    return found;
}

inline size_t countType(const std::string& type) {
    return objectsOfType(type).size();
}

inline Player* player(bool shadow) {
    for (vl::Object* p_o : objectsOfType("Player")) {
        if (static_cast<Player*>(p_o)->isShadow() == shadow) {
            return static_cast<Player*>(p_o);
        }
    }
    return nullptr;
}

// The first object of a type (and sprite, if given) at exactly a position, or null.
inline vl::Object* objectAt(const std::string& type, float x, float y, const std::string& sprite = "") {
    for (vl::Object* p_o : objectsOfType(type)) {
        if (p_o->getPosition() == vl::Vector(x, y) &&
            (sprite.empty() || p_o->getAnimation().getName() == sprite)) {
            return p_o;
        }
    }
    return nullptr;
}

}  // namespace gametest
