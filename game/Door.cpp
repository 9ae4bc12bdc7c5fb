// SPDX-License-Identifier: MIT
#include "Door.h"

#include "EngineCalls.h"
#include "GameEvents.h"
#include "KeyBindings.h"
#include "PlayerTouching.h"
#include <veltrane/audio/Sound.h>
#include <veltrane/core/LogManager.h>
#include <veltrane/input/EventKeyboard.h>
#include <veltrane/resources/ResourceManager.h>
#include <veltrane/world/WorldManager.h>

Door::Door(vl::Vector position) {
    setPosition(position);
    listenFor(*this, vl::KEYBOARD_EVENT);
    wearSprite(*this, "door");
    setType("Door");
    setSolidness(vl::SOFT);
}

Door::~Door() = default;

int Door::eventHandler(const vl::Event* p_e) {
    if (p_e->getType() != vl::KEYBOARD_EVENT) {
        return 0;
    }
    if (keyCommand(Screen::LEVEL, static_cast<const vl::EventKeyboard*>(p_e)).command == Command::USE) {
        enter();
    }
    return 1;
}

void Door::enter() {
    const bool player_here = isPlayerTouching(this);
    if (!player_here) {
        return;
    }
    vl::LogManager::getInstance().writeLog("door entered");
    vl::Sound* p_sound = vl::ResourceManager::getInstance().getSound("complete");
    if (p_sound != nullptr) {
        p_sound->play(false);
    }
    EventEnd end;
    vl::WorldManager::getInstance().onEvent(&end);
}
