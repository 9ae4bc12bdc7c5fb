// SPDX-License-Identifier: MIT
// Runs the game headless, one loop iteration at a time, with keys scripted by the test.
#pragma once

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "HeadlessEngine.h"
#include "Resources.h"
#include <veltrane/core/EventStep.h>
#include <veltrane/core/LogManager.h>
#include <veltrane/core/ObjectList.h>
#include <veltrane/game/GameManager.h>
#include <veltrane/graphics/DisplayManager.h>
#include <veltrane/input/EventKeyboard.h>
#include <veltrane/input/InputManager.h>
#include <veltrane/world/Object.h>
#include <veltrane/world/WorldManager.h>

namespace gametest {

// An iteration here is the game loop's, minus drawing and sleeping: the step event, then the
// keys of this iteration (presses and releases, then KEY_DOWN for every held key in the input
// manager's order), then the world update.
class GameHarness {
public:
    explicit GameHarness(const std::string& config_items = "frame_time:0,") : m_engine(config_items) {
        m_started = m_engine.startUp() == 0;
        if (m_started) {
            vl::LogManager::getInstance().setFlush(true);
            loadResources();
        }
    }
    ~GameHarness() {
        if (m_started) {
            m_engine.shutDown();
        }
    }
    GameHarness(const GameHarness&) = delete;
    GameHarness& operator=(const GameHarness&) = delete;

    bool started() const { return m_started; }
    std::string log() const { return m_engine.log(); }

    void press(vl::Keyboard::Key key) {
        m_queued.push_back({key, vl::KEY_PRESSED});
        m_held.insert(key);
    }
    void release(vl::Keyboard::Key key) {
        m_queued.push_back({key, vl::KEY_RELEASED});
        m_held.erase(key);
    }
    // Press in this iteration, release in the next.
    void tap(vl::Keyboard::Key key) {
        press(key);
        step();
        release(key);
        step();
    }

    void step(int count = 1) {
        for (int i = 0; i < count; i++) {
            vl::EventStep step_event(m_step_count);
            vl::GameManager::getInstance().onEvent(&step_event);
            for (const Queued& queued : m_queued) {
                send(queued.key, queued.action);
            }
            m_queued.clear();
            std::vector<int> held(m_held.begin(), m_held.end());
            std::sort(held.begin(), held.end(), [](int a, int b) { return downOrder(a) < downOrder(b); });
            for (int key : held) {
                send(static_cast<vl::Keyboard::Key>(key), vl::KEY_DOWN);
            }
            vl::WorldManager::getInstance().update();
            m_step_count++;
        }
    }

    static void send(vl::Keyboard::Key key, vl::EventKeyboardAction action) {
        vl::EventKeyboard keyboard;
        keyboard.setKey(key);
        keyboard.setKeyboardAction(action);
        vl::InputManager::getInstance().onEvent(&keyboard);
    }

    // Objects of a type, inactive ones included, in the world's order.
    static std::vector<vl::Object*> objectsOfType(const std::string& type) {
        std::vector<vl::Object*> found;
        const vl::ObjectList all = vl::WorldManager::getInstance().getAllObjects(true);
        for (vl::ObjectListIterator it(&all); !it.isDone(); it.next()) {
            if (it.currentObject()->getType() == type) {
                found.push_back(it.currentObject());
            }
        }
        return found;
    }

private:
    struct Queued {
        vl::Keyboard::Key key;
        vl::EventKeyboardAction action;
    };

    // Position of a key in the input manager's KEY_DOWN order (only the keys the game uses).
    static int downOrder(int key) {
        if (key == vl::Keyboard::SPACE) {
            return 0;
        }
        if (key == vl::Keyboard::RETURN) {
            return 1;
        }
        return 2 + key;
    }

    vltest::HeadlessEngine m_engine;
    bool m_started = false;
    int m_step_count = 0;
    std::vector<Queued> m_queued;
    std::set<int> m_held;
};

}  // namespace gametest
