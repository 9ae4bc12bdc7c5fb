// SPDX-License-Identifier: MIT
// Frames, sprites and animation playback without a window: refusals, playback order and frozen frames.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PresentationSupport.h"
#include <veltrane/graphics/Animation.h>
#include <veltrane/graphics/DisplayManager.h>
#include <veltrane/graphics/Frame.h>
#include <veltrane/graphics/Sprite.h>

// Headless, drawable characters fail from the first one on; frames with nothing to draw succeed.
TEST(Frame, DrawsNothingWhenEmptyAndRefusesMoreCellsThanCharacters) {
    vltest::LoggedConfig config("headless:true");
    ASSERT_EQ(vl::DisplayManager::getInstance().startUp(), 0);
    const struct {
        vl::Frame frame;
        int result;
    } cases[] = {{vl::Frame(), 0},
                 {vl::Frame(3, 0, "abc"), 0},
                 {vl::Frame(1, 1, "a"), 0},
                 {vl::Frame(4, 3, "abcd"), -1},
                 {vl::Frame(-2, 2, "abcd"), -1}};
    for (const auto& c : cases) {
        EXPECT_EQ(c.frame.draw(vl::Vector(1, 1), vl::RED, 0), c.result) << c.frame.getString();
    }
    EXPECT_EQ(vl::DisplayManager::getInstance().getCells().at(1, 1).ch, 'a');
    EXPECT_EQ(vltest::countLines(vltest::logMessages(config.log()),
                                 "Frame::draw(): Error! 4 x 3 frame has only 4 characters."),
              1);
    vl::DisplayManager::getInstance().shutDown();
}

TEST(Sprite, RefusesFramesBeyondItsCapacityAndDrawsNothingOutOfRange) {
    vltest::LoggedConfig config("headless:true");
    vl::Sprite sprite(1);
    EXPECT_EQ(sprite.pushFrame(vl::Frame(2, 1, "ab")), 0);
    EXPECT_EQ(sprite.pushFrame(vl::Frame(2, 1, "ef")), -1);
    EXPECT_TRUE(sprite.getFrame(1).isEmpty() && sprite.getFrame(-1).isEmpty());
    EXPECT_EQ(sprite.draw(7, vl::Vector(1, 1), 0), 0);
    EXPECT_EQ(vl::Sprite(-3).pushFrame(vl::Frame(1, 1, "a")), -1);
    EXPECT_EQ(vltest::countLines(vltest::logMessages(config.log()),
                                 "Sprite::Sprite(): Error! Unable to allocate -3 frames."),
              1);
}

// Drawing fails without a started display, and playback goes on all the same.
TEST(Animation, PlaybackOrderFollowsSlowdownAndFreezes) {
    vltest::LoggedConfig config("headless:true");
    const struct {
        int frames, slowdown, start_index, start_count;
        std::vector<int> played;
    } cases[] = {
        {4, 2, 0, 0, {0, 0, 1, 1, 2, 2, 3, 3, 0, 0}},
        {3, 0, 0, 0, {0, 1, 2, 0, 1}},
        {4, 1, 2, -1, {2, 2, 2, 2}},  // a count of -1 freezes the frame
    };
    for (const auto& c : cases) {
        vl::Sprite sprite(c.frames);
        sprite.setSlowdown(c.slowdown);
        for (int i = 0; i < c.frames; i++) {
            EXPECT_EQ(0, sprite.pushFrame(vl::Frame(1, 1, std::string(1, static_cast<char>('0' + i)))));
        }
        vl::Animation animation;
        animation.setSprite(&sprite);
        animation.setIndex(c.start_index);
        animation.setSlowdownCount(c.start_count);
        std::vector<int> played;
        for (size_t i = 0; i < c.played.size(); i++) {
            played.push_back(animation.getIndex());
            EXPECT_EQ(animation.draw(vl::Vector(5, 5)), -1);
        }
        EXPECT_EQ(played, c.played) << c.slowdown;
        animation.setSprite(&sprite);  // a new sprite starts from its first frame
        EXPECT_EQ(animation.getIndex(), 0);
    }
    vl::Animation without_sprite;
    EXPECT_EQ(without_sprite.draw(vl::Vector(1, 1)), 0);
    // Just under a cell, so that it never touches what is in the neighbouring cells.
    EXPECT_EQ(without_sprite.getBox(), vl::Box(vl::Vector(-0.5f, -0.5f), 0.99f, 0.99f));
}
