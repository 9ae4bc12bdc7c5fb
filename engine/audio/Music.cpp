// SPDX-License-Identifier: MIT
#include <veltrane/audio/Music.h>

#include <SFML/Audio/InputSoundFile.hpp>
#include <SFML/Audio/Music.hpp>

#include <veltrane/audio/AudioDevice.h>
#include <veltrane/core/LogManager.h>

namespace vl {

Music::Music() = default;

Music::~Music() {
    stopVoice(m_p_music.get());
}

int Music::loadMusic(std::string filename) {
    // Checked before the stream opens it: the stream sizes a buffer from the header's rate and channels.
    sf::InputSoundFile file;
    if (!openChecked(file, filename, "Music::loadMusic()")) {
        return -1;
    }
    if (isAudioAvailable()) {
        std::unique_ptr<sf::Music> p_music(new sf::Music);
        if (!p_music->openFromFile(filename)) {
            return -1;
        }
        m_p_music = std::move(p_music);
    }
    setFormat(file.getChannelCount(), file.getSampleRate(), file.getDuration().asSeconds());
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
    return m_p_music != nullptr ? m_p_music->getPlayingOffset().asSeconds() : 0.0f;
}

}  // namespace vl
