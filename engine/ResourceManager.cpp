// SPDX-License-Identifier: MIT
#include "ResourceManager.h"

#include <fstream>

#include "LogManager.h"
#include "Sprite.h"
#include "SpriteReader.h"

namespace vl {

ResourceManager::ResourceManager() : m_p_sprite{}, m_sprite_count(0) {
    setType("ResourceManager");
}

ResourceManager::~ResourceManager() {
    for (int i = 0; i < m_sprite_count; i++) {
        delete m_p_sprite[i];
        m_p_sprite[i] = nullptr;
    }
}

ResourceManager& ResourceManager::getInstance() {
    static ResourceManager instance;
    return instance;
}

int ResourceManager::startUp() {
    const LogManager& log = LogManager::getInstance();
    if (isStarted()) {
        log.writeLog("%s::startup(): Warning! %s already started.", getType().c_str(), getType().c_str());
        return -1;
    }
    m_sprite_count = 0;
    Manager::startUp();
    log.writeLog(5, "RM::startUp(): successfully started.");
    return 0;
}

void ResourceManager::shutDown() {
    for (int i = 0; i < m_sprite_count; i++) {
        delete m_p_sprite[i];
        m_p_sprite[i] = nullptr;
    }
    m_sprite_count = 0;
    Manager::shutDown();
    LogManager::getInstance().writeLog(5, "RM::shutDown(): successfully stopped.");
}

int ResourceManager::loadSprite(std::string filename, std::string label) {
    const LogManager& log = LogManager::getInstance();
    if (!isStarted()) {
        log.writeLog("%s not started!", getType().c_str());
        return -1;
    }
    if (m_sprite_count >= MAX_SPRITES) {
        log.writeLog("RM::loadRobustSprite(): Error! Cannot add more Sprites (max is %d).", MAX_SPRITES);
        log.writeLog("RM::loadRobustSprite(): Sprite '%s' not loaded.", label.c_str());
        return -1;
    }
    log.writeLog(1, "RM::loadSprite(): Loading sprite '%s'.", filename.c_str());
    std::ifstream file(filename);
    if (!file.is_open()) {
        log.writeLog("RM::loadSprite(): Error! Cannot open file '%s'.", filename.c_str());
        log.writeLog("RM::loadSprite(): Sprite '%s' not loaded.", label.c_str());
        return -1;
    }
    SpriteReader reader;
    Sprite* p_sprite = reader.readSprite(file, label);
    if (p_sprite == nullptr) {
        return -1;
    }
    p_sprite->setLabel(label);
    m_p_sprite[m_sprite_count] = p_sprite;
    m_sprite_count++;
    logSpriteFrames(*p_sprite);
    log.writeLog(5, "RM::loadSprite(): Sprite '%s' loaded.", label.c_str());
    return 0;
}

void ResourceManager::logSpriteFrames(const Sprite& sprite) const {
    const LogManager& log = LogManager::getInstance();
    // Building every row costs time at start-up for lines that are usually filtered out.
    if (log.getLogLevel() < 15) {
        return;
    }
    log.writeLog(15, "RM::loadSprite(): Sprite '%s' frames:", sprite.getLabel().c_str());
    for (int i = 0; i < sprite.getFrameCount(); i++) {
        const Frame frame = sprite.getFrame(i);
        const std::string text = frame.getString();
        log.writeLog(15, "\tFrame %d:", i + 1);
        const auto width = static_cast<size_t>(frame.getWidth());
        for (size_t start = 0; width > 0 && start + width <= text.size(); start += width) {
            log.writeLog(15, "\t%s", text.substr(start, width).c_str());
        }
    }
}

Sprite* ResourceManager::getSprite(std::string label) const {
    const LogManager& log = LogManager::getInstance();
    log.writeLog(5, "RM::getSprite(): Looking for sprite '%s'.", label.c_str());
    for (int i = 0; i < m_sprite_count; i++) {
        if (m_p_sprite[i]->getLabel() == label) {
            return m_p_sprite[i];
        }
    }
    log.writeLog("RM::getSprite(): Warning! Sprite '%s' not found.", label.c_str());
    return nullptr;
}

int ResourceManager::getSpriteCount() const {
    return m_sprite_count;
}

}  // namespace vl
