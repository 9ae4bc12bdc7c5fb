// SPDX-License-Identifier: MIT
// MP3 decoding through the audio library's own loaders once Mp3Reader is registered.
#include <veltrane/audio/Mp3Reader.h>

#include <gtest/gtest.h>

#include <SFML/Audio/InputSoundFile.hpp>
#include <SFML/Audio/Music.hpp>
#include <SFML/Audio/SoundBuffer.hpp>
#include <SFML/System/Err.hpp>
#include <SFML/System/FileInputStream.hpp>
#include <SFML/System/Sleep.hpp>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "TestSupport.h"

namespace {

// Redirects the audio library's error stream into a string for the lifetime of the object.
class ErrCapture {
public:
    ErrCapture() : m_p_old(sf::err().rdbuf(m_text.rdbuf())) {}
    ~ErrCapture() { sf::err().rdbuf(m_p_old); }
    std::string getText() const { return m_text.str(); }

private:
    std::ostringstream m_text;
    std::streambuf* m_p_old;
};

// Tests that go through the audio library's loaders: the reader registered, a silent device.
class Mp3Loading : public ::testing::Test {
protected:
    void SetUp() override {
        // A silent device with a real clock: must be chosen before the first audio object exists.
        setenv("ALSOFT_DRIVERS", "null", 1);
        vl::registerMp3Reader();
    }
};

// The game's own sounds, as shipped in sounds/.
class GameSounds : public Mp3Loading {};

std::string audioPath(const std::string& name) {
    return vltest::dataPath("audio/" + name);
}

// Sign changes of one channel of interleaved samples.
int countZeroCrossings(const sf::Int16* p_samples, std::size_t count, unsigned int channels,
                       unsigned int channel) {
    int crossings = 0;
    bool was_positive = p_samples[channel] >= 0;
    for (std::size_t i = channel + channels; i < count; i += channels) {
        const bool is_positive = p_samples[i] >= 0;
        if (is_positive != was_positive) {
            ++crossings;
        }
        was_positive = is_positive;
    }
    return crossings;
}

double getRms(const sf::Int16* p_samples, std::size_t count, unsigned int channels, unsigned int channel) {
    double sum = 0.0;
    std::size_t n = 0;
    for (std::size_t i = channel; i < count; i += channels) {
        sum += static_cast<double>(p_samples[i]) * p_samples[i];
        ++n;
    }
    return n == 0 ? 0.0 : std::sqrt(sum / static_cast<double>(n));
}

// Frequency of a pure tone from its zero crossings: two per period.
double estimateFrequency(const sf::Int16* p_samples, std::size_t count, unsigned int channels,
                         unsigned int channel, unsigned int rate) {
    const double seconds = static_cast<double>(count / channels) / rate;
    return countZeroCrossings(p_samples, count, channels, channel) / (2.0 * seconds);
}

TEST(Mp3Reader, CheckTellsMp3FromOtherFormatsAndJunk) {
    for (const char* p_name : {"tone440.wav", "tone440.ogg", "text.wav", "garbage.mp3", "empty.mp3"}) {
        sf::FileInputStream stream;
        ASSERT_TRUE(stream.open(audioPath(p_name))) << p_name;
        EXPECT_FALSE(vl::Mp3Reader::check(stream)) << p_name;
    }
    for (const char* p_name : {"tone440.mp3", "stereo.mp3"}) {  // with and without an ID3 tag
        sf::FileInputStream stream;
        ASSERT_TRUE(stream.open(audioPath(p_name)));
        EXPECT_TRUE(vl::Mp3Reader::check(stream)) << p_name;
    }
}

// The Info tag's delay and padding make the length exact: gapless 0.5 s, a tone in each channel.
TEST_F(Mp3Loading, SoundBufferLoadsTonesWithExactLength) {
    const struct {
        const char* name;
        unsigned int channels;
        double frequencies[2];
    } cases[] = {{"tone440.mp3", 1, {440, 0}}, {"stereo.mp3", 2, {440, 660}}};
    for (const auto& c : cases) {
        sf::SoundBuffer buffer;
        ASSERT_TRUE(buffer.loadFromFile(audioPath(c.name)));
        EXPECT_EQ(buffer.getSampleRate(), 44100u);
        EXPECT_EQ(buffer.getChannelCount(), c.channels);
        const std::size_t count = static_cast<std::size_t>(buffer.getSampleCount());
        EXPECT_EQ(count, 22050u * c.channels) << c.name;
        for (unsigned int channel = 0; channel < c.channels; channel++) {
            // Generated at half of full scale: a sine's RMS is its peak over the square root of two.
            EXPECT_NEAR(getRms(buffer.getSamples(), count, c.channels, channel), 0.5 * 32767 / std::sqrt(2.0),
                        1500.0);
            EXPECT_NEAR(estimateFrequency(buffer.getSamples(), count, c.channels, channel, 44100),
                        c.frequencies[channel], 10.0);
        }
    }
}

TEST_F(Mp3Loading, DecodedToneLinesUpWithTheWaveOriginal) {
    sf::SoundBuffer mp3;
    sf::SoundBuffer wav;
    ASSERT_TRUE(mp3.loadFromFile(audioPath("tone440.mp3")));
    ASSERT_TRUE(wav.loadFromFile(audioPath("tone440.wav")));
    ASSERT_EQ(mp3.getSampleCount(), wav.getSampleCount());
    const sf::Int16* p_mp3 = mp3.getSamples();
    const sf::Int16* p_wav = wav.getSamples();
    const std::size_t count = static_cast<std::size_t>(wav.getSampleCount());
    // Relative RMS difference with the decoded samples shifted by lag.
    auto getError = [&](int lag) {
        double error = 0.0;
        double power = 0.0;
        for (std::size_t i = 8; i + 8 < count; ++i) {
            const double d =
                static_cast<double>(p_mp3[i]) - p_wav[static_cast<std::size_t>(static_cast<long>(i) + lag)];
            error += d * d;
            power += static_cast<double>(p_wav[i]) * p_wav[i];
        }
        return std::sqrt(error / power);
    };
    // Gapless decoding removes the encoder's delay exactly: no shift fits better than none.
    EXPECT_LT(getError(0), getError(-1));
    EXPECT_LT(getError(0), getError(1));
    EXPECT_LT(getError(0), 0.1);
}

TEST_F(Mp3Loading, MusicPlaysAndSeeksWithoutErrors) {
    ErrCapture err;
    sf::Music music;
    ASSERT_TRUE(music.openFromFile(audioPath("tone440.mp3")));
    music.play();
    sf::sleep(sf::milliseconds(50));
    music.setPlayingOffset(sf::seconds(0.3f));
    EXPECT_EQ(music.getStatus(), sf::Music::Playing);
    const float offset = music.getPlayingOffset().asSeconds();
    EXPECT_GE(offset, 0.29f);
    EXPECT_LT(offset, 0.45f);
    // The rest lasts 0.2 s; allow a generous margin for a loaded machine.
    for (int i = 0; i < 200 && music.getStatus() == sf::Music::Playing; ++i) {
        sf::sleep(sf::milliseconds(10));
    }
    EXPECT_EQ(music.getStatus(), sf::Music::Stopped);
    EXPECT_EQ(err.getText(), "");
}

TEST_F(Mp3Loading, LoopingMusicKeepsPlayingPastItsEnd) {
    ErrCapture err;
    sf::Music music;
    ASSERT_TRUE(music.openFromFile(audioPath("tone440.mp3")));
    music.setLoop(true);
    music.play();
    sf::sleep(sf::milliseconds(800));
    EXPECT_EQ(music.getStatus(), sf::Music::Playing);
    EXPECT_LT(music.getPlayingOffset().asSeconds(), 0.5f);
    music.stop();
    EXPECT_EQ(err.getText(), "");
}

TEST_F(Mp3Loading, SeekLandsOnTheSameSamplesAsReadingThrough) {
    sf::InputSoundFile whole;
    ASSERT_TRUE(whole.openFromFile(audioPath("stereo.mp3")));
    std::vector<sf::Int16> all(static_cast<std::size_t>(whole.getSampleCount()));
    ASSERT_EQ(whole.read(all.data(), all.size()), all.size());

    sf::InputSoundFile part;
    ASSERT_TRUE(part.openFromFile(audioPath("stereo.mp3")));
    const sf::Uint64 frame = 10000;
    part.seek(frame * 2);  // interleaved samples; the reader turns them into frames
    std::vector<sf::Int16> rest(2000);
    ASSERT_EQ(part.read(rest.data(), rest.size()), rest.size());
    int worst = 0;
    for (std::size_t i = 0; i < rest.size(); ++i) {
        worst = std::max(worst, std::abs(rest[i] - all[static_cast<std::size_t>(frame) * 2 + i]));
    }
    EXPECT_LE(worst, 64);
}

TEST(Mp3Reader, ReadingStopsAtTheLengthGivenAtOpen) {
    sf::FileInputStream stream;
    ASSERT_TRUE(stream.open(audioPath("tone440.mp3")));
    vl::Mp3Reader reader;
    sf::SoundFileReader::Info info{};
    ASSERT_TRUE(reader.open(stream, info));
    EXPECT_EQ(info.sampleCount, 22050u);
    std::vector<sf::Int16> samples(30000);
    EXPECT_EQ(reader.read(samples.data(), samples.size()), 22050u);
    EXPECT_EQ(reader.read(samples.data(), samples.size()), 0u);
    reader.seek(22000);
    EXPECT_EQ(reader.read(samples.data(), samples.size()), 50u);
    reader.seek(1000000);
    EXPECT_EQ(reader.read(samples.data(), samples.size()), 0u);
}

TEST(Mp3Reader, OpenFailsCleanlyOnJunk) {
    for (const char* p_name : {"truncated.mp3", "garbage.mp3", "empty.mp3", "text.wav", "tone440.wav"}) {
        sf::FileInputStream stream;
        ASSERT_TRUE(stream.open(audioPath(p_name))) << p_name;
        vl::Mp3Reader reader;
        sf::SoundFileReader::Info info{};
        EXPECT_FALSE(reader.open(stream, info)) << p_name;
        sf::Int16 sample = 0;
        EXPECT_EQ(reader.read(&sample, 1), 0u) << p_name;
        reader.seek(0);
    }
}

// Every sample of a file, interleaved; empty when it cannot be opened.
std::vector<sf::Int16> decodeAll(const std::string& path, unsigned int& channels, unsigned int& rate) {
    sf::InputSoundFile file;
    if (!file.openFromFile(path)) {
        return {};
    }
    channels = file.getChannelCount();
    rate = file.getSampleRate();
    std::vector<sf::Int16> samples(static_cast<std::size_t>(file.getSampleCount()));
    samples.resize(static_cast<std::size_t>(file.read(samples.data(), samples.size())));
    return samples;
}

TEST_F(GameSounds, EffectsAreShortAndStartAndEndQuietly) {
    for (const char* p_name : {"jump", "shadowswitch", "light", "switch", "levelcomplete"}) {
        unsigned int channels = 0;
        unsigned int rate = 0;
        const std::vector<sf::Int16> samples =
            decodeAll(vltest::sourcePath(std::string("sounds/") + p_name + ".mp3"), channels, rate);
        ASSERT_FALSE(samples.empty()) << p_name;
        EXPECT_EQ(rate, 44100u) << p_name;
        EXPECT_LE(static_cast<double>(samples.size() / channels) / rate, 1.5) << p_name;
        EXPECT_LT(std::abs(samples.front()), 300) << p_name;
        EXPECT_LT(std::abs(samples.back()), 50) << p_name;
        int peak = 0;
        for (sf::Int16 sample : samples) {
            peak = std::max(peak, std::abs(static_cast<int>(sample)));
        }
        EXPECT_GT(peak, 8000) << p_name;
    }
}

TEST_F(GameSounds, MusicLoopsWithoutAJump) {
    for (const char* p_name : {"Ember", "Ghosts"}) {
        unsigned int channels = 0;
        unsigned int rate = 0;
        const std::vector<sf::Int16> samples =
            decodeAll(vltest::sourcePath(std::string("sounds/") + p_name + ".mp3"), channels, rate);
        ASSERT_FALSE(samples.empty()) << p_name;
        EXPECT_EQ(rate, 44100u) << p_name;
        EXPECT_EQ(channels, 2u) << p_name;
        const std::size_t frames = samples.size() / channels;
        const double seconds = static_cast<double>(frames) / rate;
        EXPECT_GE(seconds, 30.0) << p_name;
        EXPECT_LE(seconds, 90.0) << p_name;
        for (unsigned int c = 0; c < channels; ++c) {
            // Second differences: how far each sample strays from the line through the two before.
            auto at = [&](std::size_t i) {
                return static_cast<double>(samples[(i % frames) * channels + c]);
            };
            auto bend = [&](std::size_t i) {
                return std::fabs(at(i + 2) - 2.0 * at(i + 1) + at(i));
            };
            std::vector<double> bends;
            for (std::size_t i = 0; i + 2 < frames; ++i) {
                bends.push_back(bend(i));
            }
            std::sort(bends.begin(), bends.end());
            const double usual = bends[bends.size() * 999 / 1000];
            // Across the seam (last two samples into the first, last into the first two), the
            // wave bends no more than it does almost everywhere else.
            EXPECT_LE(bend(frames - 2), usual) << p_name << " channel " << c;
            EXPECT_LE(bend(frames - 1), usual) << p_name << " channel " << c;
        }
    }
}

}  // namespace
