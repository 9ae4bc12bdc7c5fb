// SPDX-License-Identifier: MIT
#include <veltrane/audio/Music.h>

#include <SFML/Audio/InputSoundFile.hpp>
#include <SFML/Audio/Music.hpp>

#include <veltrane/audio/AudioDevice.h>
#include <veltrane/audio/Mp3Reader.h>
#include <veltrane/core/LogManager.h>

namespace vl {

Music::Music() : m_label("[Undefined]"), m_channel_count(0), m_sample_rate(0), m_duration(0.0f) {}

Music::~Music() {
    if (m_p_music != nullptr) {
        m_p_music->stop();
    }
}

int Music::loadMusic(std::string filename) {
    registerMp3Reader();
    // Checked before the stream opens it: the stream sizes a buffer from the header's rate and channels.
    if (!checkAudioFile(filename, "Music::loadMusic()")) {
        return -1;
    }
    sf::InputSoundFile file;
    if (!file.openFromFile(filename)) {
        return -1;
    }
    const unsigned int channels = file.getChannelCount();
    const unsigned int rate = file.getSampleRate();
    const float duration = file.getDuration().asSeconds();
    if (!checkAudioFormat(channels, rate, "Music::loadMusic()", filename)) {
        return -1;
    }
    if (isAudioAvailable()) {
        std::unique_ptr<sf::Music> p_music(new sf::Music);
        if (!p_music->openFromFile(filename)) {
            return -1;
        }
        m_p_music = std::move(p_music);
    }
    m_channel_count = channels;
    m_sample_rate = rate;
    m_duration = duration;
    return 0;
}

void Music::play(bool loop) {
    LogManager::getInstance().writeLog(5, "Music::play(): Playing music.");
    if (m_p_music != nullptr) {
        m_p_music->play();
        m_p_music->setLoop(loop);
    }
}

void Music::pause() {
    LogManager::getInstance().writeLog(5, "Music::pause(): Pausing music.");
    if (m_p_music != nullptr) {
        m_p_music->pause();
    }
}

void Music::stop() {
    LogManager::getInstance().writeLog(5, "Music::stop(): Stopping music.");
    if (m_p_music != nullptr) {
        m_p_music->stop();
    }
}

void Music::setLabel(std::string new_label) {
    m_label = std::move(new_label);
}

std::string Music::getLabel() const {
    return m_label;
}

unsigned int Music::getChannelCount() const {
    return m_channel_count;
}

unsigned int Music::getSampleRate() const {
    return m_sample_rate;
}

float Music::getDuration() const {
    return m_duration;
}

bool Music::isPlaying() const {
    return m_p_music != nullptr && m_p_music->getStatus() == sf::Music::Playing;
}

float Music::getPlayingOffset() const {
    return m_p_music != nullptr ? m_p_music->getPlayingOffset().asSeconds() : 0.0f;
}

}  // namespace vl
