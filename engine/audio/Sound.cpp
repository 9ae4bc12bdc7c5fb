// SPDX-License-Identifier: MIT
#include <veltrane/audio/Sound.h>

#include <SFML/Audio/InputSoundFile.hpp>
#include <SFML/Audio/Sound.hpp>
#include <SFML/Audio/SoundBuffer.hpp>
#include <algorithm>
#include <vector>

#include <veltrane/audio/AudioDevice.h>
#include <veltrane/core/LogManager.h>

namespace vl {

namespace {

const unsigned long long READ_CHUNK = 16384;  // interleaved samples per read

}  // namespace

Sound::Sound() = default;

Sound::~Sound() {
    m_p_sound.reset();
    m_p_sound_buffer.reset();
}

int Sound::loadSound(std::string filename) {
    const LogManager& log = LogManager::getInstance();
    sf::InputSoundFile file;
    if (!openChecked(file, filename, "Sound::loadSound()")) {
        return -1;
    }
    const unsigned int channels = file.getChannelCount();
    const unsigned int rate = file.getSampleRate();
    const unsigned long long claimed = file.getSampleCount();
    if (claimed == 0 || claimed > MAX_SOUND_SAMPLES) {
        log.writeLog("Sound::loadSound(): Error! '%s' claims %llu samples (1 to %llu can be loaded).",
                     filename.c_str(), claimed, MAX_SOUND_SAMPLES);
        return -1;
    }
    // Grown as data really arrives, so a header claiming more than the file holds costs nothing.
    std::vector<sf::Int16> samples;
    samples.reserve(static_cast<size_t>(std::min(claimed, READ_CHUNK)));
    while (samples.size() < claimed) {
        const size_t done = samples.size();
        const size_t want = static_cast<size_t>(std::min<unsigned long long>(READ_CHUNK, claimed - done));
        samples.resize(done + want);
        const sf::Uint64 got = file.read(samples.data() + done, want);
        samples.resize(done + static_cast<size_t>(got));
        if (got == 0) {
            break;
        }
    }
    if (samples.size() != claimed) {
        log.writeLog("Sound::loadSound(): Error! '%s' ends after %llu of its %llu samples.", filename.c_str(),
                     static_cast<unsigned long long>(samples.size()), claimed);
        return -1;
    }
    if (isAudioAvailable()) {
        std::unique_ptr<sf::SoundBuffer> p_buffer(new sf::SoundBuffer);
        if (!p_buffer->loadFromSamples(samples.data(), claimed, channels, rate)) {
            return -1;
        }
        if (m_p_sound == nullptr) {
            m_p_sound.reset(new sf::Sound(*p_buffer));
        } else {
            m_p_sound->setBuffer(*p_buffer);
        }
        // The voice has left the old samples, so they can go.
        m_p_sound_buffer = std::move(p_buffer);
    }
    setFormat(channels, rate, static_cast<float>(static_cast<double>(claimed) / channels / rate));
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
