// SPDX-License-Identifier: MIT
// Frames, sprites and animation playback without a window: capacities, playback order, boxes, records.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
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
vl::Sprite* makeSprite(int frame_count, int slowdown, const std::string& label = "blob") {
    auto* p_sprite = new vl::Sprite(frame_count);
    p_sprite->setWidth(1);
    p_sprite->setHeight(1);
    p_sprite->setSlowdown(slowdown);
    p_sprite->setLabel(label);
    for (int i = 0; i < frame_count; i++) {
        p_sprite->pushFrame(vl::Frame(1, 1, std::string(1, static_cast<char>('0' + i))));
    }
    return p_sprite;
}

std::vector<int> playedIndices(vl::Animation& animation, int draws) {
    std::vector<int> indices;
    for (int i = 0; i < draws; i++) {
        indices.push_back(animation.getIndex());
        animation.draw(vl::Vector(5, 5));
    }
    return indices;
}

}  // namespace

TEST(Frame, EmptyOrRowlessFramesDrawNothingAndSucceed) {
    vltest::LoggedConfig config("headless:true");
    ASSERT_EQ(vl::DisplayManager::getInstance().startUp(), 0);
    EXPECT_EQ(vl::Frame().draw(vl::Vector(1, 1), vl::RED, 0), 0);
    EXPECT_EQ(vl::Frame(3, 0, "abc").draw(vl::Vector(1, 1), vl::RED, 0), 0);
    // Drawable characters fail headless, from the first one on.
    EXPECT_EQ(vl::Frame(1, 1, "a").draw(vl::Vector(1, 1), vl::RED, 0), -1);
}

TEST(Frame, FrameClaimingMoreCellsThanCharactersIsRefused) {
    vltest::LoggedConfig config("headless:true");
    ASSERT_EQ(vl::DisplayManager::getInstance().startUp(), 0);
    EXPECT_EQ(vl::Frame(4, 3, "abcd").draw(vl::Vector(1, 1), vl::RED, 0), -1);
    EXPECT_EQ(vl::Frame(-2, 2, "abcd").draw(vl::Vector(1, 1), vl::RED, 0), -1);
    EXPECT_NE(config.log().find("Frame::draw(): Error! 4 x 3 frame has only 4 characters."),
              std::string::npos);
}

TEST(Sprite, AcceptsFramesUpToItsCapacity) {
    vl::Sprite sprite(2);
    EXPECT_EQ(sprite.pushFrame(vl::Frame(2, 1, "ab")), 0);
    EXPECT_EQ(sprite.pushFrame(vl::Frame(2, 1, "cd")), 0);
    EXPECT_EQ(sprite.pushFrame(vl::Frame(2, 1, "ef")), -1);
    EXPECT_EQ(sprite.getFrameCount(), 2);
    EXPECT_EQ(sprite.getFrame(0).getString(), "ab");
    EXPECT_EQ(sprite.getFrame(1).getString(), "cd");
    EXPECT_TRUE(sprite.getFrame(2).isEmpty());
    EXPECT_TRUE(sprite.getFrame(-1).isEmpty());
    EXPECT_EQ(sprite.draw(7, vl::Vector(1, 1), 0), 0);  // out of range: nothing to draw
}

TEST(Sprite, NegativeOrAbsurdCapacityLeavesRoomForNone) {
    vltest::LoggedConfig config("headless:true");
    vl::Sprite negative(-3);
    vl::Sprite absurd(2000000000);
    EXPECT_EQ(negative.getMaxFrameCount(), 0);
    EXPECT_EQ(absurd.getMaxFrameCount(), 0);
    EXPECT_EQ(negative.pushFrame(vl::Frame(1, 1, "a")), -1);
    EXPECT_EQ(absurd.pushFrame(vl::Frame(1, 1, "a")), -1);
    const std::string messages = vltest::logMessages(config.log());
    EXPECT_EQ(vltest::countLines(messages, "Sprite::Sprite(): Error! Unable to allocate -3 frames."), 1);
    EXPECT_EQ(vltest::countLines(messages, "Sprite::Sprite(): Error! Unable to allocate 2000000000 frames."),
              1);
}

TEST(Animation, SlowdownTwoShowsEachOfFourFramesTwice) {
    vltest::LoggedConfig config("headless:true");
    ASSERT_EQ(vl::DisplayManager::getInstance().startUp(), 0);
    vl::Sprite* p_sprite = makeSprite(4, 2);
    vl::Animation animation;
    animation.setSprite(p_sprite);
    EXPECT_EQ(playedIndices(animation, 10), (std::vector<int>{0, 0, 1, 1, 2, 2, 3, 3, 0, 0}));
    delete p_sprite;
}

TEST(Animation, SlowdownZeroOrOneChangesFrameOnEveryDraw) {
    vltest::LoggedConfig config("headless:true");
    for (int slowdown : {0, 1}) {
        vl::Sprite* p_sprite = makeSprite(3, slowdown);
        vl::Animation animation;
        animation.setSprite(p_sprite);
        EXPECT_EQ(playedIndices(animation, 5), (std::vector<int>{0, 1, 2, 0, 1})) << slowdown;
        delete p_sprite;
    }
}

