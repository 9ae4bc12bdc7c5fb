// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

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

TEST_F(ResourceManagerSoundTest, EachTableRefusesTheOneAfterItsLimit) {
    const struct {
        std::function<int(const std::string&)> load;
        std::function<int()> count;
        int limit;
        std::vector<std::string> messages;
    } tables[] = {
        {[&](const std::string& label) {
             return m_rm.loadSprite(vltest::dataPath("sprites/good-simple.txt"), label);
         },
         [&] { return m_rm.getSpriteCount(); },
         1000,
         {"RM::loadRobustSprite(): Error! Cannot add more Sprites (max is 1000).",
          "RM::loadRobustSprite(): Sprite 'one too many' not loaded."}},
        {[&](const std::string& label) { return m_rm.loadSound(audio("tone440.wav"), label); },
         [&] { return m_rm.getSoundCount(); },
         100,
         {"RM::loadSound(): Error! Unable to add more sounds (max is 100)."}},
        {[&](const std::string& label) { return m_rm.loadMusic(audio("tone440.ogg"), label); },
         [&] { return m_rm.getMusicCount(); },
         50,
         {"RM::loadMusic(): Error! Unable to add more musics (max is 50)."}},
    };
    for (const auto& t : tables) {
        SCOPED_TRACE(t.limit);
        for (int i = 0; i < t.limit; i++) {
            ASSERT_EQ(t.load("r" + std::to_string(i)), 0) << i;
        }
        EXPECT_EQ(t.load("one too many"), -1);
        EXPECT_EQ(t.count(), t.limit);
        for (const std::string& message : t.messages) {
            EXPECT_EQ(vltest::countOccurrences(m_engine.log(), message), 1);
        }
    }
}

// A failed load leaves its slot to the next; music needs a label, checked before the file is read.
TEST_F(ResourceManagerSoundTest, FailedLoadsTakeNoSlotAndLookupsFindTheFirstOfALabel) {
    for (const char* p_name : {"no-such-file.wav", "garbage.mp3"}) {
        EXPECT_EQ(m_rm.loadSound(audio(p_name), "bad"), -1) << p_name;
        EXPECT_EQ(m_rm.loadMusic(audio(p_name), "bad"), -1) << p_name;
        const std::string text = m_engine.log();
        EXPECT_NE(text.find("RM::loadSound(): Error! Cannot load sound from file '" + audio(p_name) + "'."),
                  std::string::npos);
        EXPECT_NE(text.find("RM::loadmusic(): Error! Cannot load music from file '" + audio(p_name) + "'."),
                  std::string::npos);
    }
    EXPECT_EQ(m_rm.loadMusic(audio("no-such-file.ogg"), ""), -1);
    ASSERT_EQ(m_rm.loadSound(audio("stereo.mp3"), ""), 0);
    ASSERT_EQ(m_rm.loadMusic(audio("tone440.wav"), "theme"), 0);
    ASSERT_EQ(m_rm.loadMusic(audio("stereo.mp3"), "theme"), 0);
    EXPECT_EQ(m_rm.getSoundCount(), 1);
    EXPECT_EQ(m_rm.getMusicCount(), 2);
    EXPECT_EQ(m_rm.getSound("bad"), nullptr);
    ASSERT_NE(m_rm.getSound(""), nullptr);
    EXPECT_EQ(m_rm.getSound("")->getChannelCount(), 2u);
    EXPECT_EQ(m_rm.getMusic("theme")->getChannelCount(), 1u);
    EXPECT_EQ(m_rm.getMusic("them"), nullptr);
    const std::string text = m_engine.log();
    EXPECT_NE(text.find("RM::loadMusic(): Error! Must provide label for music."), std::string::npos);
    EXPECT_EQ(text.find("no-such-file.ogg"), std::string::npos) << text;
    EXPECT_NE(text.find("RM::getMusic(): Warning! Music 'them' not found."), std::string::npos);
    EXPECT_NE(text.find("RM::getSound(): Warning! Sound 'bad' not found."), std::string::npos);
}

TEST_F(ResourceManagerSoundTest, ShutDownStopsWhatPlaysAndRefusesLaterLoads) {
    ASSERT_EQ(m_rm.loadMusic(audio("tone440.ogg"), "theme"), 0);
    ASSERT_EQ(m_rm.loadSound(audio("tone440.wav"), "beep"), 0);
    vl::Music* p_music = m_rm.getMusic("theme");
    vl::Sound* p_sound = m_rm.getSound("beep");
    p_music->play(true);
    p_sound->play(true);
    EXPECT_TRUE(p_music->isPlaying() && p_sound->isPlaying());
    m_rm.shutDown();
    EXPECT_FALSE(p_music->isPlaying());
    EXPECT_FALSE(p_sound->isPlaying());
    EXPECT_EQ(m_rm.loadSound(audio("tone440.wav"), "late"), -1);
    EXPECT_EQ(m_rm.loadMusic(audio("tone440.wav"), "late"), -1);
    EXPECT_EQ(vltest::countOccurrences(m_engine.log(), "ResourceManager not started!"), 2);
}

}  // namespace
