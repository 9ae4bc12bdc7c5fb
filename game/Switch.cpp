// SPDX-License-Identifier: MIT
#include "Switch.h"

#include "EngineCalls.h"
#include "GameEvents.h"
#include "KeyBindings.h"
#include "Obstacle.h"
#include "PlayerTouching.h"
#include "ShowFrame.h"
#include <veltrane/audio/Sound.h>
#include <veltrane/core/LogManager.h>
#include <veltrane/core/ObjectList.h>
#include <veltrane/input/EventKeyboard.h>
#include <veltrane/resources/ResourceManager.h>
#include <veltrane/world/WorldManager.h>

Switch::Switch(std::string label, bool is_shadow, int x, int y, vl::Vector off_position,
               vl::Vector on_position, Obstacle* p_target)
    : Twin(is_shadow), m_p_target(nullptr), m_is_on(false), m_off_position(off_position),
      m_on_position(on_position), m_is_usable(!is_shadow) {
    setPosition(vl::Vector(static_cast<float>(x), static_cast<float>(y)));
    m_p_target = p_target;
    if (m_p_target != nullptr) {
        listenFor(*m_p_target, vl::STEP_EVENT);
        if (m_p_target->getTwin() != nullptr) {
            listenFor(*m_p_target->getTwin(), vl::STEP_EVENT);
        }
    }
    std::string sprite_label = label;
    if (m_is_shadow) {
        sprite_label = label + "-shadow";
        setAltitude(1);
        setSolidness(vl::SPECTRAL);
    } else {
        linkTwin(new Switch(label, true, x, y - m_shadow_offset, off_position, on_position, p_target));
        listenFor(*this, vl::KEYBOARD_EVENT);
        setAltitude(4);
        setSolidness(vl::SOFT);
    }
    wearSprite(*this, sprite_label);
    setType("Switch");
    m_is_on = false;
    m_off_position = off_position;
    m_on_position = on_position;
    showFrame(this, 0);
    listenFor(*this, SHADOW_EVENT);
}

Switch::~Switch() = default;

int Switch::eventHandler(const vl::Event* p_e) {
    if (p_e->getType() == vl::KEYBOARD_EVENT) {
        if (keyCommand(Screen::LEVEL, static_cast<const vl::EventKeyboard*>(p_e)).command == Command::USE) {
            pull();
        }
        return 1;
    }
    if (p_e->getType() == SHADOW_EVENT) {
        if (m_is_usable) {
            unregisterInterest(vl::KEYBOARD_EVENT);
            setSolidness(vl::SPECTRAL);
        } else {
            listenFor(*this, vl::KEYBOARD_EVENT);
            setSolidness(vl::SOFT);
        }
        m_is_usable = !m_is_usable;
        return 0;
    }
    return 0;
}

void Switch::pull() {
    const bool player_here = isPlayerTouching(this);
    if (!player_here || m_p_target == nullptr) {
        return;
    }
    vl::LogManager::getInstance().writeLog("switched");
    EventLever lever;
    vl::WorldManager::getInstance().onEvent(&lever);

    m_is_on = !m_is_on;
    if (getTwin() != nullptr) {
        getTwin()->m_is_on = m_is_on;
    }
    const vl::Vector destination = m_is_on ? m_on_position : m_off_position;
    m_p_target->moveTo(destination);
    if (m_p_target->getTwin() != nullptr) {
        m_p_target->getTwin()->moveTo(destination - vl::Vector(0, static_cast<float>(m_shadow_offset)));
    }
    vl::Sound* p_sound = vl::ResourceManager::getInstance().getSound("switch");
    if (p_sound != nullptr) {
        p_sound->play(false);
    }
    showFrame(this, m_is_on ? 1 : 0);
    showFrame(getTwin(), m_is_on ? 1 : 0);
}

// The same test as the target's on arrival, made before the pull.
bool Switch::wouldCrush() const {
    if (m_p_target == nullptr) {
        return false;
    }
    const vl::ObjectList there =
        vl::WorldManager::getInstance().objectsAtPosition(m_is_on ? m_off_position : m_on_position);
    for (vl::ObjectListIterator it(&there); !it.isDone(); it.next()) {
        if (it.currentObject()->getType() == "Player") {
            return true;
        }
    }
    return false;
}

bool Switch::isOn() const {
    return m_is_on;
}

bool Switch::isUsable() const {
    return m_is_usable;
}
