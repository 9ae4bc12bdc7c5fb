// SPDX-License-Identifier: MIT
// Plays through the audio layer's wave-file device, which writes everything mixed, in real time, to a
// 32-bit float stereo file that the tests then examine.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "TestSupport.h"
#include <veltrane/audio/AudioDevice.h>
#include <veltrane/audio/Music.h>
#include <veltrane/audio/Sound.h>
#include <veltrane/core/LogManager.h>

namespace {

std::string audio(const std::string& name) {
    return vltest::dataPath("audio/" + name);
}

uint32_t le32(const std::string& bytes, size_t at) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; i--) {
        value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<size_t>(i)]);
    }
    return value;
}

std::string le(uint32_t value, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; i++) {
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
    return out;
}

// The left channel of a float stereo wave file, or empty when the file is not one.
std::vector<float> readLeftChannel(const std::string& path) {
    const std::string bytes = vltest::readFile(path);
    std::vector<float> left;
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0) {
        return left;
    }
    unsigned int channels = 0;
    unsigned int bits = 0;
    size_t at = 12;
    while (at + 8 <= bytes.size()) {
        const std::string id = bytes.substr(at, 4);
        const uint32_t size = le32(bytes, at + 4);
        const size_t body = at + 8;
        if (id == "fmt " && body + 16 <= bytes.size()) {
            channels = static_cast<unsigned char>(bytes[body + 2]);
            bits = static_cast<unsigned char>(bytes[body + 14]);
        } else if (id == "data") {
            if (channels != 2 || bits != 32) {
                return left;
            }
            // The header's size is only right once the device has closed; trust the file.
            const size_t frames = (bytes.size() - body) / 8;
            left.resize(frames);
            for (size_t i = 0; i < frames; i++) {
                std::memcpy(&left[i], bytes.data() + body + i * 8, sizeof(float));
            }
            return left;
        }
        at = body + size + (size & 1);
    }
    return left;
}

// Waits, within a generous bound, for a condition the audio thread brings about in real time.
bool waitFor(const std::function<bool()>& condition, int timeout_ms = 10000) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

// The audio layer reads its configuration once per process, so every test shares one output file; each
// test's device truncates it when it opens.
const std::string& wavePath() {
    static const std::string path = [] {
        const std::string wave_path = vltest::tempPath("out.wav");
        const std::string conf_path = vltest::tempPath("alsoft.conf");
        vltest::writeFile(conf_path, "[general]\ndrivers = wave\n[wave]\nfile = " + wave_path + "\n");
        setenv("ALSOFT_CONF", conf_path.c_str(), 1);
        unsetenv("ALSOFT_DRIVERS");
        return wave_path;
    }();
    return path;
}

class SoundAudioTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_wave_path = wavePath();
        m_log_path = vltest::useTempLog();
        ASSERT_EQ(vl::LogManager::getInstance().startUp(), 0);
        vl::LogManager::getInstance().setFlush(true);
    }
    void TearDown() override { vl::LogManager::getInstance().shutDown(); }

    std::string m_wave_path;
    std::string m_log_path;
};

TEST_F(SoundAudioTest, PlayingASoundWritesItsToneToTheDevice) {
    ASSERT_TRUE(vl::isAudioAvailable());
    {
        vl::Sound sound;
        ASSERT_EQ(sound.loadSound(audio("tone440.mp3")), 0);
        sound.play(false);
        ASSERT_TRUE(waitFor([&] { return !sound.isPlaying(); }));
    }  // the last audio object is gone, so the device closes and completes the file
    const std::vector<float> left = readLeftChannel(m_wave_path);
    ASSERT_GT(left.size(), 44100u / 2);

    // The loud stretch: from the first to the last sample above a quarter of the tone's amplitude.
    size_t first = left.size();
    size_t last = 0;
    for (size_t i = 0; i < left.size(); i++) {
        if (std::fabs(left[i]) > 0.08f) {
            first = std::min(first, i);
            last = i;
        }
    }
    ASSERT_LT(first, last);
    const double seconds = static_cast<double>(last - first) / 44100.0;
    EXPECT_NEAR(seconds, 0.5, 0.02);

    double energy = 0;
    int crossings = 0;
    for (size_t i = first + 1; i <= last; i++) {
        energy += static_cast<double>(left[i]) * left[i];
        if ((left[i - 1] < 0) != (left[i] < 0)) {
            crossings++;
        }
    }
    const double rms = std::sqrt(energy / static_cast<double>(last - first));
    EXPECT_GT(rms, 0.1);
    EXPECT_NEAR(crossings / 2.0 / seconds, 440.0, 5.0);
}

TEST_F(SoundAudioTest, PausedMusicResumesWhereItStopped) {
    // Three seconds of a slowly rising level: the output's level tells where in the piece it is.
    const uint32_t rate = 44100;
    const uint32_t count = rate * 3;
    std::string samples;
    for (uint32_t i = 0; i < count; i++) {
        samples += le(static_cast<uint32_t>(2000 + static_cast<uint64_t>(i) * 28000 / count), 2);
    }
    const std::string ramp = "RIFF" + le(36 + count * 2, 4) + "WAVEfmt " + le(16, 4) + le(1, 2) + le(1, 2) +
                             le(rate, 4) + le(rate * 2, 4) + le(2, 2) + le(16, 2) + "data" +
                             le(count * 2, 4) + samples;
    const std::string ramp_path = vltest::tempPath("ramp.wav");
    ASSERT_TRUE(vltest::writeFile(ramp_path, ramp));

    float paused_at = 0;
    {
        vl::Music music;
        ASSERT_EQ(music.loadMusic(ramp_path), 0);
        EXPECT_NEAR(music.getDuration(), 3.0, 0.001);
        music.play(false);
        ASSERT_TRUE(waitFor([&] { return music.getPlayingOffset() > 0.8f; }));
        music.pause();
        paused_at = music.getPlayingOffset();
        // A stretch of silence in the output, long enough to find.
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        EXPECT_EQ(music.getPlayingOffset(), paused_at);
        music.play(false);
        ASSERT_TRUE(waitFor([&] { return music.getPlayingOffset() > paused_at + 0.5f; }));
        music.stop();
    }
    const std::vector<float> left = readLeftChannel(m_wave_path);
    ASSERT_GT(left.size(), static_cast<size_t>(rate));

    // Sound, then at least 0.3 s of silence, then sound again.
    const float quiet = 0.005f;
    size_t start = 0;
    while (start < left.size() && std::fabs(left[start]) < quiet) {
        start++;
    }
    size_t gap_begin = start;
    size_t gap_end = start;
    for (size_t i = start; i < left.size(); i++) {
        if (std::fabs(left[i]) >= quiet) {
            if (i - gap_end > rate * 3 / 10) {
                gap_begin = gap_end;
                gap_end = i;
                break;
            }
            gap_end = i + 1;
        }
    }
    ASSERT_LT(gap_begin + rate * 3 / 10, gap_end) << "no pause found in the output";
    ASSERT_LT(gap_end + 2000, left.size());

    // Levels just inside the sound on each side of the pause, away from any fade.
    const float first_level = std::fabs(left[start + 500]);
    const float before = std::fabs(left[gap_begin - 500]);
    const float after = std::fabs(left[gap_end + 500]);
    EXPECT_NEAR(after / before, 1.0, 0.03) << "before " << before << " after " << after;
    // Starting again from the beginning would bring back the first level.
    EXPECT_GT(after, first_level * 2.5f) << "first " << first_level << " after " << after;
    EXPECT_GT(paused_at, 0.8f);
}

}  // namespace
