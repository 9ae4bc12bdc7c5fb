// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "TestSupport.h"
#include <veltrane/core/Box.h>
#include <veltrane/core/LogManager.h>
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

class RecordTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_log_path = vltest::tempPath("record.log");
        setenv("VELTRANE_LOG", m_log_path.c_str(), 1);
        ASSERT_EQ(vl::LogManager::getInstance().startUp(), 0);
        vl::LogManager::getInstance().setFlush(true);
    }
    void TearDown() override { vl::LogManager::getInstance().shutDown(); }
    std::string log() const { return vltest::readFile(m_log_path); }

private:
    std::string m_log_path;
};

vl::Path twoStepPath() {
    return vl::Path({vl::Vector(1, 1), vl::Vector(2, 1)});
}

}  // namespace

TEST(Path, WalksItsWaypointsInOrderAndStopsAtTheEnd) {
    vl::Path path = twoStepPath();
    EXPECT_FALSE(path.isDone());
    EXPECT_EQ(path.getCurrent(), vl::Vector(1, 1));
    path.next();
    EXPECT_EQ(path.getCurrent(), vl::Vector(2, 1));
    path.next();
    EXPECT_TRUE(path.isDone());
    EXPECT_EQ(path.getCurrent(), vl::Vector(0, 0));
    path.next().next();
    EXPECT_EQ(path.getIndex(), 2);

    const vl::Path empty;
    EXPECT_TRUE(empty.isDone());
    EXPECT_EQ(empty.getCurrent(), vl::Vector(0, 0));
}

TEST(Path, NewWaypointsKeepTheIndexAndCopiesAreIndependent) {
    vl::Path path = twoStepPath();
    path.next();
    vl::Path copy = path;
    path.setWaypoints({vl::Vector(5, 5), vl::Vector(6, 6), vl::Vector(7, 7)});
    EXPECT_EQ(path.getIndex(), 1);
    EXPECT_EQ(path.getCurrent(), vl::Vector(6, 6));
    EXPECT_EQ(copy.getCurrent(), vl::Vector(2, 1));
    EXPECT_EQ(copy.getIndex(), 1);
}

TEST(Path, TextListsEveryWaypointFollowedByABar) {
    EXPECT_EQ(vl::Path({vl::Vector(1.5f, 2), vl::Vector(-3, 0.25f)}).toString(), "(1.5,2)|(-3,0.25)|");
    EXPECT_EQ(vl::Path().toString(), "");
}

TEST_F(RecordTest, VectorsAndBoxesWriteTheirFloatsInOrder) {
    std::stringstream ss;
    ASSERT_EQ(vl::Vector(1.5f, -2).serialize(ss), 0);
    EXPECT_EQ(ss.str(), bytesOf(1.5f) + bytesOf(-2.0f));

    std::stringstream box_ss;
    ASSERT_EQ(vl::Box(vl::Vector(-0.5f, 3), 0.99f, 7).serialize(box_ss), 0);
    EXPECT_EQ(box_ss.str(), bytesOf(-0.5f) + bytesOf(3.0f) + bytesOf(0.99f) + bytesOf(7.0f));

    vl::Vector v;
    ASSERT_EQ(v.deserialize(ss), 0);
    EXPECT_EQ(v, vl::Vector(1.5f, -2));
    vl::Box b;
    ASSERT_EQ(b.deserialize(box_ss), 0);
    EXPECT_EQ(b, vl::Box(vl::Vector(-0.5f, 3), 0.99f, 7));
}

TEST_F(RecordTest, AShortRecordLeavesVectorsAndBoxesAsTheyWere) {
    std::stringstream ss(bytesOf(4.0f) + "\x01\x02");
    vl::Vector v(9, 9);
    EXPECT_EQ(v.deserialize(ss), -1);
    EXPECT_EQ(v, vl::Vector(9, 9));
    EXPECT_NE(log().find("Vector::deserialize(): Error! Stream eof."), std::string::npos);

    std::stringstream box_ss(bytesOf(1.0f) + bytesOf(2.0f) + bytesOf(3.0f));
    const vl::Box before(vl::Vector(7, 7), 1, 1);
    vl::Box b = before;
    EXPECT_EQ(b.deserialize(box_ss), -1);
    EXPECT_EQ(b, before);
    EXPECT_NE(log().find("Box::deserialize(): Error! Stream eof."), std::string::npos);
}

TEST_F(RecordTest, PathsWriteTheirCountAndWaypointsButNotTheIndex) {
    vl::Path path = twoStepPath();
    path.next();
    std::stringstream ss;
    ASSERT_EQ(path.serialize(ss), 0);
    EXPECT_EQ(ss.str(), bytesOf(uint64_t{2}) + bytesOf(1.0f) + bytesOf(1.0f) + bytesOf(2.0f) + bytesOf(1.0f));

    vl::Path read_back({vl::Vector(8, 8)});
    read_back.next();
    ASSERT_EQ(read_back.deserialize(ss), 0);
    EXPECT_EQ(read_back.getWaypoints(), twoStepPath().getWaypoints());
    EXPECT_EQ(read_back.getIndex(), 0);

    std::stringstream empty_ss;
    ASSERT_EQ(vl::Path().serialize(empty_ss), 0);
    EXPECT_EQ(empty_ss.str(), bytesOf(uint64_t{0}));
    ASSERT_EQ(read_back.deserialize(empty_ss), 0);
    EXPECT_EQ(read_back.getCount(), 0);
}

TEST_F(RecordTest, APathCountBeyondTheRecordIsRefusedBeforeAllocating) {
    const vl::Path before = twoStepPath();
    for (const uint64_t count : {uint64_t{3}, uint64_t{1} << 40, UINT64_MAX}) {
        // Two waypoints' worth of bytes follow, whatever the count claims.
        std::stringstream ss(bytesOf(count) + std::string(16, '\0'));
        vl::Path path = before;
        EXPECT_EQ(path.deserialize(ss), -1) << count;
        EXPECT_TRUE(path == before) << count;
    }
    const std::string text = log();
    EXPECT_NE(text.find("Path::deserialize(): Error! Cannot allocate 24 bytes."), std::string::npos);
    EXPECT_NE(text.find("Path::deserialize(): Error! Cannot allocate 2147483647 bytes."), std::string::npos);
    EXPECT_NE(text.find("Path::deserialize(): Error! Stream fail."), std::string::npos);
}

TEST_F(RecordTest, APathCutShortIsNotApplied) {
    std::stringstream ss(bytesOf(uint64_t{2}) + bytesOf(3.0f) + bytesOf(4.0f) + bytesOf(5.0f) +
                         bytesOf(6.0f));
    // One byte short of the two waypoints the count announces.
    std::string cut = ss.str();
    cut.pop_back();
    std::stringstream short_ss(cut);
    vl::Path path = twoStepPath();
    EXPECT_EQ(path.deserialize(short_ss), -1);
    EXPECT_TRUE(path == twoStepPath());
    EXPECT_NE(log().find("Cannot allocate 16 bytes."), std::string::npos);
}
