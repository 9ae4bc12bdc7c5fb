// SPDX-License-Identifier: MIT
// Runs the game headless one loop iteration at a time, with keys scripted by the test.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "Border.h"
#include "GameEvents.h"
#include "GameStart.h"
#include "HeadlessEngine.h"
#include "KeyGuide.h"
#include "LevelBuilder.h"
#include "LevelFiles.h"
#include "Light.h"
#include "Obstacle.h"
#include "Player.h"
#include "Resources.h"
#include "StepWatcher.h"
#include "TestSupport.h"
#include <veltrane/core/EventStep.h>
#include <veltrane/core/LogManager.h>
#include <veltrane/game/GameManager.h>
#include <veltrane/graphics/DisplayManager.h>
#include <veltrane/input/InputManager.h>
#include <veltrane/world/WorldManager.h>

namespace gametest {

namespace Keyboard = vl::Keyboard;
using vl::Vector;

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
        if (p_o->getPosition() == Vector(x, y) &&
            (sprite.empty() || p_o->getAnimation().getName() == sprite)) {
            return p_o;
        }
    }
    return nullptr;
}

// The title screen alone: its ten borders, no level object, and no level running.
inline void expectTitleOnly() {
    for (const char* type : {"LevelBuilder", "Player", "Obstacle", "Switch", "Light", "Door", "KeyGuide"}) {
        EXPECT_EQ(countType(type), 0u) << type;
    }
    EXPECT_EQ(countType("Border"), 10u);
    const std::vector<vl::Object*> titles = objectsOfType("GameStart");
    ASSERT_EQ(titles.size(), 1u);
    EXPECT_FALSE(static_cast<GameStart*>(titles.front())->isLevelRunning());
}

using vltest::StepWatcher;

// An iteration is the game loop's without drawing or sleeping: the step event, the keys pressed and
// released, KEY_DOWN for every held key in the input manager's order, then the update.
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
            LevelFiles::getInstance().load("");
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

    void press(Keyboard::Key key) {
        m_queued.push_back({key, vl::KEY_PRESSED});
        m_held.insert(key);
    }
    void release(Keyboard::Key key) {
        m_queued.push_back({key, vl::KEY_RELEASED});
        m_held.erase(key);
    }
    // Held for count iterations, released in the next.
    void hold(Keyboard::Key key, int count) {
        press(key);
        step(count);
        release(key);
        step();
    }
    void tap(Keyboard::Key key) { hold(key, 1); }

    void step(int count = 1) {
        for (int i = 0; i < count; i++) {
            vl::EventStep step_event(m_step_count++);
            vl::GameManager::getInstance().onEvent(&step_event);
            for (const auto& queued : m_queued) {
                send(queued.first, queued.second);
            }
            m_queued.clear();
            std::vector<Keyboard::Key> held(m_held.begin(), m_held.end());
            std::sort(held.begin(), held.end(), [](Keyboard::Key a, Keyboard::Key b) {
                return Keyboard::heldKeyRank(a) < Keyboard::heldKeyRank(b);
            });
            for (Keyboard::Key key : held) {
                send(key, vl::KEY_DOWN);
            }
            vl::WorldManager::getInstance().update();
        }
    }

    static void send(Keyboard::Key key, vl::EventKeyboardAction action) {
        vl::EventKeyboard keyboard;
        keyboard.setKey(key);
        keyboard.setKeyboardAction(action);
        vl::InputManager::getInstance().onEvent(&keyboard);
    }

    // A level (0 to 5) built and settled; its light form.
    Player* playLevel(int level) {
        (new LevelBuilder())->buildLevel(level);
        step(60);
        return player(false);
    }
    // The title screen, and the level chosen with its digit started from it.
    GameStart* startFromTitle(int level = 0) {
        GameStart* p_title = new GameStart();
        tap(static_cast<Keyboard::Key>(Keyboard::NUM1 + level));
        tap(Keyboard::RETURN);
        return p_title;
    }
    // Holds a key until the form in control passes x (at most 80 iterations), then lets it go.
    void walkTo(Keyboard::Key key, float x) {
        const float sign = key == Keyboard::A ? -1 : 1;
        Player* p_walker = player(false)->isInControl() ? player(false) : player(true);
        press(key);
        for (int i = 0; i < 80 && (p_walker->getPosition().getX() - x) * sign < 0; i++) {
            step();
        }
        release(key);
        step();
    }

private:
    vltest::HeadlessEngine m_engine;
    bool m_started = false;
    int m_step_count = 0;
    std::vector<std::pair<Keyboard::Key, vl::EventKeyboardAction>> m_queued;
    std::set<Keyboard::Key> m_held;
};

// A started engine with the game's resources loaded, for each test.
class GameTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(game.started()); }
    GameHarness game;
};

}  // namespace gametest
