// SPDX-License-Identifier: MIT
#ifndef VL_MP3_READER_H
#define VL_MP3_READER_H

#include <SFML/Audio/SoundFileReader.hpp>
#include <SFML/Config.hpp>

struct mpg123_handle_struct;

namespace sf {
class InputStream;
}

namespace vl {

/// Lets the audio library's sound buffers and music streams read MPEG audio (MP3) files.
/// Decodes MPEG audio layer III (MP3) from an sf::InputStream to 16-bit signed interleaved samples.
/// Lengths are exact (every frame is scanned at open; encoder delay and padding from an
/// Info tag are removed). Malformed data makes open fail; damage found later ends reading early.
class Mp3Reader : public sf::SoundFileReader {
public:
    /// True when the stream starts with an MP3 frame header, or an ID3v2 tag and then one.
    /// Reads from the start of the stream; leaves the position anywhere.
    static bool check(sf::InputStream& stream);

    Mp3Reader();
    ~Mp3Reader() override;

    /// Opens the stream (not owned; must outlive the reader) and fills info with the exact
    /// interleaved sample count, channel count (1 or 2) and sample rate. False on any failure.
    bool open(sf::InputStream& stream, Info& info) override;
    /// Moves to an interleaved sample offset (divided by the channel count into frames).
    void seek(sf::Uint64 sample_offset) override;
    /// Decodes up to max_count interleaved samples; returns how many were written (0 at the end).
    sf::Uint64 read(sf::Int16* p_samples, sf::Uint64 max_count) override;

private:
    Mp3Reader(const Mp3Reader&) = delete;
    Mp3Reader& operator=(const Mp3Reader&) = delete;

    void close();

    mpg123_handle_struct* m_p_handle;  //!< decoder, null while closed
    unsigned int m_channel_count;      //!< channels of the opened stream
    long m_rate;                       //!< sample rate of the opened stream, in Hz
    sf::Uint64 m_frame_count;          //!< exact length, in sample frames
    sf::Uint64 m_position;             //!< next sample frame read() returns
    bool m_is_ended;                   //!< the decoder reported the end or an error
};

/// Registers Mp3Reader with the audio library's sound file factory, so that loading sound
/// buffers and opening music accept MP3 files. Only the first call does anything; thread-safe.
void registerMp3Reader();

}  // namespace vl

#endif
