// SPDX-License-Identifier: MIT
#include <veltrane/resources/ResourceManager.h>

#include <fstream>

#include <veltrane/audio/AudioDevice.h>
#include <veltrane/core/LogManager.h>
#include <veltrane/core/Utility.h>
#include <veltrane/graphics/Sprite.h>
#include <veltrane/resources/SpriteReader.h>

namespace vl {

namespace {

// What a sound's load and lookup write, and a music piece's.
struct AudioTexts {
    const char* p_full;        // the table is full: %d, the maximum
    const char* p_no_label;    // an empty label, when one is refused; null when accepted
    const char* p_unreadable;  // the file did not load: %s, the file name
    const char* p_loaded;      // level 1: %s, the label
    const char* p_looking;     // level 5: %s, the label
    const char* p_missing;     // %s, the label
};

const AudioTexts SOUND_TEXTS = {
    "RM::loadSound(): Error! Unable to add more sounds (max is %d).",
    nullptr,
    "RM::loadSound(): Error! Cannot load sound from file '%s'.",
    "RM::loadSound(): Sound '%s' successfully loaded.",
    "RM::getSound(): Looking for sound '%s'.",
    "RM::getSound(): Warning! Sound '%s' not found.",
};

const AudioTexts MUSIC_TEXTS = {
    "RM::loadMusic(): Error! Unable to add more musics (max is %d).",
    "RM::loadMusic(): Error! Must provide label for music.",
    "RM::loadmusic(): Error! Cannot load music from file '%s'.",
    "RM::loadMusic(): Music '%s' successfully loaded.",
    "RM::getMusic(): Looking for music '%s'.",
    "RM::getMusic(): Warning! Music '%s' not found.",
};

// Loads filename into the next free slot of table under label; count grows only on success.
template <class Clip>
int loadInto(Clip* table, int& count, int max, int (Clip::*load)(std::string), const std::string& filename,
             const std::string& label, const AudioTexts& texts) {
    const LogManager& log = LogManager::getInstance();
    if (count == max) {
        log.writeLog(texts.p_full, max);
        return -1;
    }
    if (label.empty() && texts.p_no_label != nullptr) {
        log.writeLog("%s", texts.p_no_label);
        return -1;
    }
    if ((table[count].*load)(filename) == -1) {
        log.writeLog(texts.p_unreadable, filename.c_str());
        return -1;
    }
    table[count].setLabel(label);
    log.writeLog(1, texts.p_loaded, label.c_str());
    count++;
    return 0;
}

// The first of table's count loaded entries under exactly label, or null.
template <class Clip>
Clip* findByLabel(Clip* table, int count, const std::string& label, const AudioTexts& texts) {
    const LogManager& log = LogManager::getInstance();
    log.writeLog(5, texts.p_looking, label.c_str());
    for (int i = 0; i < count; i++) {
        if (table[i].getLabel() == label) {
            return &table[i];
        }
    }
    log.writeLog(texts.p_missing, label.c_str());
    return nullptr;
}

}  // namespace

ResourceManager::ResourceManager() : m_p_sprite{}, m_sprite_count(0), m_sound_count(0), m_music_count(0) {
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
    if (refuseIfStarted()) {
        return -1;
    }
    m_sprite_count = 0;
    startAudio();
    if (Manager::startUp() != 0) {
        return -1;
    }
    log.writeLog(5, "RM::startUp(): successfully started.");
    return 0;
}

void ResourceManager::shutDown() {
    for (int i = 0; i < m_sprite_count; i++) {
        delete m_p_sprite[i];
        m_p_sprite[i] = nullptr;
    }
    m_sprite_count = 0;
    stopAudio();
    Manager::shutDown();
    LogManager::getInstance().writeLog(5, "RM::shutDown(): successfully stopped.");
}

int ResourceManager::loadSprite(std::string filename, std::string label) {
    const LogManager& log = LogManager::getInstance();
    if (refuseUnlessStarted()) {
        return -1;
    }
    if (m_sprite_count >= MAX_SPRITES) {
        log.writeLog("RM::loadRobustSprite(): Error! Cannot add more Sprites (max is %d).", MAX_SPRITES);
        log.writeLog("RM::loadRobustSprite(): Sprite '%s' not loaded.", label.c_str());
        return -1;
    }
    log.writeLog(1, "RM::loadSprite(): Loading sprite '%s'.", filename.c_str());
    // Opening a named pipe would wait for a writer, and a directory opens but cannot be read.
    if (isSpecialFile(filename)) {
        log.writeLog("RM::loadSprite(): Error! '%s' is not a regular file.", filename.c_str());
        log.writeLog("RM::loadSprite(): Sprite '%s' not loaded.", label.c_str());
        return -1;
    }
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

// ---- sounds and music ----

void ResourceManager::startAudio() {
    m_sound_count = 0;
    m_music_count = 0;
    isAudioAvailable();
}

void ResourceManager::stopAudio() {
    for (int i = 0; i < m_sound_count; i++) {
        m_sound[i].stop();
    }
    for (int i = 0; i < m_music_count; i++) {
        m_music[i].stop();
    }
}

int ResourceManager::loadSound(std::string filename, std::string label) {
    if (refuseUnlessStarted()) {
        return -1;
    }
    return loadInto(m_sound, m_sound_count, MAX_SOUNDS, &Sound::loadSound, filename, label, SOUND_TEXTS);
}

Sound* ResourceManager::getSound(std::string label) {
    return findByLabel(m_sound, m_sound_count, label, SOUND_TEXTS);
}

int ResourceManager::loadMusic(std::string filename, std::string label) {
    if (refuseUnlessStarted()) {
        return -1;
    }
    return loadInto(m_music, m_music_count, MAX_MUSICS, &Music::loadMusic, filename, label, MUSIC_TEXTS);
}

Music* ResourceManager::getMusic(std::string label) {
    return findByLabel(m_music, m_music_count, label, MUSIC_TEXTS);
}

int ResourceManager::getSoundCount() const {
    return m_sound_count;
}

int ResourceManager::getMusicCount() const {
    return m_music_count;
}

}  // namespace vl
