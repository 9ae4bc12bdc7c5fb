// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "HeadlessEngine.h"
#include "TestSupport.h"
#include <veltrane/core/LogManager.h>
#include <veltrane/resources/ResourceManager.h>

namespace {

// A silent but working device, chosen before any audio object exists.
const int s_driver = setenv("ALSOFT_DRIVERS", "null", 1);

std::string audio(const std::string& name) {
    return vltest::dataPath("audio/" + name);
}

class ResourceManagerSoundTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(s_driver, 0);
        ASSERT_EQ(m_engine.startUp(), 0);
        vl::LogManager::getInstance().setFlush(true);
    }
    void TearDown() override { m_engine.shutDown(); }

    vltest::HeadlessEngine m_engine;
    vl::ResourceManager& m_rm = vl::ResourceManager::getInstance();
};

TEST_F(ResourceManagerSoundTest, TheHundredAndFirstSoundIsRefusedWithTheLimit) {
    for (int i = 0; i < vl::MAX_SOUNDS; i++) {
        ASSERT_EQ(m_rm.loadSound(audio("tone440.wav"), "s" + std::to_string(i)), 0) << i;
    }
    EXPECT_EQ(m_rm.loadSound(audio("tone440.wav"), "one too many"), -1);
    EXPECT_EQ(m_rm.getSoundCount(), 100);
    EXPECT_EQ(vltest::countOccurrences(m_engine.log(),
                                       "RM::loadSound(): Error! Unable to add more sounds (max is 100)."),
              1);
    EXPECT_EQ(m_rm.getSound("s99"), m_rm.getSound("s99"));
    EXPECT_NE(m_rm.getSound("s99"), nullptr);
    EXPECT_EQ(m_rm.getSound("one too many"), nullptr);
}

TEST_F(ResourceManagerSoundTest, TheFiftyFirstMusicIsRefusedWithTheLimit) {
    for (int i = 0; i < vl::MAX_MUSICS; i++) {
        ASSERT_EQ(m_rm.loadMusic(audio("tone440.ogg"), "m" + std::to_string(i)), 0) << i;
    }
    EXPECT_EQ(m_rm.loadMusic(audio("tone440.ogg"), "one too many"), -1);
    EXPECT_EQ(m_rm.getMusicCount(), 50);
    EXPECT_NE(m_engine.log().find("RM::loadMusic(): Error! Unable to add more musics (max is 50)."),
              std::string::npos);
}

TEST_F(ResourceManagerSoundTest, MusicNeedsALabelButASoundDoesNot) {
    // The label is checked before the file: a missing file gives no file message.
    EXPECT_EQ(m_rm.loadMusic(audio("no-such-file.ogg"), ""), -1);
    EXPECT_EQ(m_rm.loadSound(audio("tone440.mp3"), ""), 0);
    const std::string text = m_engine.log();
    EXPECT_NE(text.find("RM::loadMusic(): Error! Must provide label for music."), std::string::npos);
    EXPECT_EQ(text.find("no-such-file.ogg"), std::string::npos) << text;
    EXPECT_EQ(m_rm.getMusicCount(), 0);
    ASSERT_NE(m_rm.getSound(""), nullptr);
    EXPECT_EQ(m_rm.getSound("")->getLabel(), "");
}

TEST_F(ResourceManagerSoundTest, AFailedLoadLeavesItsSlotToTheNext) {
    for (const char* p_name : {"no-such-file.wav", "garbage.mp3"}) {
        EXPECT_EQ(m_rm.loadSound(audio(p_name), "bad"), -1) << p_name;
        EXPECT_EQ(m_rm.loadMusic(audio(p_name), "bad"), -1) << p_name;
        const std::string text = m_engine.log();
        EXPECT_NE(text.find("RM::loadSound(): Error! Cannot load sound from file '" + audio(p_name) + "'."),
                  std::string::npos)
            << text;
        EXPECT_NE(text.find("RM::loadmusic(): Error! Cannot load music from file '" + audio(p_name) + "'."),
                  std::string::npos)
            << text;
    }
    EXPECT_EQ(m_rm.getSoundCount(), 0);
    EXPECT_EQ(m_rm.getMusicCount(), 0);
    ASSERT_EQ(m_rm.loadSound(audio("stereo.mp3"), "good"), 0);
    EXPECT_EQ(m_rm.getSoundCount(), 1);
    EXPECT_EQ(m_rm.getSound("bad"), nullptr);
    ASSERT_NE(m_rm.getSound("good"), nullptr);
    EXPECT_EQ(m_rm.getSound("good")->getChannelCount(), 2u);
}

TEST_F(ResourceManagerSoundTest, LookupsFindTheFirstOfALabelAndWarnOnMissingOnes) {
    ASSERT_EQ(m_rm.loadMusic(audio("tone440.wav"), "theme"), 0);
    ASSERT_EQ(m_rm.loadMusic(audio("stereo.mp3"), "theme"), 0);
    ASSERT_EQ(m_rm.loadSound(audio("tone440.ogg"), "jump"), 0);
    ASSERT_NE(m_rm.getMusic("theme"), nullptr);
    EXPECT_EQ(m_rm.getMusic("theme")->getChannelCount(), 1u);
    EXPECT_EQ(m_rm.getSound("Jump"), nullptr);
    EXPECT_EQ(m_rm.getMusic("them"), nullptr);
    const std::string text = m_engine.log();
    EXPECT_NE(text.find("RM::getSound(): Warning! Sound 'Jump' not found."), std::string::npos);
    EXPECT_NE(text.find("RM::getMusic(): Warning! Music 'them' not found."), std::string::npos);
}

TEST_F(ResourceManagerSoundTest, ShutDownStopsWhatPlaysAndRefusesLaterLoads) {
    ASSERT_EQ(m_rm.loadMusic(audio("tone440.ogg"), "theme"), 0);
    ASSERT_EQ(m_rm.loadSound(audio("tone440.wav"), "beep"), 0);
    vl::Music* p_music = m_rm.getMusic("theme");
    vl::Sound* p_sound = m_rm.getSound("beep");
    ASSERT_NE(p_music, nullptr);
    ASSERT_NE(p_sound, nullptr);
    p_music->play(true);
    p_sound->play(true);
    EXPECT_TRUE(p_music->isPlaying());
    EXPECT_TRUE(p_sound->isPlaying());
    m_rm.shutDown();
    EXPECT_FALSE(p_music->isPlaying());
    EXPECT_FALSE(p_sound->isPlaying());
    EXPECT_EQ(m_rm.loadSound(audio("tone440.wav"), "late"), -1);
    EXPECT_EQ(m_rm.loadMusic(audio("tone440.wav"), "late"), -1);
    EXPECT_EQ(vltest::countOccurrences(m_engine.log(), "ResourceManager not started!"), 2);
}

}  // namespace
