// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <type_traits>

#include "PresentationSupport.h"
#include "TestSupport.h"
#include <veltrane/audio/AudioDevice.h>
#include <veltrane/audio/Music.h>
#include <veltrane/audio/Sound.h>

namespace {

std::string audio(const std::string& name) {
    return vltest::dataPath("audio/" + name);
}

int load(vl::Sound& sound, const std::string& path) {
    return sound.loadSound(path);
}

int load(vl::Music& music, const std::string& path) {
    return music.loadMusic(path);
}

template <typename T>
class SoundAndMusic : public ::testing::Test {
protected:
    // The device is chosen before any audio object exists.
    void SetUp() override { ASSERT_EQ(setenv("ALSOFT_DRIVERS", "null", 1), 0); }

    vltest::LoggedConfig m_log{""};
};

using Kinds = ::testing::Types<vl::Sound, vl::Music>;
TYPED_TEST_SUITE(SoundAndMusic, Kinds);

// A directory is refused before the audio library sees it: reading one as sound never ends there.
TYPED_TEST(SoundAndMusic, LoadsEveryFormatAndRefusesDamagedOddOrMissingFilesLeavingTheLoadedOne) {
    constexpr bool is_sound = std::is_same_v<TypeParam, vl::Sound>;
    TypeParam player;
    player.play(true);  // nothing loaded: nothing happens
    EXPECT_FALSE(player.isPlaying());
    for (const auto& [file, channels] :
         {std::pair{"tone440.wav", 1u}, {"tone440.ogg", 1u}, {"tone440.mp3", 1u}, {"stereo.mp3", 2u}}) {
        ASSERT_EQ(load(player, audio(file)), 0) << file;
        EXPECT_EQ(player.getChannelCount(), channels) << file;
        EXPECT_EQ(player.getSampleRate(), 44100u) << file;
        EXPECT_NEAR(player.getDuration(), 0.5, 0.005) << file;
    }
    const std::string wav = vltest::readFile(audio("tone440.wav"));
    const std::string channels = vltest::tempPath("channels.wav");
    const std::string rate = vltest::tempPath("rate.wav");
    const std::string cut = vltest::tempPath("cut.wav");  // claims 44 100 bytes of samples, holds 8
    ASSERT_TRUE(vltest::writeFile(channels, wav.substr(0, 22) + '\x09' + wav.substr(23)) &&
                vltest::writeFile(rate, wav.substr(0, 24) + "\xff\xff\xff\xff" + wav.substr(28)) &&
                vltest::writeFile(cut, wav.substr(0, 52)));
    const std::string dir = vltest::dataPath("audio");
    // Music streams, and reads only what is there: the cut file is the sound's alone to refuse.
    for (const std::string& path :
         {audio("truncated.mp3"), audio("garbage.mp3"), audio("empty.mp3"), audio("text.wav"),
          audio("no-such-file.wav"), dir, channels, rate, is_sound ? cut : dir}) {
        EXPECT_EQ(load(player, path), -1) << path;
    }
    EXPECT_EQ(player.getChannelCount(), 2u);
    player.play(true);
    EXPECT_TRUE(player.isPlaying());
    player.stop();
    EXPECT_FALSE(player.isPlaying());
    const std::string function = is_sound ? "Sound::loadSound(): Error! '" : "Music::loadMusic(): Error! '";
    for (const std::string& message :
         {function + dir + "' is not a regular file.", function + channels + "' has 9 channels (1 to 2 can",
          function + rate + "' has a sample rate of 4294967295 Hz",
          function + (is_sound ? cut + "' ends" : dir)}) {
        EXPECT_NE(this->m_log.log().find(message), std::string::npos) << message;
    }
}

// Without a device files still load, so that a game plays on in silence.
TEST(NoAudioDevice, LoadingWorksAndPlayingDoesNothing) {
    ASSERT_EQ(setenv("ALSOFT_DRIVERS", "none", 1), 0);
    vltest::LoggedConfig log("");
    vl::Sound sound;
    vl::Music music;
    ASSERT_EQ(sound.loadSound(audio("stereo.mp3")) + music.loadMusic(audio("tone440.ogg")), 0);
    music.play(true);
    EXPECT_FALSE(music.isPlaying() || vl::isAudioAvailable());
}

}  // namespace
