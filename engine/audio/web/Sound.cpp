// SPDX-License-Identifier: MIT
// A sound in the browser: checked here, decoded and played by the page.
#include <veltrane/audio/Sound.h>

#include "PageVoice.h"
#include <veltrane/audio/AudioDevice.h>
#include <veltrane/core/LogManager.h>

namespace vl {

Sound::Sound() = default;

Sound::~Sound() {
    m_p_sound.reset();
    m_p_sound_buffer.reset();
}

int Sound::loadSound(std::string filename) {
    if (!checkAudioFile(filename, "Sound::loadSound()")) {
        return -1;
    }
    if (audioContainer(filename).empty()) {
        LogManager::getInstance().writeLog(
            "Sound::loadSound(): Error! '%s' is not an MP3, WAV, OGG or FLAC file.", filename.c_str());
        return -1;
    }
    if (isAudioAvailable()) {
        m_p_sound = std::make_unique<sf::Sound>(filename);
    }
    return 0;
}

void Sound::play(bool loop) {
    LogManager::getInstance().writeLog(5, "Sound::play(): Playing sound.");
    startVoice(m_p_sound.get(), loop);
}

void Sound::stop() {
    stopVoice(m_p_sound.get());
}

bool Sound::isPlaying() const {
    return isVoicePlaying(m_p_sound.get());
}

}  // namespace vl
