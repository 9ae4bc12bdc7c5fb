// SPDX-License-Identifier: MIT
// Records of shapes and animations: damaged records are refused and change nothing.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <sstream>
#include <string>

#include "PresentationSupport.h"
#include <veltrane/graphics/Animation.h>
#include <veltrane/graphics/Shape.h>

namespace {

// A shape record: type, size, colour and opacity.
std::string shapeRecord(int32_t type, float size, int32_t color, uint8_t opacity) {
    std::string bytes(13, '\0');
    std::memcpy(&bytes[0], &type, 4);
    std::memcpy(&bytes[4], &size, 4);
    std::memcpy(&bytes[8], &color, 4);
    std::memcpy(&bytes[12], &opacity, 1);
    return bytes;
}

}  // namespace

// A name longer than the rest of the record is refused before anything is allocated.
TEST(Record, NameLongerThanTheRestIsRefusedWithoutAllocating) {
    vltest::LoggedConfig config("headless:true");
    const struct {
        uint64_t length;
        const char* message;
    } cases[] = {{0x7fffffffffffULL, "Cannot allocate 2147483647 bytes."}, {4, "Cannot allocate 4 bytes."}};
    for (const auto& c : cases) {
        std::string bytes(8, '\0');
        std::memcpy(&bytes[0], &c.length, 8);
        std::stringstream stream(bytes + "abc");
        vl::Animation target;
        EXPECT_EQ(target.deserialize(stream), -1);
        EXPECT_EQ(vltest::countLines(vltest::logMessages(config.log()),
                                     std::string("Animation::deserialize(): Error! ") + c.message),
                  1);
        EXPECT_EQ(target.getName(), "");
    }
}

TEST(ShapeRecord, ShapesTravelWholeEvenWhenNotDrawn) {
    vltest::LoggedConfig config("headless:true");
    for (const int type : {vl::TRIANGLE, vl::UNDEFINED}) {
        vl::Shape shape;
        shape.setType(type);
        shape.setSize(7.5f);
        shape.setColor(vl::CYAN);
        shape.setOpacity(128);
        std::stringstream stream;
        ASSERT_EQ(shape.serialize(stream), 0);
        EXPECT_EQ(stream.str(), shapeRecord(type, 7.5f, vl::CYAN, 128));
        vl::Shape copy;
        ASSERT_EQ(copy.deserialize(stream), 0) << type;
        std::stringstream again;
        EXPECT_EQ(0, copy.serialize(again));
        EXPECT_EQ(again.str(), shapeRecord(type, 7.5f, vl::CYAN, 128));
    }
}

TEST(ShapeRecord, RecordsNoShapeCanHaveAreRefusedAndChangeNothing) {
    vltest::LoggedConfig config("headless:true");
    const std::string bad[] = {shapeRecord(7, 3, 1, 255),
                               shapeRecord(-5, 3, 1, 255),
                               shapeRecord(0, 3, 9, 255),
                               shapeRecord(0, 3, -1, 255),
                               shapeRecord(0, std::numeric_limits<float>::quiet_NaN(), 1, 255),
                               shapeRecord(0, std::numeric_limits<float>::infinity(), 1, 255)};
    std::stringstream untouched;
    EXPECT_EQ(0, vl::Shape().serialize(untouched));
    for (const std::string& bytes : bad) {
        std::stringstream stream(bytes);
        vl::Shape shape;
        EXPECT_EQ(shape.deserialize(stream), -1);
        std::stringstream after;
        EXPECT_EQ(0, shape.serialize(after));
        EXPECT_EQ(after.str(), untouched.str());
    }
    vl::Shape shape;
    shape.setType(3);
    shape.setType(-2);
    EXPECT_EQ(shape.getType(), vl::CIRCLE);
    const std::string messages = vltest::logMessages(config.log());
    EXPECT_EQ(vltest::countLines(messages, "Shape::deserialize(): Error! Unknown shape type 7."), 1);
    EXPECT_EQ(vltest::countLines(messages, "Shape::deserialize(): Error! Color 9 not supported."), 1);
    EXPECT_EQ(vltest::countLines(messages, "Shape::deserialize(): Error! Size is not a number."), 2);
    EXPECT_EQ(vltest::countLines(messages, "Shape::setType(): Unknown shape type 3. Ignoring."), 1);
    EXPECT_EQ(vltest::countLines(messages, "Shape::setType(): Unknown shape type -2. Ignoring."), 1);
}
