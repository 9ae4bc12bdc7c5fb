// SPDX-License-Identifier: MIT
#ifndef VL_SOUND_H
#define VL_SOUND_H

#include <memory>
#include <string>

#include <veltrane/audio/AudioResource.h>

namespace sf {
class Sound;
class SoundBuffer;
}  // namespace sf

namespace vl {

/// A short sound effect, decoded fully into memory and played by label.
/// Without an audio device (see isAudioAvailable) loading still decodes and checks the whole file,
/// but no audio-library object is made and playing does nothing.
class Sound : public AudioResource {
public:
    Sound();   ///< empty, label "[Undefined]"
    ~Sound();  ///< frees the voice before the samples it plays from

    /// Decodes the whole file (WAV, OGG, FLAC or MP3); 0, or -1 leaving a loaded sound as it was.
    [[nodiscard]] int loadSound(std::string filename);
    void play(bool loop = false);  ///< restarts if already playing; nothing without a loaded sound or device
    void stop();                   ///< nothing without a loaded sound or device
    bool isPlaying() const;        ///< false without a device

private:
    std::unique_ptr<sf::Sound> m_p_sound;               //!< the voice; null until a load with a device
    std::unique_ptr<sf::SoundBuffer> m_p_sound_buffer;  //!< samples the voice plays; null likewise
};

}  // namespace vl

#endif
