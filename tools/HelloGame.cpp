// SPDX-License-Identifier: MIT
// The smallest game on the engine: a ship that A and D steer along the bottom row, Q quits.
// The README walks through it.
#include "DisplayManager.h"
#include "EventKeyboard.h"
#include "GameManager.h"
#include "LogManager.h"
#include "Object.h"

class Ship : public vl::Object {
public:
    Ship() {
        setType("Ship");
        setPosition(vl::Vector(40, 22));
        registerInterest(vl::KEYBOARD_EVENT);
    }

    int eventHandler(const vl::Event* p_e) override {
        if (p_e->getType() != vl::KEYBOARD_EVENT) {
            return 0;
        }
        const auto* p_key = static_cast<const vl::EventKeyboard*>(p_e);
        if (p_key->getKeyboardAction() == vl::KEY_RELEASED && p_key->getKey() == vl::Keyboard::Q) {
            vl::GameManager::getInstance().setGameOver();
        }
        if (p_key->getKeyboardAction() == vl::KEY_DOWN && p_key->getKey() == vl::Keyboard::A) {
            setVelocity(vl::Vector(-1, 0));  // the world moves it by its velocity once per step
        } else if (p_key->getKeyboardAction() == vl::KEY_DOWN && p_key->getKey() == vl::Keyboard::D) {
            setVelocity(vl::Vector(1, 0));
        } else if (p_key->getKeyboardAction() == vl::KEY_RELEASED) {
            setVelocity(vl::Vector(0, 0));
        }
        return 1;
    }

    int draw() override {  // no sprite file needed: draw characters directly
        return vl::DisplayManager::getInstance().drawString(getPosition(), "<=^=>", vl::CENTER, vl::YELLOW);
    }
};

int main() {
    vl::GameManager& game = vl::GameManager::getInstance();
    if (game.startUp() != 0) {
        vl::LogManager::getInstance().writeLog("Error starting game manager");
        game.shutDown();
        return 1;
    }
    new Ship;  // the world owns every object from its construction
    game.run();
    game.shutDown();
    return 0;
}
