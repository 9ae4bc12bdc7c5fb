// SPDX-License-Identifier: MIT
// Frames, sprites and animation playback without a window: capacities, playback order, boxes, records.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "PresentationSupport.h"
#include <veltrane/graphics/Animation.h>
#include <veltrane/graphics/DisplayManager.h>
#include <veltrane/graphics/Frame.h>
#include <veltrane/graphics/Sprite.h>

namespace {

// A sprite of frame_count 1 x 1 frames whose characters are '0', '1', ...
std::unique_ptr<vl::Sprite> makeSprite(int frame_count, int slowdown, const std::string& label = "blob") {
    auto p_sprite = std::make_unique<vl::Sprite>(frame_count);
    p_sprite->setWidth(1);
    p_sprite->setHeight(1);
    p_sprite->setSlowdown(slowdown);
    p_sprite->setLabel(label);
    for (int i = 0; i < frame_count; i++) {
        p_sprite->pushFrame(vl::Frame(1, 1, std::string(1, static_cast<char>('0' + i))));
    }
    return p_sprite;
}

}  // namespace

// Headless, drawable characters fail from the first one on; frames with nothing to draw succeed.
TEST(Frame, DrawsNothingWhenEmptyAndRefusesMoreCellsThanCharacters) {
    vltest::LoggedConfig config("headless:true");
    ASSERT_EQ(vl::DisplayManager::getInstance().startUp(), 0);
    const struct {
        vl::Frame frame;
        int result;
    } cases[] = {{vl::Frame(), 0},
                 {vl::Frame(3, 0, "abc"), 0},
                 {vl::Frame(1, 1, "a"), -1},
                 {vl::Frame(4, 3, "abcd"), -1},
                 {vl::Frame(-2, 2, "abcd"), -1}};
    for (const auto& c : cases) {
        EXPECT_EQ(c.frame.draw(vl::Vector(1, 1), vl::RED, 0), c.result) << c.frame.getString();
    }
    EXPECT_EQ(vltest::countLines(vltest::logMessages(config.log()),
                                 "Frame::draw(): Error! 4 x 3 frame has only 4 characters."),
              1);
    vl::DisplayManager::getInstance().shutDown();
}

TEST(Sprite, AcceptsFramesUpToItsCapacity) {
    vltest::LoggedConfig config("headless:true");
    vl::Sprite sprite(2);
    EXPECT_EQ(sprite.pushFrame(vl::Frame(2, 1, "ab")), 0);
    EXPECT_EQ(sprite.pushFrame(vl::Frame(2, 1, "cd")), 0);
    EXPECT_EQ(sprite.pushFrame(vl::Frame(2, 1, "ef")), -1);
    EXPECT_EQ(sprite.getFrameCount(), 2);
    EXPECT_EQ(sprite.getFrame(1).getString(), "cd");
    EXPECT_TRUE(sprite.getFrame(2).isEmpty());
    EXPECT_TRUE(sprite.getFrame(-1).isEmpty());
    EXPECT_EQ(sprite.draw(7, vl::Vector(1, 1), 0), 0);  // out of range: nothing to draw
    for (int capacity : {-3, 2000000000}) {
        vl::Sprite none(capacity);
        EXPECT_EQ(none.pushFrame(vl::Frame(1, 1, "a")), -1);
        EXPECT_EQ(vltest::countLines(vltest::logMessages(config.log()),
                                     "Sprite::Sprite(): Error! Unable to allocate " +
                                         std::to_string(capacity) + " frames."),
                  1);
    }
}