TEST(Animation, FrozenAnimationKeepsItsFrameAndCounter) {
    vltest::LoggedConfig config("headless:true");
    vl::Sprite* p_sprite = makeSprite(4, 1);
    vl::Animation animation;
    animation.setSprite(p_sprite);
    animation.setIndex(2);
    animation.setSlowdownCount(-1);
    EXPECT_EQ(playedIndices(animation, 6), (std::vector<int>{2, 2, 2, 2, 2, 2}));
    EXPECT_EQ(animation.getSlowdownCount(), -1);
    delete p_sprite;
}

TEST(Animation, AdvancesEvenWhenDrawingFailsHeadless) {
    vltest::LoggedConfig config("headless:true");
    ASSERT_EQ(vl::DisplayManager::getInstance().startUp(), 0);
    vl::Sprite* p_sprite = makeSprite(2, 1);
    vl::Animation animation;
    animation.setSprite(p_sprite);
    EXPECT_EQ(animation.draw(vl::Vector(3, 3)), -1);
    EXPECT_EQ(animation.getIndex(), 1);
    EXPECT_EQ(animation.draw(vl::Vector(3, 3)), -1);
    EXPECT_EQ(animation.getIndex(), 0);
    delete p_sprite;
}

TEST(Animation, WithoutSpriteDrawsNothingAndSucceeds) {
    vl::Animation animation;
    EXPECT_EQ(animation.draw(vl::Vector(1, 1)), 0);
    EXPECT_EQ(animation.getIndex(), 0);
    EXPECT_EQ(animation.getSlowdownCount(), 0);
}

TEST(Animation, SetSpriteTakesTheLabelAndRestartsButKeepsTheCounter) {
    vl::Sprite* p_sprite = makeSprite(3, 4, "runner");
    vl::Animation animation;
    animation.setIndex(2);
    animation.setSlowdownCount(3);
    animation.setModified(false);
    animation.setSprite(p_sprite);
    EXPECT_EQ(animation.getSprite(), p_sprite);
    EXPECT_EQ(animation.getName(), "runner");
    EXPECT_EQ(animation.getIndex(), 0);
    EXPECT_EQ(animation.getSlowdownCount(), 3);
    EXPECT_TRUE(animation.isModified());
    animation.setSprite(nullptr);
    EXPECT_EQ(animation.getName(), "runner");  // kept, so the sprite can be found again
    delete p_sprite;
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
    const std::string bytes = stream.str();
    ASSERT_EQ(bytes.size(), 8u + 3u + 8u);
    uint64_t length = 0;
    int32_t index = 0;
    int32_t count = 0;
    std::memcpy(&length, bytes.data(), 8);
    std::memcpy(&index, bytes.data() + 11, 4);
    std::memcpy(&count, bytes.data() + 15, 4);
    EXPECT_EQ(length, 3u);
    EXPECT_EQ(bytes.substr(8, 3), "abc");
    EXPECT_EQ(index, 258);
    EXPECT_EQ(count, -1);

    vl::Animation copy;
    ASSERT_EQ(copy.deserialize(stream), 0);
    EXPECT_EQ(copy.getName(), "abc");
    EXPECT_EQ(copy.getIndex(), 258);
    EXPECT_EQ(copy.getSlowdownCount(), -1);
    EXPECT_EQ(copy.getSprite(), nullptr);
}

TEST(AnimationRecord, CutShortRecordFailsAndChangesNothing) {
    vltest::LoggedConfig config("headless:true");
    vl::Animation source;
    source.setName("walker");
    source.setIndex(3);
    std::stringstream full;
    source.serialize(full);
    const std::string bytes = full.str();
    for (size_t cut : {size_t(0), size_t(5), size_t(8), size_t(12), bytes.size() - 1}) {
        std::stringstream stream(bytes.substr(0, cut));
        vl::Animation target;
        target.setName("keep");
        EXPECT_EQ(target.deserialize(stream), -1) << cut;
        EXPECT_EQ(target.getName(), "keep") << cut;
        EXPECT_EQ(target.getIndex(), 0) << cut;
    }
    EXPECT_NE(config.log().find("Animation::deserialize(): Error! Stream eof."), std::string::npos);
}

TEST(AnimationRecord, AbsurdNameLengthIsRefusedWithoutAllocating) {
    vltest::LoggedConfig config("headless:true");
    std::string bytes(8, '\0');
    const uint64_t length = 0x7fffffffffffULL;
    std::memcpy(&bytes[0], &length, 8);
    bytes += "short name and some bytes";
    std::stringstream stream(bytes);
    vl::Animation target;
    EXPECT_EQ(target.deserialize(stream), -1);
    const std::string messages = vltest::logMessages(config.log());
    EXPECT_EQ(
        vltest::countLines(messages, "Animation::deserialize(): Error! Cannot allocate 2147483647 bytes."), 1)
        << messages;
    EXPECT_EQ(target.getName(), "");
}
