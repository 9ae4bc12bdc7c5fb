// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "TempLog.h"
#include "TestSupport.h"
#include <veltrane/audio/Music.h>
#include <veltrane/audio/Sound.h>
#include <veltrane/core/LogManager.h>

namespace {

// A silent but working device, chosen before any audio object exists.
const int s_driver = setenv("ALSOFT_DRIVERS", "null", 1);

std::string audio(const std::string& name) {
    return vltest::dataPath("audio/" + name);
}

class SoundTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(s_driver, 0);
        ASSERT_TRUE(m_log.started());
    }
    std::string log() const { return m_log.text(); }

    vltest::TempLog m_log;
};

TEST_F(SoundTest, LoadsEveryFormatWithItsRateChannelsAndDuration) {
    struct Case {
        const char* name;
        unsigned int channels;
    };
    for (const Case& c :
         {Case{"tone440.wav", 1}, Case{"tone440.ogg", 1}, Case{"tone440.mp3", 1}, Case{"stereo.mp3", 2}}) {
        vl::Sound sound;
        ASSERT_EQ(sound.loadSound(audio(c.name)), 0) << c.name;
        EXPECT_EQ(sound.getChannelCount(), c.channels) << c.name;
        EXPECT_EQ(sound.getSampleRate(), 44100u) << c.name;
        EXPECT_NEAR(sound.getDuration(), 0.5, 0.005) << c.name;
    }
}

TEST_F(SoundTest, DamagedOrMissingFilesFailAndLeaveALoadedSoundAsItWas) {
    vl::Sound sound;
    ASSERT_EQ(sound.loadSound(audio("stereo.mp3")), 0);
    for (const char* p_name : {"truncated.mp3", "garbage.mp3", "empty.mp3", "text.wav", "no-such-file.wav"}) {
        EXPECT_EQ(sound.loadSound(audio(p_name)), -1) << p_name;
    }
    EXPECT_EQ(sound.getChannelCount(), 2u);
    sound.play(false);
    EXPECT_TRUE(sound.isPlaying());
    sound.stop();
    EXPECT_FALSE(sound.isPlaying());
}

TEST_F(SoundTest, DirectoriesAndMissingFilesAreRefusedWithAReason) {
    // Reading a directory as sound never ends inside the audio library, so it must not get that far.
    const std::string dir = vltest::dataPath("audio");
    const std::string missing = audio("no-such-file.ogg");
    vl::Sound sound;
    vl::Music music;
    EXPECT_EQ(sound.loadSound(dir), -1);
    EXPECT_EQ(music.loadMusic(dir), -1);
    EXPECT_EQ(sound.loadSound(missing), -1);
    const std::string text = log();
    EXPECT_NE(text.find("Sound::loadSound(): Error! '" + dir + "' is not a regular file."), std::string::npos)
        << text;
    EXPECT_NE(text.find("Music::loadMusic(): Error! '" + dir + "' is not a regular file."), std::string::npos)
        << text;
    EXPECT_NE(
        text.find("Sound::loadSound(): Error! Cannot open '" + missing + "': No such file or directory."),
        std::string::npos)
        << text;
}

TEST_F(SoundTest, AWaveHeaderClaimingMoreThanTheFileHoldsIsRefused) {
    // The test tone's header claims 44 100 bytes of samples; only 8 follow it.
    std::string wav = vltest::readFile(audio("tone440.wav")).substr(0, 52);
    ASSERT_EQ(wav.size(), 52u);
    const std::string path = vltest::tempPath("short.wav");
    ASSERT_TRUE(vltest::writeFile(path, wav));
    vl::Sound sound;
    EXPECT_EQ(sound.loadSound(path), -1);
    EXPECT_NE(log().find("Sound::loadSound(): Error! '" + path + "' ends after"), std::string::npos) << log();
}

TEST_F(SoundTest, UnloadedSoundPlaysAndStopsQuietly) {
    vl::Sound sound;
    EXPECT_EQ(sound.getLabel(), "[Undefined]");
    sound.play(true);
    sound.stop();
    EXPECT_FALSE(sound.isPlaying());
    EXPECT_EQ(sound.getDuration(), 0.0f);
}

TEST_F(SoundTest, PlayRestartsAndLoops) {
    vl::Sound sound;
    ASSERT_EQ(sound.loadSound(audio("tone440.wav")), 0);
    sound.play(true);
    sound.play(true);
    EXPECT_TRUE(sound.isPlaying());
    sound.stop();
    EXPECT_FALSE(sound.isPlaying());
}

TEST_F(SoundTest, MusicOpensEveryFormatAndRefusesDamagedFiles) {
    for (const char* p_name : {"tone440.wav", "tone440.ogg", "tone440.mp3", "stereo.mp3"}) {
        vl::Music music;
        ASSERT_EQ(music.loadMusic(audio(p_name)), 0) << p_name;
        EXPECT_EQ(music.getSampleRate(), 44100u) << p_name;
        EXPECT_NEAR(music.getDuration(), 0.5, 0.005) << p_name;
    }
    vl::Music music;
    ASSERT_EQ(music.loadMusic(audio("stereo.mp3")), 0);
    for (const char* p_name : {"truncated.mp3", "garbage.mp3", "empty.mp3", "text.wav", "no-such-file.ogg"}) {
        EXPECT_EQ(music.loadMusic(audio(p_name)), -1) << p_name;
    }
    EXPECT_EQ(music.getChannelCount(), 2u);
    music.play(true);
    EXPECT_TRUE(music.isPlaying());
    music.pause();
    EXPECT_FALSE(music.isPlaying());
    music.stop();
    EXPECT_EQ(music.getPlayingOffset(), 0.0f);
}

TEST_F(SoundTest, UnopenedMusicPlaysPausesAndStopsQuietly) {
    vl::Music music;
    EXPECT_EQ(music.getLabel(), "[Undefined]");
    music.play(true);
    music.pause();
    music.stop();
    EXPECT_FALSE(music.isPlaying());
}

TEST_F(SoundTest, ImplausibleFormatsAreRefusedWithAReason) {
    // The test tone's header with 9 channels, then with a 4 GHz sample rate.
    const std::string wav = vltest::readFile(audio("tone440.wav"));
    ASSERT_GT(wav.size(), 44u);
    std::string channels = wav;
    channels[22] = 9;
    std::string rate = wav;
    rate[24] = rate[25] = rate[26] = rate[27] = '\xff';
    for (const std::string& bytes : {channels, rate}) {
        const std::string path = vltest::tempPath("odd.wav");
        ASSERT_TRUE(vltest::writeFile(path, bytes));
        vl::Sound sound;
        vl::Music music;
        EXPECT_EQ(sound.loadSound(path), -1);
        EXPECT_EQ(music.loadMusic(path), -1);
    }
    const std::string text = log();
    EXPECT_NE(text.find("has 9 channels (1 to 2 can be played)"), std::string::npos) << text;
    EXPECT_NE(text.find("has a sample rate of 4294967295 Hz"), std::string::npos) << text;
}

}  // namespace