// Drawing fails without a started display, and playback goes on all the same.
TEST(Animation, PlaybackOrderFollowsSlowdownAndFreezes) {
    vltest::LoggedConfig config("headless:true");
    const struct {
        int frames, slowdown, start_index, start_count;
        std::vector<int> played;
    } cases[] = {
        {4, 2, 0, 0, {0, 0, 1, 1, 2, 2, 3, 3, 0, 0}},
        {3, 1, 0, 0, {0, 1, 2, 0, 1}},
        {3, 0, 0, 0, {0, 1, 2, 0, 1}},
        {4, 1, 2, -1, {2, 2, 2, 2, 2, 2}},  // a count of -1 freezes the frame
    };
    for (const auto& c : cases) {
        const std::unique_ptr<vl::Sprite> p_sprite = makeSprite(c.frames, c.slowdown);
        vl::Animation animation;
        animation.setSprite(p_sprite.get());
        animation.setIndex(c.start_index);
        animation.setSlowdownCount(c.start_count);
        std::vector<int> played;
        for (size_t i = 0; i < c.played.size(); i++) {
            played.push_back(animation.getIndex());
            EXPECT_EQ(animation.draw(vl::Vector(5, 5)), -1);
        }
        EXPECT_EQ(played, c.played) << c.slowdown;
        EXPECT_EQ(animation.getSlowdownCount() == -1, c.start_count == -1);
    }
    vl::Animation without_sprite;
    EXPECT_EQ(without_sprite.draw(vl::Vector(1, 1)), 0);
    EXPECT_EQ(without_sprite.getIndex(), 0);
}

TEST(Animation, SetSpriteTakesTheLabelAndRestartsButKeepsTheCounter) {
    const std::unique_ptr<vl::Sprite> p_sprite = makeSprite(3, 4, "runner");
    vl::Animation animation;
    animation.setIndex(2);
    animation.setSlowdownCount(3);
    animation.setModified(false);
    animation.setSprite(p_sprite.get());
    EXPECT_EQ(animation.getName(), "runner");
    EXPECT_EQ(animation.getIndex(), 0);
    EXPECT_EQ(animation.getSlowdownCount(), 3);
    EXPECT_TRUE(animation.isModified());
    animation.setSprite(nullptr);
    EXPECT_EQ(animation.getName(), "runner");  // kept, so the sprite can be found again
}

TEST(Animation, SettersMarkModifiedOnlyOnChange) {
    vl::Animation animation;
    animation.setModified(false);
    animation.setIndex(0);
    animation.setSlowdownCount(0);
    EXPECT_FALSE(animation.isModified());
    animation.setIndex(1);
    EXPECT_TRUE(animation.isModified());
    animation.setModified(false);
    animation.setSlowdownCount(-1);
    EXPECT_TRUE(animation.isModified());
}

TEST(Animation, BoxCoversTheSpriteOrJustUnderOneCell) {
    vl::Sprite sprite(1);
    sprite.setWidth(5);
    sprite.setHeight(3);
    vl::Animation animation;
    EXPECT_EQ(animation.getBox(), vl::Box(vl::Vector(-0.5f, -0.5f), 0.99f, 0.99f));
    animation.setSprite(&sprite);
    EXPECT_EQ(animation.getBox(), vl::Box(vl::Vector(-2.5f, -1.5f), 5, 3));
}

TEST(AnimationRecord, WritesNameLengthNameIndexAndCount) {
    vltest::LoggedConfig config("headless:true");
    vl::Animation animation;
    animation.setName("abc");
    animation.setIndex(258);
    animation.setSlowdownCount(-1);
    std::stringstream stream;
    ASSERT_EQ(animation.serialize(stream), 0);
    const uint64_t length = 3;
    const int32_t numbers[] = {258, -1};
    std::string expected(reinterpret_cast<const char*>(&length), 8);
    expected += "abc" + std::string(reinterpret_cast<const char*>(numbers), 8);
    EXPECT_EQ(stream.str(), expected);
    vl::Animation copy;
    ASSERT_EQ(copy.deserialize(stream), 0);
    EXPECT_EQ(copy.getName(), "abc");
    EXPECT_EQ(copy.getIndex(), 258);
    EXPECT_EQ(copy.getSlowdownCount(), -1);
}
