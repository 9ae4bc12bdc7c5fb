// SPDX-License-Identifier: MIT
// Shapes without a window: size, type checks and the 13-byte record.
#include <gtest/gtest.h>

#include <cmath>
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
    } cases[] = {{"headless:true,font_scale:2.0", 24.0f},  // 2.0 x trunc(12.8)
                 {"headless:true,font_scale:1.5,window_horizontal_pixels:1600,window_vertical_pixels:390",
                  24.0f}};  // cells 20 x 16.25: 1.5 x 16
    for (const auto& c : cases) {
        vltest::LoggedConfig config(c.config);
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
    EXPECT_EQ(shape.getType(), vl::TRIANGLE);
    shape.setType(-2);
    EXPECT_EQ(shape.getType(), vl::TRIANGLE);
    shape.setType(vl::UNDEFINED);
    EXPECT_EQ(shape.getType(), vl::UNDEFINED);
    const std::string messages = vltest::logMessages(config.log());
    EXPECT_EQ(vltest::countLines(messages, "Shape::setType(): Unknown shape type 3. Ignoring."), 1);
    EXPECT_EQ(vltest::countLines(messages, "Shape::setType(): Unknown shape type -2. Ignoring."), 1);
}

TEST(ShapeRecord, ThirteenBytesOfTypeSizeColourAndOpacity) {
    vltest::LoggedConfig config("headless:true");
    vl::Shape shape;
    shape.setType(vl::TRIANGLE);
    shape.setSize(7.5f);
    shape.setColor(vl::MAGENTA);
    shape.setOpacity(128);
    std::stringstream stream;
    ASSERT_EQ(shape.serialize(stream), 0);
    EXPECT_EQ(stream.str(), record(2, 7.5f, 5, 128));

    vl::Shape copy;
    ASSERT_EQ(copy.deserialize(stream), 0);
    EXPECT_EQ(copy.getType(), vl::TRIANGLE);
    EXPECT_FLOAT_EQ(copy.getSize(), 7.5f);
    EXPECT_EQ(copy.getColor(), vl::MAGENTA);
    EXPECT_EQ(copy.getOpacity(), 128);
}

TEST(ShapeRecord, ComponentsAreNotPartOfTheRecord) {
    vltest::LoggedConfig config("headless:true");
    vl::Shape custom;
    custom.setColor(1, 2, 3);
    std::stringstream stream;
    custom.serialize(stream);
    EXPECT_EQ(stream.str().size(), 13u);
    vl::Shape copy;
    copy.setColor(9, 9, 9);
    ASSERT_EQ(copy.deserialize(stream), 0);
    unsigned char r = 0, g = 0, b = 0;
    copy.getRGB(r, g, b);
    EXPECT_EQ(copy.getColor(), vl::CUSTOM);
    EXPECT_EQ(r, 9);
}

TEST(ShapeRecord, RecordsNoShapeCanHaveAreRefusedAndChangeNothing) {
    vltest::LoggedConfig config("headless:true");
    const std::string bad[] = {record(7, 3, 1, 255),
                               record(-5, 3, 1, 255),
                               record(0, 3, 9, 255),
                               record(0, 3, -1, 255),
                               record(0, std::numeric_limits<float>::quiet_NaN(), 1, 255),
                               record(0, std::numeric_limits<float>::infinity(), 1, 255)};
    for (const std::string& bytes : bad) {
        std::stringstream stream(bytes);
        vl::Shape shape;
        shape.setSize(11);
        EXPECT_EQ(shape.deserialize(stream), -1);
        EXPECT_EQ(shape.getType(), vl::CIRCLE);
        EXPECT_FLOAT_EQ(shape.getSize(), 11.0f);
        EXPECT_EQ(shape.getColor(), vl::WHITE);
    }
    const std::string messages = vltest::logMessages(config.log());
    EXPECT_EQ(vltest::countLines(messages, "Shape::deserialize(): Error! Unknown shape type 7."), 1);
    EXPECT_EQ(vltest::countLines(messages, "Shape::deserialize(): Error! Color 9 not supported."), 1);
    EXPECT_EQ(vltest::countLines(messages, "Shape::deserialize(): Error! Size is not a number."), 2);
}
