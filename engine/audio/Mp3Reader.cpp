// SPDX-License-Identifier: MIT
#include "Mp3Reader.h"

#include <SFML/Audio/SoundFileFactory.hpp>
#include <SFML/System/InputStream.hpp>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <mpg123.h>
#include <mutex>

namespace vl {

namespace {

// Bytes inspected by check(): enough for two of the longest MPEG audio frames (2881 bytes).
const std::size_t CHECK_BYTES = 6144;
// After an ID3v2 tag, how far a frame header is looked for (some writers pad outside the tag).
const std::size_t CHECK_SEARCH = 2048;
// Successive empty reads tolerated before a stream is treated as stuck.
const int MAX_IDLE_READS = 8;

// Kilobits per second by [row][bitrate index]; rows: MPEG-1 layers I, II, III, MPEG-2/2.5 layer I,
// MPEG-2/2.5 layers II and III.
const int BITRATES[5][15] = {
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
};

// Hertz by [version][sample rate index]; versions in header order: 2.5, reserved, 2, 1.
const int SAMPLE_RATES[4][3] = {
    {11025, 12000, 8000},
    {0, 0, 0},
    {22050, 24000, 16000},
    {44100, 48000, 32000},
};

struct FrameHeader {
    int version;      // 3 MPEG-1, 2 MPEG-2, 0 MPEG-2.5
    int layer;        // 1, 2 or 3
    int sample_rate;  // Hz
    int length;       // bytes including the header; 0 for free-format frames
};

// Decodes the 4 bytes at p as an MPEG audio frame header; false when they cannot be one.
bool parseFrameHeader(const unsigned char* p, FrameHeader& header) {
    if (p[0] != 0xFF || (p[1] & 0xE0) != 0xE0) {
        return false;
    }
    const int version = (p[1] >> 3) & 3;
    const int layer_bits = (p[1] >> 1) & 3;
    const int bitrate_index = (p[2] >> 4) & 15;
    const int rate_index = (p[2] >> 2) & 3;
    const int padding = (p[2] >> 1) & 1;
    const int emphasis = p[3] & 3;
    if (version == 1 || layer_bits == 0 || bitrate_index == 15 || rate_index == 3 || emphasis == 2) {
        return false;
    }
    header.version = version;
    header.layer = 4 - layer_bits;
    header.sample_rate = SAMPLE_RATES[version][rate_index];
    int row = 0;
    if (version == 3) {
        row = header.layer - 1;
    } else {
        row = header.layer == 1 ? 3 : 4;
    }
    const long bitrate = BITRATES[row][bitrate_index] * 1000L;
    if (bitrate == 0) {
        header.length = 0;
    } else if (header.layer == 1) {
        header.length = static_cast<int>((12 * bitrate / header.sample_rate + padding) * 4);
    } else if (header.layer == 3 && version != 3) {
        header.length = static_cast<int>(72 * bitrate / header.sample_rate + padding);
    } else {
        header.length = static_cast<int>(144 * bitrate / header.sample_rate + padding);
    }
    return true;
}

// A layer III frame header at pos whose successor, when it lies inside the buffer, matches it.
bool isFrameAt(const unsigned char* p_data, std::size_t size, std::size_t pos) {
    FrameHeader first{};
    if (pos + 4 > size || !parseFrameHeader(p_data + pos, first) || first.layer != 3) {
        return false;
    }
    if (first.length == 0) {
        return true;  // free format: the next header's place is unknown
    }
    const std::size_t next = pos + static_cast<std::size_t>(first.length);
    if (next + 4 > size) {
        return true;  // a lone last frame, or the buffer ends first
    }
    FrameHeader second{};
    return parseFrameHeader(p_data + next, second) && second.version == first.version &&
           second.layer == first.layer && second.sample_rate == first.sample_rate;
}

// Length of the ID3v2 tag starting at p (10 bytes available), or 0 when there is none.
std::size_t getId3v2Length(const unsigned char* p) {
    if (p[0] != 'I' || p[1] != 'D' || p[2] != '3' || p[3] == 0xFF || p[4] == 0xFF) {
        return 0;
    }
    std::size_t length = 0;
    for (int i = 6; i < 10; ++i) {
        if (p[i] & 0x80) {
            return 0;  // sizes are "synchsafe": 7 bits per byte
        }
        length = (length << 7) | p[i];
    }
    const std::size_t footer = (p[5] & 0x10) ? 10 : 0;
    return 10 + length + footer;
}

// Reads as many bytes as the stream gives, up to size; returns the count (0 on error).
std::size_t readUpTo(sf::InputStream& stream, unsigned char* p_data, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const sf::Int64 got = stream.read(p_data + done, static_cast<sf::Int64>(size - done));
        if (got <= 0) {
            break;
        }
        done += static_cast<std::size_t>(got);
    }
    return done;
}

mpg123_ssize_t readCallback(void* p_io, void* p_buffer, std::size_t count) {
    sf::InputStream* p_stream = static_cast<sf::InputStream*>(p_io);
    const sf::Int64 got = p_stream->read(p_buffer, static_cast<sf::Int64>(count));
    return got < 0 ? -1 : static_cast<mpg123_ssize_t>(got);
}

off_t seekCallback(void* p_io, off_t offset, int whence) {
    sf::InputStream* p_stream = static_cast<sf::InputStream*>(p_io);
    sf::Int64 base = 0;
    if (whence == SEEK_CUR) {
        base = p_stream->tell();
    } else if (whence == SEEK_END) {
        base = p_stream->getSize();
    } else if (whence != SEEK_SET) {
        return -1;
    }
    if (base < 0) {
        return -1;
    }
    const sf::Int64 target = base + static_cast<sf::Int64>(offset);
    if (target < 0) {
        return -1;
    }
    return static_cast<off_t>(p_stream->seek(target));
}

bool initLibrary() {
    static std::once_flag s_once;
    static bool s_is_ready = false;
    std::call_once(s_once, [] { s_is_ready = mpg123_init() == MPG123_OK; });
    return s_is_ready;
}

}  // namespace

