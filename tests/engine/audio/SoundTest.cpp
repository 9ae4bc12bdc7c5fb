// SPDX-License-Identifier: MIT
// Sound and Music through one suite: every format loads, damaged and odd files are refused and leave a
// loaded one as it was, and unloaded ones play quietly.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "PresentationSupport.h"
#include "TestSupport.h"
#include <veltrane/audio/Music.h>
#include <veltrane/audio/Sound.h>

namespace {

std::string audio(const std::string& name) {
    return vltest::dataPath("audio/" + name);
}

// What the suite needs of either class.
struct Player {
    virtual ~Player() = default;
    virtual int load(const std::string& path) = 0;
    virtual void play() = 0;
    virtual void stop() = 0;
    virtual bool isPlaying() const = 0;
    virtual unsigned int channels() const = 0;
    virtual unsigned int rate() const = 0;
    virtual float duration() const = 0;
    virtual std::string label() const = 0;
};

template <typename T>
struct PlayerOf : Player {
    int load(const std::string& path) override;
    void play() override { object.play(true); }
    void stop() override { object.stop(); }
    bool isPlaying() const override { return object.isPlaying(); }
    unsigned int channels() const override { return object.getChannelCount(); }
    unsigned int rate() const override { return object.getSampleRate(); }
    float duration() const override { return object.getDuration(); }
    std::string label() const override { return object.getLabel(); }
    T object;
};

template <>
int PlayerOf<vl::Sound>::load(const std::string& path) {
    return object.loadSound(path);
}

template <>
int PlayerOf<vl::Music>::load(const std::string& path) {
    return object.loadMusic(path);
}

struct Kind {
    const char* name;  // the class, as its log lines name it
    std::function<std::unique_ptr<Player>()> make;
};

class SoundAndMusic : public ::testing::TestWithParam<Kind> {
protected:
    // The device is chosen before any audio object exists.
    void SetUp() override { ASSERT_EQ(setenv("ALSOFT_DRIVERS", "null", 1), 0); }
    std::unique_ptr<Player> make() const { return GetParam().make(); }
    std::string name() const { return GetParam().name; }

    vltest::LoggedConfig m_log{""};
};

TEST_P(SoundAndMusic, LoadsEveryFormatWithItsRateChannelsAndDuration) {
    for (const auto& c : {std::make_pair("tone440.wav", 1u), std::make_pair("tone440.ogg", 1u),
                          std::make_pair("tone440.mp3", 1u), std::make_pair("stereo.mp3", 2u)}) {
        auto p_player = make();
        ASSERT_EQ(p_player->load(audio(c.first)), 0) << c.first;
        EXPECT_EQ(p_player->channels(), c.second) << c.first;
        EXPECT_EQ(p_player->rate(), 44100u) << c.first;
        EXPECT_NEAR(p_player->duration(), 0.5, 0.005) << c.first;
    }
}

TEST_P(SoundAndMusic, DamagedOrMissingFilesFailAndLeaveALoadedOneAsItWas) {
    auto p_player = make();
    ASSERT_EQ(p_player->load(audio("stereo.mp3")), 0);
    for (const char* p_name : {"truncated.mp3", "garbage.mp3", "empty.mp3", "text.wav", "no-such-file.wav"}) {
        EXPECT_EQ(p_player->load(audio(p_name)), -1) << p_name;
    }
    EXPECT_EQ(p_player->channels(), 2u);
    p_player->play();
    EXPECT_TRUE(p_player->isPlaying());
    p_player->stop();
    EXPECT_FALSE(p_player->isPlaying());
}

TEST_P(SoundAndMusic, UnloadedOnePlaysAndStopsQuietly) {
    auto p_player = make();
    EXPECT_EQ(p_player->label(), "[Undefined]");
    p_player->play();
    p_player->stop();
    EXPECT_FALSE(p_player->isPlaying());
}

// Reading a directory as sound never ends inside the audio library, so it must not get that far.
TEST_P(SoundAndMusic, DirectoriesAndOddFormatsAreRefusedWithAReason) {
    const std::string wav = vltest::readFile(audio("tone440.wav"));
    ASSERT_GT(wav.size(), 52u);
    std::string channels = wav;
    channels[22] = 9;
    std::string rate = wav;
    rate[24] = rate[25] = rate[26] = rate[27] = '\xff';
    const std::string dir = vltest::dataPath("audio");
    EXPECT_EQ(make()->load(dir), -1);
    for (const std::string& bytes : {channels, rate}) {
        const std::string path = vltest::tempPath("odd.wav");
        ASSERT_TRUE(vltest::writeFile(path, bytes));
        EXPECT_EQ(make()->load(path), -1);
    }
    const std::string text = m_log.log();
    const std::string function = name() + "::load" + name() + "(): Error! '";
    EXPECT_NE(text.find(function + dir + "' is not a regular file."), std::string::npos) << text;
    EXPECT_NE(text.find("has 9 channels (1 to 2 can be played)"), std::string::npos) << text;
    EXPECT_NE(text.find("has a sample rate of 4294967295 Hz"), std::string::npos) << text;
}

TEST(SoundCut, AWaveHeaderClaimingMoreThanTheFileHoldsIsRefused) {
    vltest::LoggedConfig log("");
    // The test tone's header claims 44 100 bytes of samples; only 8 follow it.
    const std::string path = vltest::tempPath("short.wav");
    ASSERT_TRUE(vltest::writeFile(path, vltest::readFile(audio("tone440.wav")).substr(0, 52)));
    vl::Sound sound;
    EXPECT_EQ(sound.loadSound(path), -1);
    EXPECT_NE(log.log().find("Sound::loadSound(): Error! '" + path + "' ends after"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Audio, SoundAndMusic,
                         ::testing::Values(Kind{"Sound",
                                                [] {
                                                    return std::make_unique<PlayerOf<vl::Sound>>();
                                                }},
                                           Kind{"Music",
                                                [] {
                                                    return std::make_unique<PlayerOf<vl::Music>>();
                                                }}),
                         [](const ::testing::TestParamInfo<Kind>& param) {
                             return std::string(param.param.name);
                         });

TEST(MusicPause, PausesAndStopsToTheStart) {
    vltest::LoggedConfig log("");
    vl::Music music;
    ASSERT_EQ(music.loadMusic(audio("stereo.mp3")), 0);
    music.play(true);
    music.pause();
    EXPECT_FALSE(music.isPlaying());
    music.stop();
    EXPECT_EQ(music.getPlayingOffset(), 0.0f);
}

}  // namespace
