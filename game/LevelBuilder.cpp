// SPDX-License-Identifier: MIT
#include "LevelBuilder.h"

#include "EngineCalls.h"
#include "GameEvents.h"
#include "KeyBindings.h"
#include "LevelFiles.h"
#include <veltrane/audio/Music.h>
#include <veltrane/core/LogManager.h>
#include <veltrane/input/EventKeyboard.h>
#include <veltrane/resources/ResourceManager.h>
#include <veltrane/world/WorldManager.h>

namespace {
// Object types that belong to a level, cleared when it ends or restarts.
const char* const LEVEL_TYPES[] = {"Obstacle", "Switch", "Light",      "Player",
                                   "Border",   "Door",   "ViewObject", "KeyGuide"};

bool isLevelType(const std::string& type) {
    for (const char* level_type : LEVEL_TYPES) {
        if (type == level_type) {
            return true;
        }
    }
    return false;
}
}  // namespace

LevelBuilder::LevelBuilder(vl::EventHandler* p_owner)
    : m_level(0), m_p_music(nullptr), m_quit(false), m_ended(false), m_p_owner(p_owner) {
    setType("LevelBuilder");
    m_level = 0;
    m_quit = false;
    listenFor(*this, vl::KEYBOARD_EVENT);
    listenFor(*this, END_EVENT);
    m_p_music = vl::ResourceManager::getInstance().getMusic("level music");
    playMusic();
}

LevelBuilder::~LevelBuilder() = default;

int LevelBuilder::eventHandler(const vl::Event* p_e) {
    // Marked for deletion, the builder still receives the rest of this iteration's events; a
    // restart or a second end now would build or clear a level behind the title screen.
    if (m_ended && (p_e->getType() == vl::KEYBOARD_EVENT || p_e->getType() == END_EVENT)) {
        return 1;
    }
    if (p_e->getType() == vl::KEYBOARD_EVENT) {
        kbd(static_cast<const vl::EventKeyboard*>(p_e));
        return 1;
    }
    if (p_e->getType() == END_EVENT) {
        endLevel();
        return 1;
    }
    return 0;
}

void LevelBuilder::kbd(const vl::EventKeyboard* p_keyboard) {
    switch (keyCommand(Screen::LEVEL, p_keyboard).command) {
    case Command::LEAVE_LEVEL: {
        m_quit = true;
        EventEnd end;
        vl::WorldManager::getInstance().onEvent(&end);
        break;
    }
    case Command::RESTART_LEVEL:
        restart();
        break;
    case Command::SWITCH_WORLD: {
        EventShadow shadow;
        vl::WorldManager::getInstance().onEvent(&shadow);
        vl::LogManager::getInstance().writeLog("SHADOW SWITCH");
        break;
    }
    default:
        break;
    }
}

void LevelBuilder::buildLevelFrame() {
    LevelFiles::getInstance().getFrame().build();
}

void LevelBuilder::clearLevel() {
    vl::WorldManager& world_manager = vl::WorldManager::getInstance();
    const vl::ObjectList all = world_manager.getAllObjects(true);
    for (vl::ObjectListIterator it(&all); !it.isDone(); it.next()) {
        if (isLevelType(it.currentObject()->getType())) {
            removeFromWorld(it.currentObject());
            // The old level must not answer the keys that follow in this iteration.
            it.currentObject()->setActive(false);
        }
    }
}

void LevelBuilder::restart() {
    vl::LogManager::getInstance().writeLog("Restarting level %d", m_level + 1);
    clearLevel();
    buildLevel(m_level);
}

void LevelBuilder::buildLevel(int level) {
    switch (level) {
    case 0:
        level1();
        break;
    case 1:
        level2();
        break;
    case 2:
        level3();
        break;
    case 3:
        level4();
        break;
    case 4:
        level5();
        break;
    case 5:
        level6();
        break;
    default:
        break;
    }
}

void LevelBuilder::endLevel() {
    if (m_ended) {
        return;
    }
    m_ended = true;
    m_quit = !m_quit;
    if (m_p_music != nullptr) {
        m_p_music->pause();
    }
    vl::WorldManager& world_manager = vl::WorldManager::getInstance();
    const vl::ObjectList all = world_manager.getAllObjects(true);
    for (vl::ObjectListIterator it(&all); !it.isDone(); it.next()) {
        if (isLevelType(it.currentObject()->getType())) {
            removeFromWorld(it.currentObject());
        }
    }
    // Handed over directly: the title screen is inactive, so the world would not deliver it.
    if (m_p_owner != nullptr) {
        EventEnd end(m_level, m_quit);
        m_p_owner->eventHandler(&end);
    }
    removeFromWorld(this);
    vl::LogManager::getInstance().writeLog("Back on the title screen");
}

void LevelBuilder::playMusic() {
    if (m_p_music != nullptr) {
        m_p_music->play(true);
    }
}

int LevelBuilder::getLevel() const {
    return m_level;
}

bool LevelBuilder::isQuit() const {
    return m_quit;
}