bool Mp3Reader::check(sf::InputStream& stream) {
    unsigned char data[CHECK_BYTES];
    if (stream.seek(0) != 0) {
        return false;
    }
    std::size_t size = readUpTo(stream, data, 10);
    const std::size_t tag_length = size == 10 ? getId3v2Length(data) : 0;
    if (tag_length == 0) {
        size += readUpTo(stream, data + size, CHECK_BYTES - size);
        return isFrameAt(data, size, 0);
    }
    if (stream.seek(static_cast<sf::Int64>(tag_length)) != static_cast<sf::Int64>(tag_length)) {
        return false;
    }
    size = readUpTo(stream, data, CHECK_BYTES);
    for (std::size_t pos = 0; pos < CHECK_SEARCH && pos + 4 <= size; ++pos) {
        if (isFrameAt(data, size, pos)) {
            return true;
        }
    }
    return false;
}

Mp3Reader::Mp3Reader()
    : m_p_handle(nullptr), m_channel_count(0), m_rate(0), m_frame_count(0), m_position(0), m_is_ended(true) {}

Mp3Reader::~Mp3Reader() {
    close();
}

void Mp3Reader::close() {
    if (m_p_handle != nullptr) {
        mpg123_close(m_p_handle);
        mpg123_delete(m_p_handle);
        m_p_handle = nullptr;
    }
    m_channel_count = 0;
    m_rate = 0;
    m_frame_count = 0;
    m_position = 0;
    m_is_ended = true;
}

