// SPDX-License-Identifier: MIT
// Small helpers shared by the game's rule tests.
#pragma once

#include <string>
#include <vector>

#include "GameEvents.h"
#include "GameHarness.h"
#include "Player.h"
#include <veltrane/graphics/Animation.h>
#include <veltrane/world/Object.h>

namespace gametest {

// Counts the events of one type that reach it through the world manager.
class EventCounter : public vl::Object {
public:
    explicit EventCounter(const std::string& event_type) {
        setSolidness(vl::SPECTRAL);
        setType("EventCounter");
        registerInterest(event_type);
    }
    int eventHandler(const vl::Event* p_e) override {
        (void)p_e;
        count++;
        return 1;
    }
    int count = 0;
};

inline Player* lightPlayer() {
    for (vl::Object* p_o : GameHarness::objectsOfType("Player")) {
        Player* p_player = static_cast<Player*>(p_o);
        if (!p_player->isShadow()) {
            return p_player;
        }
    }
    return nullptr;
}

inline Player* shadowPlayer() {
    for (vl::Object* p_o : GameHarness::objectsOfType("Player")) {
        Player* p_player = static_cast<Player*>(p_o);
        if (p_player->isShadow()) {
            return p_player;
        }
    }
    return nullptr;
}

inline std::string spriteOf(const vl::Object* p_o) {
    return p_o->getAnimation().getName();
}

inline int frameOf(const vl::Object* p_o) {
    return p_o->getAnimation().getIndex();
}

// The first object of a type (and sprite, if given) at exactly a position, or null.
inline vl::Object* objectAt(const std::string& type, float x, float y, const std::string& sprite = "") {
    for (vl::Object* p_o : GameHarness::objectsOfType(type)) {
        if (p_o->getPosition() == vl::Vector(x, y) && (sprite.empty() || spriteOf(p_o) == sprite)) {
            return p_o;
        }
    }
    return nullptr;
}

// Shows the shadow world: every object interested in "shadow" swaps its role.
inline void switchWorld() {
    EventShadow shadow;
    vl::WorldManager::getInstance().onEvent(&shadow);
}

// Steps until the player in control stands still on something, at most limit iterations.
inline void settle(GameHarness& game, int limit = 60) {
    for (int i = 0; i < limit; i++) {
        game.step();
    }
}

}  // namespace gametest
