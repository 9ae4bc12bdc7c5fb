// SPDX-License-Identifier: MIT
#ifndef VL_AUDIO_RESOURCE_H
#define VL_AUDIO_RESOURCE_H

#include <string>

namespace sf {
class InputSoundFile;
}

namespace vl {

/// What a sound and a music piece share: a label, the format of the file last loaded, and the
/// guarded calls on a voice that exists only once something was loaded with a device.
class AudioResource {
public:
    ///@{
    /// The label the resource manager finds it by.
    void setLabel(std::string new_label);
    std::string getLabel() const;
    ///@}

    /// What the last successful load found; 0 before one.
    unsigned int getChannelCount() const;
    unsigned int getSampleRate() const;  ///< samples per second per channel
    float getDuration() const;           ///< seconds

    AudioResource(const AudioResource&) = delete;
    AudioResource& operator=(const AudioResource&) = delete;

protected:
    AudioResource();  ///< label "[Undefined]", no format
    ~AudioResource();

    /// Opens filename for reading once it is a regular file with a playable channel count and rate;
    /// writes, always, why not, naming writer (e.g. "Sound::loadSound()").
    [[nodiscard]] static bool openChecked(sf::InputSoundFile& file, const std::string& filename,
                                          const char* writer);
    /// Records the format read from the file: channel count, samples per second, seconds.
    void setFormat(unsigned int channels, unsigned int rate, float duration);

    /// Each does nothing without a voice: nothing loaded yet, or no audio device.
    template <class Voice>
    static void startVoice(Voice* p_voice, bool loop) {
        if (p_voice != nullptr) {
            p_voice->play();
            p_voice->setLoop(loop);
        }
    }
    template <class Voice>
    /// Pauses the voice, if there is one.
    static void pauseVoice(Voice* p_voice) {
        if (p_voice != nullptr) {
            p_voice->pause();
        }
    }
    template <class Voice>
    /// Stops the voice, if there is one.
    static void stopVoice(Voice* p_voice) {
        if (p_voice != nullptr) {
            p_voice->stop();
        }
    }
    template <class Voice>
    /// Whether there is a voice and it is playing.
    static bool isVoicePlaying(const Voice* p_voice) {
        return p_voice != nullptr && p_voice->getStatus() == Voice::Playing;
    }

private:
    std::string m_label;
    unsigned int m_channel_count;
    unsigned int m_sample_rate;
    float m_duration;
};

}  // namespace vl

#endif