bool Mp3Reader::open(sf::InputStream& stream, Info& info) {
    close();
    if (!initLibrary() || stream.seek(0) != 0) {
        return false;
    }
    int error = MPG123_OK;
    m_p_handle = mpg123_new(nullptr, &error);
    if (m_p_handle == nullptr) {
        return false;
    }

    // Quiet: the library must not print; failures are reported by our callers. A stream that
    // changes its kind of frame midway is damaged, not a second file: decoding stops there.
    const long flags = MPG123_QUIET | MPG123_GAPLESS | MPG123_NO_FRANKENSTEIN;
    const long* p_rates = nullptr;
    std::size_t rate_count = 0;
    mpg123_rates(&p_rates, &rate_count);
    bool is_set_up = mpg123_param(m_p_handle, MPG123_ADD_FLAGS, flags, 0.0) == MPG123_OK &&
                     mpg123_format_none(m_p_handle) == MPG123_OK;
    for (std::size_t i = 0; is_set_up && i < rate_count; ++i) {
        is_set_up = mpg123_format(m_p_handle, p_rates[i], MPG123_MONO | MPG123_STEREO,
                                  MPG123_ENC_SIGNED_16) == MPG123_OK;
    }
    if (!is_set_up ||
        mpg123_replace_reader_handle(m_p_handle, readCallback, seekCallback, nullptr) != MPG123_OK ||
        mpg123_open_handle(m_p_handle, &stream) != MPG123_OK) {
        close();
        return false;
    }

    // The first frame fixes the format; later frames with another one end the decoding.
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    if (mpg123_getformat(m_p_handle, &rate, &channels, &encoding) != MPG123_OK || rate <= 0 ||
        (channels != 1 && channels != 2) || encoding != MPG123_ENC_SIGNED_16 ||
        mpg123_format_none(m_p_handle) != MPG123_OK ||
        mpg123_format(m_p_handle, rate, channels, encoding) != MPG123_OK) {
        close();
        return false;
    }

    // Layer III only: the files are MP3s, and the older layers' decoders print on bad data.
    mpg123_frameinfo frame_info{};
    if (mpg123_info(m_p_handle, &frame_info) != MPG123_OK || frame_info.layer != 3) {
        close();
        return false;
    }

    // An encoder's Info tag (known by its delay field) declares the frame count; a file holding
    // fewer frames was cut short. Without the tag the count is only estimated from the file size.
    long encoder_delay = -1;
    const bool has_info_tag =
        mpg123_getstate(m_p_handle, MPG123_ENC_DELAY, &encoder_delay, nullptr) == MPG123_OK &&
        encoder_delay >= 0;
    const off_t declared_frames = mpg123_framelength(m_p_handle);
    if (mpg123_scan(m_p_handle) != MPG123_OK) {
        close();
        return false;
    }
    const off_t length = mpg123_length(m_p_handle);
    const off_t found_frames = mpg123_framelength(m_p_handle);
    if (length <= 0 || found_frames <= 0 || (has_info_tag && found_frames < declared_frames) ||
        mpg123_seek(m_p_handle, 0, SEEK_SET) != 0) {
        close();
        return false;
    }

    m_channel_count = static_cast<unsigned int>(channels);
    m_rate = rate;
    m_frame_count = static_cast<sf::Uint64>(length);
    m_position = 0;
    m_is_ended = false;
    info.sampleCount = m_frame_count * m_channel_count;
    info.channelCount = m_channel_count;
    info.sampleRate = static_cast<unsigned int>(rate);
    return true;
}

void Mp3Reader::seek(sf::Uint64 sample_offset) {
    if (m_p_handle == nullptr) {
        return;
    }
    const sf::Uint64 frame = std::min(sample_offset / m_channel_count, m_frame_count);
    const off_t reached = mpg123_seek(m_p_handle, static_cast<off_t>(frame), SEEK_SET);
    m_is_ended = reached < 0;
    m_position = m_is_ended ? m_frame_count : std::min(static_cast<sf::Uint64>(reached), m_frame_count);
}

sf::Uint64 Mp3Reader::read(sf::Int16* p_samples, sf::Uint64 max_count) {
    if (m_p_handle == nullptr || m_is_ended || p_samples == nullptr) {
        return 0;
    }
    // Whole sample frames only, so that channels stay interleaved across calls, and never past
    // the length given at open, which the audio library sized its buffers for.
    max_count = std::min(max_count / m_channel_count, m_frame_count - m_position) * m_channel_count;
    unsigned char* p_out = reinterpret_cast<unsigned char*>(p_samples);
    sf::Uint64 done = 0;
    int idle_reads = 0;
    while (done < max_count) {
        const std::size_t wanted = static_cast<std::size_t>(max_count - done) * sizeof(sf::Int16);
        std::size_t got = 0;
        const int result = mpg123_read(m_p_handle, p_out + done * sizeof(sf::Int16), wanted, &got);
        done += got / sizeof(sf::Int16);
        if (result == MPG123_NEW_FORMAT) {
            long rate = 0;
            int channels = 0;
            int encoding = 0;
            if (mpg123_getformat(m_p_handle, &rate, &channels, &encoding) != MPG123_OK || rate != m_rate ||
                static_cast<unsigned int>(channels) != m_channel_count || encoding != MPG123_ENC_SIGNED_16) {
                m_is_ended = true;
                break;
            }
        } else if (result != MPG123_OK) {
            m_is_ended = true;  // the end, or damage the decoder cannot get past
            break;
        }
        if (got == 0 && ++idle_reads > MAX_IDLE_READS) {
            m_is_ended = true;
            break;
        }
    }
    m_position += done / m_channel_count;
    return done;
}

void registerMp3Reader() {
    static std::once_flag s_once;
    std::call_once(s_once, [] { sf::SoundFileFactory::registerReader<Mp3Reader>(); });
}

}  // namespace vl
