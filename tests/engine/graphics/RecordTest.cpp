// SPDX-License-Identifier: MIT
// Every record class: a record cut short at any byte fails with the stream message and changes nothing.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <sstream>
#include <string>

#include "PresentationSupport.h"
#include "TestSupport.h"
#include <veltrane/core/Box.h>
#include <veltrane/core/Vector.h>
#include <veltrane/graphics/Animation.h>
#include <veltrane/graphics/Shape.h>

namespace {

// Reads every prefix of changed's record into a fresh value, which must stay as fresh as it was.
template <typename T>
void expectCutShortRefused(const T& changed, const std::string& name, const std::string& log_path) {
    std::stringstream full;
    ASSERT_EQ(changed.serialize(full), 0) << name;
    std::stringstream untouched;
    T().serialize(untouched);
    for (size_t cut = 0; cut < full.str().size(); cut++) {
        std::stringstream stream(full.str().substr(0, cut));
        T target;
        EXPECT_EQ(target.deserialize(stream), -1) << name << " cut at " << cut;
        std::stringstream after;
        target.serialize(after);
        EXPECT_EQ(after.str(), untouched.str()) << name << " cut at " << cut;
    }
    EXPECT_NE(vltest::readFile(log_path).find(name + "::deserialize(): Error! Stream eof."),
              std::string::npos);
}

}  // namespace

TEST(Record, CutShortRecordsAreRefusedAndChangeNothing) {
    vltest::LoggedConfig config("headless:true");
    expectCutShortRefused(vl::Vector(3, -4), "Vector", config.logPath());
    expectCutShortRefused(vl::Box(vl::Vector(1, 2), 3, 4), "Box", config.logPath());
    vl::Shape shape;
    shape.setType(vl::SQUARE);
    shape.setSize(4);
    expectCutShortRefused(shape, "Shape", config.logPath());
    vl::Animation animation;
    animation.setName("walker");
    animation.setIndex(3);
    expectCutShortRefused(animation, "Animation", config.logPath());
}

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
