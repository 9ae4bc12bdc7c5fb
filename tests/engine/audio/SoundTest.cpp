// SPDX-License-Identifier: MIT
// Sound and Music through one suite: every format loads, damaged and odd files are refused and leave a
// loaded one as it was, and unloaded ones play quietly.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <type_traits>

#include "PresentationSupport.h"
#include "TestSupport.h"
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
    // The class, as its log lines name it.
    static std::string name() { return std::is_same_v<T, vl::Sound> ? "Sound" : "Music"; }

    vltest::LoggedConfig m_log{""};
};

using Kinds = ::testing::Types<vl::Sound, vl::Music>;
TYPED_TEST_SUITE(SoundAndMusic, Kinds);

TYPED_TEST(SoundAndMusic, LoadsEveryFormatWithItsRateChannelsAndDuration) {
    for (const auto& [file, channels] :
         {std::pair{"tone440.wav", 1u}, {"tone440.ogg", 1u}, {"tone440.mp3", 1u}, {"stereo.mp3", 2u}}) {
        TypeParam player;
        ASSERT_EQ(load(player, audio(file)), 0) << file;
        EXPECT_EQ(player.getChannelCount(), channels) << file;
        EXPECT_EQ(player.getSampleRate(), 44100u) << file;
        EXPECT_NEAR(player.getDuration(), 0.5, 0.005) << file;
    }
}

// A directory is refused before the audio library sees it: reading one as sound never ends there.
TYPED_TEST(SoundAndMusic, DamagedOddOrMissingFilesFailAndLeaveALoadedOneAsItWas) {
    const std::string wav = vltest::readFile(audio("tone440.wav"));
    ASSERT_GT(wav.size(), 52u);
    std::string channels = wav;
    channels[22] = 9;
    std::string rate = wav;
    rate[24] = rate[25] = rate[26] = rate[27] = '\xff';
    const std::string channels_path = vltest::tempPath("channels.wav");
    const std::string rate_path = vltest::tempPath("rate.wav");
    ASSERT_TRUE(vltest::writeFile(channels_path, channels) && vltest::writeFile(rate_path, rate));
    const std::string cut_path = vltest::tempPath("cut.wav");  // claims 44 100 bytes of samples, holds 8
    ASSERT_TRUE(vltest::writeFile(cut_path, wav.substr(0, 52)));
    const std::string dir = vltest::dataPath("audio");

    TypeParam player;
    player.play(true);  // nothing loaded: nothing happens
    player.stop();
    EXPECT_FALSE(player.isPlaying());
    ASSERT_EQ(load(player, audio("stereo.mp3")), 0);
    for (const std::string& path :
         {audio("truncated.mp3"), audio("garbage.mp3"), audio("empty.mp3"), audio("text.wav"),
          audio("no-such-file.wav"), dir, channels_path, rate_path}) {
        EXPECT_EQ(load(player, path), -1) << path;
    }
    EXPECT_EQ(player.getChannelCount(), 2u);
    player.play(true);
    EXPECT_TRUE(player.isPlaying());
    player.stop();
    EXPECT_FALSE(player.isPlaying());

    const std::string text = this->m_log.log();
    const std::string function = this->name() + "::load" + this->name() + "(): Error! '";
    EXPECT_NE(text.find(function + dir + "' is not a regular file."), std::string::npos) << text;
    EXPECT_NE(text.find("has 9 channels (1 to 2 can be played)"), std::string::npos) << text;
    EXPECT_NE(text.find("has a sample rate of 4294967295 Hz"), std::string::npos) << text;
    if (std::is_same_v<TypeParam, vl::Sound>) {  // music streams, and reads only what is there
        EXPECT_EQ(load(player, cut_path), -1);
        EXPECT_NE(this->m_log.log().find(function + cut_path + "' ends after"), std::string::npos);
    }
}

// Paused music keeps its place and plays on from it; stopped music goes back to the start.
TEST(MusicPause, ResumesWhereItPausedAndStopsToTheStart) {
    ASSERT_EQ(setenv("ALSOFT_DRIVERS", "null", 1), 0);
    vltest::LoggedConfig log("");
    vl::Music music;
    ASSERT_EQ(music.loadMusic(audio("stereo.mp3")), 0);
    music.play(false);
    for (int i = 0; i < 1000 && music.getPlayingOffset() < 0.1f; i++) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    music.pause();
    const float paused_at = music.getPlayingOffset();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(music.isPlaying());
    EXPECT_EQ(music.getPlayingOffset(), paused_at);
    music.play(false);
    EXPECT_TRUE(music.isPlaying());
    EXPECT_GE(music.getPlayingOffset(), std::max(paused_at, 0.1f));
    music.stop();
    EXPECT_EQ(music.getPlayingOffset(), 0.0f);
}

}  // namespace
