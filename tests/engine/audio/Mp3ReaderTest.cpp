// SPDX-License-Identifier: MIT
#include "audio/Mp3Reader.h"

#include <gtest/gtest.h>

#include <SFML/Audio/InputSoundFile.hpp>
#include <SFML/System/FileInputStream.hpp>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "TestSupport.h"

namespace {

std::string audioPath(const std::string& name) {
    return vltest::dataPath("audio/" + name);
}

// Every interleaved sample of a file through the library's loaders; empty when it cannot be opened.
std::vector<sf::Int16> decodeAll(const std::string& path, unsigned int* p_channels = nullptr) {
    vl::registerMp3Reader();
    sf::InputSoundFile file;
    if (!file.openFromFile(path)) {
        return {};
    }
    if (p_channels != nullptr) {
        *p_channels = file.getChannelCount();
    }
    std::vector<sf::Int16> samples(static_cast<size_t>(file.getSampleCount()));
    samples.resize(static_cast<size_t>(file.read(samples.data(), samples.size())));
    return samples;
}

// Sign changes of one channel of interleaved samples: two per period of a pure tone.
int crossings(const std::vector<sf::Int16>& samples, unsigned int channels, unsigned int channel) {
    int count = 0;
    for (size_t i = channel + channels; i < samples.size(); i += channels) {
        count += (samples[i] >= 0) != (samples[i - channels] >= 0) ? 1 : 0;
    }
    return count;
}

// The Info tag's delay and padding make the length exact (0.5 s); the mono file has an ID3 tag first.
TEST(Mp3Reader, GaplessDecodingGivesTheExactLengthAndEachChannelItsTone) {
    for (const auto& [name, hz] :
         {std::pair{"tone440.mp3", std::vector<int>{440}}, {"stereo.mp3", {440, 660}}}) {
        unsigned int channels = 0;
        const std::vector<sf::Int16> samples = decodeAll(audioPath(name), &channels);
        ASSERT_EQ(channels, hz.size()) << name;
        EXPECT_EQ(samples.size(), 22050u * channels) << name;
        for (unsigned int c = 0; c < channels; c++) {
            EXPECT_NEAR(crossings(samples, channels, c), hz[c], 10) << name << " channel " << c;
        }
    }
    // No shift of the decoded tone against the wave original fits better than none (relative RMS error).
    const std::vector<sf::Int16> mp3 = decodeAll(audioPath("tone440.mp3"));
    const std::vector<sf::Int16> wav = decodeAll(audioPath("tone440.wav"));
    ASSERT_EQ(mp3.size(), wav.size());
    auto error = [&](int lag) {
        double sum = 0;
        double power = 0;
        for (size_t i = 8; i + 8 < wav.size(); ++i) {
            sum += std::pow(mp3[i] - wav[static_cast<size_t>(static_cast<long>(i) + lag)], 2);
            power += std::pow(wav[i], 2);
        }
        return std::sqrt(sum / power);
    };
    EXPECT_LT(error(0), error(-1));
    EXPECT_LT(error(0), error(1));
    EXPECT_LT(error(0), 0.1);
}

// Seeking to an interleaved sample offset reads on as reading through does, up to the end; the last seek,
// back to the start after the end, is what a looping stream does.
TEST(Mp3Reader, SeekThenReadGivesTheSamplesOfReadingThrough) {
    const std::vector<sf::Int16> all = decodeAll(audioPath("stereo.mp3"));
    sf::FileInputStream stream;
    vl::Mp3Reader reader;
    sf::SoundFileReader::Info info{};
    ASSERT_TRUE(stream.open(audioPath("stereo.mp3")) && reader.open(stream, info));
    std::vector<sf::Int16> rest(all.size() + 100);
    for (const size_t seek_to : {20000, 44000, 1000000, 0}) {
        reader.seek(seek_to);
        const size_t expected = seek_to < all.size() ? all.size() - seek_to : 0;
        ASSERT_EQ(reader.read(rest.data(), rest.size()), expected) << "from " << seek_to;
        for (size_t i = 0; i < std::min<size_t>(expected, 2000); i++) {
            ASSERT_NEAR(rest[i], all[seek_to + i], 64) << "from " << seek_to << ", sample " << i;
        }
        EXPECT_EQ(reader.read(rest.data(), rest.size()), 0u);
    }
}

}  // namespace
