// SPDX-License-Identifier: MIT
#ifndef VL_MUSIC_H
#define VL_MUSIC_H

#include <memory>
#include <string>

#include <veltrane/audio/AudioResource.h>

namespace sf {
class Music;
}

namespace vl {

/// A long piece of music, streamed from its file while it plays.
/// Without an audio device (see isAudioAvailable) opening still checks the file, but no audio-library
/// object is made, so no streaming thread runs, and playing, pausing and stopping do nothing.
class Music : public AudioResource {
public:
    Music();   ///< empty, label "[Undefined]"
    ~Music();  ///< stops the stream

    /// Opens the file (WAV, OGG, FLAC or MP3) for streaming; 0, or -1 leaving an opened piece as it was.
    [[nodiscard]] int loadMusic(std::string filename);
    void play(bool loop = true);     ///< from the start, or from where it was paused; nothing when not opened
    void pause();                    ///< keeps the position
    void stop();                     ///< back to the start
    bool isPlaying() const;          ///< false without a device
    float getPlayingOffset() const;  ///< seconds from the start; 0 without a device

private:
    std::unique_ptr<sf::Music> m_p_music;  //!< the stream; null until an open with a device
};

}  // namespace vl

#endif
