// SPDX-License-Identifier: MIT
// A short sound effect, decoded fully into memory and played by label.
#ifndef VL_SOUND_H
#define VL_SOUND_H

#include <memory>
#include <string>

namespace sf {
class Sound;
class SoundBuffer;
}  // namespace sf

namespace vl {

// Without an audio device (see isAudioAvailable) loading still decodes and checks the whole file,
// but no audio-library object is made and playing does nothing.
class Sound {
public:
    Sound();   // empty, label "[Undefined]"
    ~Sound();  // frees the voice before the samples it plays from

    // Decodes the whole file (WAV, OGG, FLAC or MP3); 0, or -1 leaving a loaded sound as it was.
    int loadSound(std::string filename);
    void play(bool loop = false);  // restarts if already playing; nothing without a loaded sound or device
    void stop();                   // nothing without a loaded sound or device
    void setLabel(std::string new_label);
    std::string getLabel() const;

    // What the last successful load decoded; 0 before one.
    unsigned int getChannelCount() const;
    unsigned int getSampleRate() const;  // samples per second per channel
    float getDuration() const;           // seconds
    bool isPlaying() const;              // false without a device

private:
    Sound(const Sound&) = delete;
    Sound& operator=(const Sound&) = delete;

    std::unique_ptr<sf::Sound> m_p_sound;               //!< the voice; null until a load with a device
    std::unique_ptr<sf::SoundBuffer> m_p_sound_buffer;  //!< samples the voice plays; null likewise
    std::string m_label;
    unsigned int m_channel_count;
    unsigned int m_sample_rate;
    unsigned long long m_sample_count;  //!< interleaved samples
};

}  // namespace vl

#endif
