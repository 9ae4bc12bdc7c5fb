// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <sstream>
#include <string>

#include "WorldFixture.h"
#include <veltrane/core/Box.h>
#include <veltrane/core/Vector.h>
#include <veltrane/world/Path.h>

namespace {

// The record bytes of values in machine order, assembled by hand.
template <typename T>
std::string bytesOf(T value) {
    std::string out(sizeof(T), '\0');
    std::memcpy(&out[0], &value, sizeof(T));
    return out;
}

std::string floats(float a, float b) {
    return bytesOf(a) + bytesOf(b);
}

}  // namespace

TEST(Path, WalksItsWaypointsInOrderAndStopsAtTheEnd) {
    vl::Path path({vl::Vector(1, 1), vl::Vector(2, 1)});
    EXPECT_EQ(path.getCurrent(), vl::Vector(1, 1));
    path.next();
    vl::Path copy = path;
    EXPECT_EQ(path.getCurrent(), vl::Vector(2, 1));
    EXPECT_FALSE(path.isDone());
    path.next().next();
    EXPECT_TRUE(path.isDone());
    EXPECT_EQ(path.getIndex(), 2);
    EXPECT_EQ(path.getCurrent(), vl::Vector(0, 0));
    copy.setWaypoints({vl::Vector(5, 5), vl::Vector(6, 6), vl::Vector(7, 7)});  // keeps its index
    EXPECT_EQ(copy.getCurrent(), vl::Vector(6, 6));
    EXPECT_TRUE(vl::Path().isDone());
}

TEST(PathRecords, VectorsBoxesAndPathsRoundTripAndRefuseShortOrAbsurdRecords) {
    vltest::World world;
    vl::Path path({vl::Vector(1, 1), vl::Vector(2, 1)});
    path.next();
    std::stringstream written;
    ASSERT_EQ(vl::Vector(1.5f, -2).serialize(written), 0);
    ASSERT_EQ(vl::Box(vl::Vector(-0.5f, 3), 0.99f, 7).serialize(written), 0);
    ASSERT_EQ(path.serialize(written), 0);  // the count and the waypoints, not the index
    EXPECT_EQ(written.str(), floats(1.5f, -2) + floats(-0.5f, 3) + floats(0.99f, 7) + bytesOf(uint64_t{2}) +
                                 floats(1, 1) + floats(2, 1));
    vl::Vector v;
    vl::Box b;
    vl::Path read_back({vl::Vector(8, 8)});
    read_back.next();
    ASSERT_EQ(v.deserialize(written) + b.deserialize(written) + read_back.deserialize(written), 0);
    EXPECT_EQ(v, vl::Vector(1.5f, -2));
    EXPECT_EQ(b, vl::Box(vl::Vector(-0.5f, 3), 0.99f, 7));
    EXPECT_EQ(read_back.getWaypoints(), path.getWaypoints());
    EXPECT_EQ(read_back.getIndex(), 0);

    // Every refused record leaves the value as it was.
    const struct {
        std::string bytes;
        std::function<int(std::stringstream&)> read;
        const char* message;
    } refused[] = {
        {bytesOf(4.0f) + "\x01\x02", [&](std::stringstream& in) { return v.deserialize(in); },
         "Vector::deserialize(): Error! Stream eof."},
        {bytesOf(1.0f) + floats(2, 3), [&](std::stringstream& in) { return b.deserialize(in); },
         "Box::deserialize(): Error! Stream eof."},
        {bytesOf(uint64_t{3}) + std::string(16, '\0'),
         [&](std::stringstream& in) { return read_back.deserialize(in); },
         "Path::deserialize(): Error! Cannot allocate 24 bytes."},
        {bytesOf(uint64_t{1} << 40) + std::string(16, '\0'),
         [&](std::stringstream& in) { return read_back.deserialize(in); },
         "Path::deserialize(): Error! Cannot allocate 2147483647 bytes."},
        {bytesOf(UINT64_MAX) + std::string(16, '\0'),
         [&](std::stringstream& in) { return read_back.deserialize(in); },
         "Path::deserialize(): Error! Stream fail."},
        {bytesOf(uint64_t{2}) + floats(3, 4) + floats(5, 6).substr(1),
         [&](std::stringstream& in) { return read_back.deserialize(in); }, "Cannot allocate 16 bytes."},
    };
    for (const auto& r : refused) {
        std::stringstream in(r.bytes);
        EXPECT_EQ(r.read(in), -1) << r.message;
        EXPECT_NE(world.log().find(r.message), std::string::npos) << r.message;
    }
    EXPECT_EQ(v, vl::Vector(1.5f, -2));
    EXPECT_EQ(b, vl::Box(vl::Vector(-0.5f, 3), 0.99f, 7));
    EXPECT_EQ(read_back.getWaypoints(), path.getWaypoints());
}
