// SPDX-License-Identifier: MIT
#include "GameStart.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "Border.h"
#include "EngineCalls.h"
#include "GameEvents.h"
#include "KeyBindings.h"
#include "LevelBuilder.h"
#include "LevelFiles.h"
#include "ShowFrame.h"
#include <veltrane/audio/Music.h>
#include <veltrane/core/LogManager.h>
#include <veltrane/effects/Particle.h>
#include <veltrane/game/GameManager.h>
#include <veltrane/graphics/DisplayManager.h>
#include <veltrane/input/EventKeyboard.h>
#include <veltrane/resources/ResourceManager.h>
#include <veltrane/world/WorldManager.h>

namespace {
// Where finished levels are remembered: $XDG_DATA_HOME/veltrane, else ~/.local/share/veltrane;
// empty when neither is known.
std::string finishedPath() {
    const char* p_data = std::getenv("XDG_DATA_HOME");
    if (p_data != nullptr && p_data[0] != '\0') {
        return std::string(p_data) + "/veltrane/finished";
    }
    const char* p_home = std::getenv("HOME");
    if (p_home != nullptr && p_home[0] != '\0') {
        return std::string(p_home) + "/.local/share/veltrane/finished";
    }
    return "";
}
}  // namespace

GameStart::GameStart()
    : m_level_count(LEVEL_COUNT), m_selected_level(0), m_p_music(nullptr), m_level_running(false),
      m_finished(LEVEL_COUNT, '0') {
    m_level_count = LEVEL_COUNT;
    wearSprite(*this, "gamestart");
    setType("GameStart");
    setLocation(vl::CENTER_CENTER);
    setAltitude(1);
    listenFor(*this, vl::KEYBOARD_EVENT);
    m_level_running = false;
    selectLevel(0);
    m_p_music = vl::ResourceManager::getInstance().getMusic("start music");
    playMusic();
    buildTitleBorders();
    loadFinished();
}

GameStart::~GameStart() = default;

int GameStart::eventHandler(const vl::Event* p_e) {
    if (p_e->getType() == END_EVENT) {
        levelEnded(static_cast<const EventEnd*>(p_e));
        return 1;
    }
    if (p_e->getType() != vl::KEYBOARD_EVENT) {
        return 0;
    }
    kbd(static_cast<const vl::EventKeyboard*>(p_e));
    return 1;
}

void GameStart::kbd(const vl::EventKeyboard* p_keyboard) {
    const KeyCommand key = keyCommand(Screen::TITLE, p_keyboard);
    switch (key.command) {
    case Command::START_LEVEL:
        startLevel(m_selected_level);
        break;
    case Command::PREVIOUS_LEVEL:
        if (m_selected_level > 0) {
            selectLevel(m_selected_level - 1);
        }
        break;
    case Command::NEXT_LEVEL:
        if (m_selected_level < m_level_count - 1) {
            selectLevel(m_selected_level + 1);
        }
        break;
    case Command::QUIT_GAME:
        if (!m_level_running) {
            vl::GameManager::getInstance().setGameOver(true);
        }
        break;
    case Command::SELECT_LEVEL:
        selectLevel(key.level);
        break;
    default:
        break;
    }
}

void GameStart::levelEnded(const EventEnd* p_end) {
    setActive(true);
    setLevelRunning(false);
    buildTitleBorders();
    playMusic();
    if (!p_end->isFinished()) {
        return;
    }
    markFinished(p_end->getLevel());
    // Marks the completed level on the level selector.
    vl::addParticles(vl::BURST, vl::Vector(static_cast<float>(23 + 6 * p_end->getLevel()), 17), 2.0f,
                     vl::GREEN);
}

int GameStart::draw() {
    const int result = vl::Object::draw();
    for (int level = 0; level < m_level_count; level++) {
        if (isFinished(level)) {
            // A star over the level's number on the selector.
            vl::DisplayManager::getInstance().drawCharacter(
                vl::Vector(static_cast<float>(23 + 6 * level), 16), '*', vl::GREEN);
        }
    }
    return result;
}

void GameStart::selectLevel(int level) {
    m_selected_level = level;
    showFrame(this, level);
}

int GameStart::getSelectedLevel() const {
    return m_selected_level;
}

void GameStart::startLevel(int level) {
    if (!LevelFiles::getInstance().canStart(level)) {
        return;  // its file was named at start-up; the title screen stays
    }
    vl::LogManager::getInstance().writeLog("Starting level %d", level + 1);
    m_level_running = true;
    vl::WorldManager& world_manager = vl::WorldManager::getInstance();
    const vl::ObjectList all = world_manager.getAllObjects(true);
    for (vl::ObjectListIterator it(&all); !it.isDone(); it.next()) {
        const std::string type = it.currentObject()->getType();
        // The title's own: its borders and the burst of a level just completed.
        if (type == "Border" || type == "Particle") {
            removeFromWorld(it.currentObject());
        }
    }
    LevelBuilder* p_builder = new LevelBuilder(this);
    setActive(false);
    if (m_p_music != nullptr) {
        m_p_music->pause();
    }
    p_builder->buildLevel(level);
}

void GameStart::buildTitleBorders() {
    for (int i = 0; i <= 4; i++) {
        Border* p_left = new Border("left");
        p_left->setPosition(vl::Vector(5, static_cast<float>(5 * i + 1)));
        wearSprite(*p_left, "left-border-shadow");
        Border* p_right = new Border("right");
        p_right->setPosition(vl::Vector(74, static_cast<float>(5 * i + 1)));
        wearSprite(*p_right, "right-border-shadow");
    }
}

void GameStart::playMusic() {
    if (m_p_music != nullptr) {
        m_p_music->play(true);
    }
}

void GameStart::setLevelRunning(bool level_running) {
    m_level_running = level_running;
}

bool GameStart::isLevelRunning() const {
    return m_level_running;
}

void GameStart::markFinished(int level) {
    if (level < 0 || level >= m_level_count || isFinished(level)) {
        return;
    }
    m_finished[static_cast<std::size_t>(level)] = '1';
    saveFinished();
}

bool GameStart::isFinished(int level) const {
    return level >= 0 && level < m_level_count && m_finished[static_cast<std::size_t>(level)] == '1';
}

void GameStart::loadFinished() {
    std::ifstream file(finishedPath());
    std::string line;
    if (!file || !std::getline(file, line) || line.size() != m_finished.size() ||
        line.find_first_not_of("01") != std::string::npos) {
        return;
    }
    m_finished = line;
}

// Losing the record only costs the marks: a failure here never stops the game.
void GameStart::saveFinished() const {
    const std::string path = finishedPath();
    if (path.empty()) {
        return;
    }
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
    std::ofstream file(path);
    file << m_finished << "\n";
}
