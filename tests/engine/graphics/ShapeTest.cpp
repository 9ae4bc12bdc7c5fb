// SPDX-License-Identifier: MIT
// Shapes without a window: size, type checks and the 13-byte record.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <sstream>
#include <string>

#include "PresentationSupport.h"
#include <veltrane/graphics/DisplayManager.h>
#include <veltrane/graphics/Shape.h>

namespace {

std::string record(int32_t type, float size, int32_t color, uint8_t opacity) {
    std::string bytes(13, '\0');
    std::memcpy(&bytes[0], &type, 4);
    std::memcpy(&bytes[4], &size, 4);
    std::memcpy(&bytes[8], &color, 4);
    std::memcpy(&bytes[12], &opacity, 1);
    return bytes;
}

}  // namespace

TEST(Shape, SizeFollowsTheScaleAndTheSmallerCellSide) {
    const struct {
        const char* config;
        float size;
    } cases[] = {{"font_scale:2.0,window_horizontal_pixels:1024,window_vertical_pixels:768,"
                  "window_horizontal_chars:80,window_vertical_chars:24",
                  24.0f},  // 2.0 x trunc(12.8)
                 {"font_scale:1.5,window_horizontal_pixels:1600,window_vertical_pixels:390",
                  24.0f}};  // cells 20 x 16.25: 1.5 x 16
    for (const auto& c : cases) {
        vltest::LoggedConfig config(std::string("headless:true,") + c.config);
        ASSERT_EQ(vl::DisplayManager::getInstance().startUp(), 0);
        EXPECT_FLOAT_EQ(vl::Shape().getSize(), c.size) << c.config;
        vl::DisplayManager::getInstance().shutDown();
    }
}

TEST(Shape, SetTypeAcceptsMinusOneToTwoOnly) {
    vltest::LoggedConfig config("headless:true");
    vl::Shape shape;
    shape.setType(vl::TRIANGLE);
    shape.setType(3);
    shape.setType(-2);
    EXPECT_EQ(shape.getType(), vl::TRIANGLE);
    shape.setType(vl::UNDEFINED);
    EXPECT_EQ(shape.getType(), vl::UNDEFINED);
    EXPECT_EQ(vltest::logMessages(config.log()), "Shape::setType(): Unknown shape type 3. Ignoring.\n"
                                                 "Shape::setType(): Unknown shape type -2. Ignoring.\n");
}

// The record holds the colour's name only: custom components stay as they were.
TEST(ShapeRecord, ThirteenBytesOfTypeSizeColourAndOpacity) {
    vltest::LoggedConfig config("headless:true");
    vl::Shape shape;
    shape.setType(vl::TRIANGLE);
    shape.setSize(7.5f);
    shape.setColor(1, 2, 3);
    shape.setOpacity(128);
    std::stringstream stream;
    ASSERT_EQ(shape.serialize(stream), 0);
    EXPECT_EQ(stream.str(), record(2, 7.5f, vl::CUSTOM, 128));
    vl::Shape copy;
    copy.setColor(9, 9, 9);
    ASSERT_EQ(copy.deserialize(stream), 0);
    std::stringstream again;
    copy.serialize(again);
    EXPECT_EQ(again.str(), record(2, 7.5f, vl::CUSTOM, 128));
    unsigned char r = 0, g = 0, b = 0;
    copy.getRGB(r, g, b);
    EXPECT_EQ(r, 9);
    vl::Shape undefined;  // a shape that is not drawn travels too
    undefined.setType(vl::UNDEFINED);
    std::stringstream none;
    undefined.serialize(none);
    ASSERT_EQ(copy.deserialize(none), 0);
    EXPECT_EQ(copy.getType(), vl::UNDEFINED);
}

TEST(ShapeRecord, RecordsNoShapeCanHaveAreRefusedAndChangeNothing) {
    vltest::LoggedConfig config("headless:true");
    const std::string bad[] = {record(7, 3, 1, 255),
                               record(-5, 3, 1, 255),
                               record(0, 3, 9, 255),
                               record(0, 3, -1, 255),
                               record(0, std::numeric_limits<float>::quiet_NaN(), 1, 255),
                               record(0, std::numeric_limits<float>::infinity(), 1, 255)};
    std::stringstream untouched;
    vl::Shape().serialize(untouched);
    for (const std::string& bytes : bad) {
        std::stringstream stream(bytes);
        vl::Shape shape;
        EXPECT_EQ(shape.deserialize(stream), -1);
        std::stringstream after;
        shape.serialize(after);
        EXPECT_EQ(after.str(), untouched.str());
    }
    const std::string messages = vltest::logMessages(config.log());
    EXPECT_EQ(vltest::countLines(messages, "Shape::deserialize(): Error! Unknown shape type 7."), 1);
    EXPECT_EQ(vltest::countLines(messages, "Shape::deserialize(): Error! Color 9 not supported."), 1);
    EXPECT_EQ(vltest::countLines(messages, "Shape::deserialize(): Error! Size is not a number."), 2);
}
