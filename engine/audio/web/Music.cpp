// SPDX-License-Identifier: MIT
// Music in the browser: checked here, decoded and played by the page, which keeps its position.
#include <veltrane/audio/Music.h>

#include "PageVoice.h"
#include <veltrane/audio/AudioDevice.h>
#include <veltrane/core/LogManager.h>

namespace vl {

Music::Music() = default;

Music::~Music() {
    stopVoice(m_p_music.get());
}

int Music::loadMusic(std::string filename) {
    if (!checkAudioFile(filename, "Music::loadMusic()")) {
        return -1;
    }
    if (audioContainer(filename).empty()) {
        LogManager::getInstance().writeLog(
            "Music::loadMusic(): Error! '%s' is not an MP3, WAV, OGG or FLAC file.", filename.c_str());
        return -1;
    }
    if (isAudioAvailable()) {
        m_p_music = std::make_unique<sf::Music>(filename);
    }
    return 0;
}

void Music::play(bool loop) {
    LogManager::getInstance().writeLog(5, "Music::play(): Playing music.");
    startVoice(m_p_music.get(), loop);
}

void Music::pause() {
    LogManager::getInstance().writeLog(5, "Music::pause(): Pausing music.");
    pauseVoice(m_p_music.get());
}

void Music::stop() {
    LogManager::getInstance().writeLog(5, "Music::stop(): Stopping music.");
    stopVoice(m_p_music.get());
}

bool Music::isPlaying() const {
    return isVoicePlaying(m_p_music.get());
}

float Music::getPlayingOffset() const {
    return m_p_music != nullptr ? m_p_music->getOffset() : 0.0f;
}

}  // namespace vl
