// SPDX-License-Identifier: MIT
// The game's data: every sprite, sound and music loads under its label, and the sprites have
// the sizes the level layouts (and the level replays) are built around.
#include <gtest/gtest.h>

#include <string>

#include "HeadlessEngine.h"
#include "Resources.h"
#include <veltrane/core/LogManager.h>
#include <veltrane/graphics/Sprite.h>
#include <veltrane/resources/ResourceManager.h>

namespace {

struct SpriteShape {
    const char* label;
    int width;
    int height;
    int frames;
};

// Sizes the layouts need: walls tile every 4 rows, platforms every 2 columns, long platforms
// every 6, borders every 5 rows; the player fits the 4-row rooms; the glow is the dissolved area.
const SpriteShape SHAPES[] = {
    {"player", 3, 3, 4},
    {"player-shadow", 3, 3, 4},
    {"platform", 2, 1, 1},
    {"platform-shadow", 2, 1, 1},
    {"long-platform", 6, 1, 1},
    {"long-platform-shadow", 6, 1, 1},
    {"wall", 1, 4, 1},
    {"wall-shadow", 1, 4, 1},
    {"short-wall", 1, 1, 1},
    {"short-wall-shadow", 1, 1, 1},
    {"lever", 3, 3, 2},
    {"lever-shadow", 3, 3, 2},
    {"left-border", 1, 5, 1},
    {"right-border", 1, 5, 1},
    {"left-border-shadow", 1, 5, 1},
    {"right-border-shadow", 1, 5, 1},
    {"light", 3, 3, 2},
    {"light-shadow", 7, 4, 2},
    {"door", 5, 3, 1},
    {"keyguide", 75, 3, 8},
    {"gamestart", 67, 21, 6},
    {"levelselector", 42, 1, 6},
};

}  // namespace

TEST(Resources, EverySpriteSoundAndMusicLoadsUnderItsLabel) {
    vltest::HeadlessEngine engine("frame_time:0,");
    ASSERT_EQ(engine.startUp(), 0);
    vl::LogManager::getInstance().setFlush(true);
    loadResources();
    vl::ResourceManager& resources = vl::ResourceManager::getInstance();
    EXPECT_EQ(resources.getSpriteCount(), 22);
    EXPECT_EQ(resources.getSoundCount(), 5);
    EXPECT_EQ(resources.getMusicCount(), 2);
    for (const char* label : {"jump", "shadow", "light", "switch", "complete"}) {
        EXPECT_NE(resources.getSound(label), nullptr) << label;
    }
    for (const char* label : {"start music", "level music"}) {
        EXPECT_NE(resources.getMusic(label), nullptr) << label;
    }
    for (const SpriteShape& shape : SHAPES) {
        const vl::Sprite* p_sprite = resources.getSprite(shape.label);
        ASSERT_NE(p_sprite, nullptr) << shape.label;
        EXPECT_EQ(p_sprite->getWidth(), shape.width) << shape.label;
        EXPECT_EQ(p_sprite->getHeight(), shape.height) << shape.label;
        EXPECT_EQ(p_sprite->getFrameCount(), shape.frames) << shape.label;
    }
    const std::string log = engine.log();
    EXPECT_EQ(log.find("not loaded"), std::string::npos) << log;
    EXPECT_EQ(log.find("NOT loaded"), std::string::npos) << log;
    EXPECT_EQ(log.find("Error"), std::string::npos) << log;
    engine.shutDown();
}

TEST(Resources, ShadowWorldSpritesLookDifferentFromTheLightWorld) {
    vltest::HeadlessEngine engine("frame_time:0,");
    ASSERT_EQ(engine.startUp(), 0);
    loadResources();
    vl::ResourceManager& resources = vl::ResourceManager::getInstance();
    for (const char* label : {"player", "platform", "long-platform", "wall", "short-wall", "lever",
                              "left-border", "right-border"}) {
        const vl::Sprite* p_light = resources.getSprite(label);
        const vl::Sprite* p_shadow = resources.getSprite(std::string(label) + "-shadow");
        ASSERT_NE(p_light, nullptr) << label;
        ASSERT_NE(p_shadow, nullptr) << label;
        EXPECT_NE(p_light->getColor(), p_shadow->getColor()) << label;
        EXPECT_NE(p_light->getFrame(0).getString(), p_shadow->getFrame(0).getString()) << label;
    }
    engine.shutDown();
}
