// SPDX-License-Identifier: MIT
#ifndef VL_PAGE_VOICE_H
#define VL_PAGE_VOICE_H

#include <string>

namespace sf {

/// In the browser the audio library's voices stand for the page's own (audio-library.js), which decodes
/// the files itself: the sound and music classes keep their shape, and the page does the playing.
class PageVoice {
public:
    enum Status {
        Stopped,
        Paused,
        Playing
    };

    /// Hands the file to the page to decode; music is played from its position when resumed.
    PageVoice(const std::string& filename, bool music);
    ~PageVoice();
    PageVoice(const PageVoice&) = delete;
    PageVoice& operator=(const PageVoice&) = delete;

    void play();  ///< from the start, or where a paused piece was; restarts a playing sound
    void pause();
    void stop();
    void setLoop(bool loop);
    Status getStatus() const;
    float getOffset() const;  ///< seconds from the start

private:
    int m_id;
};

class Sound : public PageVoice {
public:
    explicit Sound(const std::string& filename) : PageVoice(filename, false) {}
};

class SoundBuffer {};

class Music : public PageVoice {
public:
    explicit Music(const std::string& filename) : PageVoice(filename, true) {}
};

}  // namespace sf

namespace vl {

/// What the file's first bytes say it is: "MP3", "WAV", "OGG", "FLAC", or "" for none of those.
std::string audioContainer(const std::string& filename);

}  // namespace vl

#endif
