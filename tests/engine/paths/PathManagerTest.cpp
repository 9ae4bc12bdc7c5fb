// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "HeadlessEngine.h"
#include "WorldFixture.h"
#include <veltrane/paths/PathFind.h>
#include <veltrane/paths/PathManager.h>
#include <veltrane/platform/Platform.h>
#include <veltrane/world/EventPath.h>
#include <veltrane/world/WorldManager.h>

using vltest::Probe;

namespace {

// Records the path events it gets, then lets the engine's default handling follow the path.
class Walker : public Probe {
public:
    explicit Walker(vl::Vector position) : Probe(position) {}
    int eventHandler(const vl::Event* p_e) override {
        if (p_e->getType() == vl::PATH_EVENT) {
            statuses.push_back(dynamic_cast<const vl::EventPath*>(p_e)->getStatus());
            paths.push_back(dynamic_cast<const vl::EventPath*>(p_e)->getPath());
        }
        return Probe::eventHandler(p_e);
    }
    std::vector<int> statuses;
    std::vector<vl::Path> paths;
};

class PathWorld : public vltest::World {
public:
    explicit PathWorld(float width = 80, float height = 24) : World(width, height) {
        vl::PathManager::getInstance().startUp();
    }
    ~PathWorld() { vl::PathManager::getInstance().shutDown(); }
};

vl::PathManager& pm() {
    return vl::PathManager::getInstance();
}

const int PLENTY_MS = 1000;  // a budget no small search comes near

// A clock that moves only by a fixed amount each time it is read.
struct SteppingClock {
    int64_t now = 0;
    int64_t step_us = 0;
    ~SteppingClock() { pm().setTimeSource(vl::platform::monotonicMicroseconds); }
    void install() {
        pm().setTimeSource([this] {
            const int64_t t = now;
            now += step_us;
            return t;
        });
    }
};

}  // namespace

TEST(PathManager, AFoundPathIsSentAndFollowedAndNoPathSendsAnEmptyOne) {
    PathWorld world(20, 10);
    auto* p_walker = new Walker(vl::Vector(2, 2));
    ASSERT_EQ(p_walker->findPath(vl::Vector(5, 2)), 0);
    EXPECT_TRUE(p_walker->isFindingPath());
    EXPECT_EQ(pm().getPendingCount(), 1);
    pm().cycle(PLENTY_MS);
    ASSERT_EQ(p_walker->statuses, std::vector<int>{vl::PATH_FOUND});
    EXPECT_EQ(pm().getPendingCount(), 0);
    EXPECT_FALSE(p_walker->isFindingPath());
    EXPECT_TRUE(p_walker->getFollowPath());
    EXPECT_EQ(p_walker->getPath().getCount(), 4);
    EXPECT_TRUE(p_walker->getModified() & vl::PATH);

    for (int y = 0; y < 10; y++) {
        new Probe(vl::Vector(10, static_cast<float>(y)));
    }
    ASSERT_EQ(p_walker->findPath(vl::Vector(15, 5)), 0);
    pm().cycle(PLENTY_MS);
    ASSERT_EQ(p_walker->statuses, (std::vector<int>{vl::PATH_FOUND, vl::NO_PATH}));
    EXPECT_EQ(p_walker->paths[1].getCount(), 0);
    EXPECT_FALSE(p_walker->isFindingPath());
}

TEST(PathManager, FollowingPassesWaypointsWithinThreeQuartersOfAStepAtOnce) {
    PathWorld world;
    auto* p_walker = new Walker(vl::Vector(0, 0));
    p_walker->setSpeed(1);
    p_walker->setPath(vl::Path({vl::Vector(1, 0), vl::Vector(1.2f, 0)}));
    p_walker->setFollowPath(true);
    EXPECT_EQ(p_walker->getDirection(), vl::Vector(1, 0));
    vl::WorldManager::getInstance().update();
    EXPECT_EQ(p_walker->getPosition(), vl::Vector(1.2f, 0));
    EXPECT_TRUE(p_walker->getPath().isDone());
    EXPECT_EQ(p_walker->getDirection(), vl::Vector(0, 0));
    EXPECT_FALSE(p_walker->getFollowPath());
}

TEST(PathManager, ANewSearchOrADeletionReplacesOrEndsTheOld) {
    PathWorld world;
    auto* p_walker = new Walker(vl::Vector(2, 2));
    auto* p_target = new Probe(vl::Vector(40, 10));
    ASSERT_EQ(p_walker->findPath(vl::Vector(30, 2)), 0);
    ASSERT_EQ(p_walker->findPath(p_target), 0);
    EXPECT_EQ(pm().getPendingCount(), 1);
    vl::WorldManager::getInstance().markForDelete(p_target);
    vl::WorldManager::getInstance().update();
    pm().cycle(PLENTY_MS);  // the target's last cell is walked to
    ASSERT_EQ(p_walker->statuses, std::vector<int>{vl::PATH_FOUND});
    EXPECT_EQ(p_walker->paths[0].getWaypoints().back(), vl::Vector(40, 10));

    ASSERT_EQ(p_walker->findPath(vl::Vector(70, 20)), 0);
    vl::WorldManager::getInstance().markForDelete(p_walker);
    vl::WorldManager::getInstance().update();
    EXPECT_EQ(pm().getPendingCount(), 0);
    pm().cycle(PLENTY_MS);  // nothing left to touch the deleted object
}

// Starting a search drops only the object's own, not the searches walking to it.
TEST(PathTargetSearch, ATargetStartingItsOwnSearchIsStillTouchedNotEntered) {
    PathWorld world;
    auto* p_target = new Probe(vl::Vector(10, 5), vl::SPECTRAL);
    p_target->setBox(vl::Box(vl::Vector(-1, -1), 3, 3));
    auto* p_walker = new Walker(vl::Vector(2, 5));
    ASSERT_EQ(p_walker->findPath(p_target), 0);
    ASSERT_EQ(p_target->findPath(vl::Vector(10, 15)), 0);
    pm().cycle(PLENTY_MS);
    ASSERT_EQ(p_walker->statuses, std::vector<int>{vl::PATH_FOUND});
    EXPECT_EQ(p_walker->paths[0].getWaypoints().back(), vl::Vector(9, 5));
}

TEST(PathManager, RefusesSearchesItCannotRun) {
    PathWorld world(20, 10);
    auto* p_walker = new Walker(vl::Vector(2, 2));
    EXPECT_EQ(p_walker->findPath(vl::Vector(25, 2)), -1);
    EXPECT_NE(world.log().find("Object::findPath(): Error! Object " + std::to_string(p_walker->getId()) +
                               ": goal (25,2) outside the world"),
              std::string::npos);
    p_walker->setPosition(vl::Vector(-3, 2));
    EXPECT_EQ(p_walker->findPath(vl::Vector(5, 2)), -1);
    EXPECT_NE(world.log().find(": start (-3,2) outside the world"), std::string::npos);
    EXPECT_EQ(p_walker->findPath(p_walker), -1);
    EXPECT_EQ(p_walker->findPath(static_cast<vl::Object*>(nullptr)), -1);
    EXPECT_NE(world.log().find("cannot walk to itself"), std::string::npos);
    EXPECT_EQ(pm().getPendingCount(), 0);

    vl::PathFind stray(p_walker, vl::Cell{0, 0}, vl::Cell{1, 1});
    vl::PathFind orphan(nullptr, vl::Cell{0, 0}, vl::Cell{1, 1});
    EXPECT_EQ(pm().removePathFind(nullptr) + pm().removePathFind(&stray) + pm().addPathFind(nullptr), -3);
    EXPECT_EQ(pm().addPathFind(&orphan), -1);
    ASSERT_EQ(pm().addPathFind(&stray), 0);
    EXPECT_EQ(pm().addPathFind(&stray), -1);
    EXPECT_EQ(pm().removePathFind(&stray), 0);

    pm().shutDown();
    p_walker->setPosition(vl::Vector(2, 2));
    EXPECT_EQ(p_walker->findPath(vl::Vector(5, 2)), -1);
    EXPECT_NE(world.log().find("Object::findPath(): Error! PathManager not started."), std::string::npos);
    pm().startUp();
}

namespace {

// The budget rules, with the game's frame time at 5 ms so that the floor is 0.
class PathBudget : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(m_engine.startUp(), 0);
        ASSERT_EQ(pm().getCycleTime(), 0);
        mp_walker = new Walker(vl::Vector(1, 1));
        ASSERT_EQ(mp_walker->findPath(vl::Vector(60, 20)), 0);
        m_clock.install();
    }
    void TearDown() override { m_engine.shutDown(); }

    vltest::HeadlessEngine m_engine{"frame_time:5,"};
    SteppingClock m_clock;
    Walker* mp_walker = nullptr;
};

}  // namespace

TEST_F(PathBudget, NoBudgetAndAStoppedClockDoNoWork) {
    m_clock.step_us = 0;
    pm().cycle(0);
    pm().cycle(-5);
    EXPECT_TRUE(mp_walker->statuses.empty());
    EXPECT_EQ(m_engine.log().find("cycle time"), std::string::npos);
    // One more millisecond of budget lets the search run to its end on the stopped clock.
    pm().cycle(1);
    EXPECT_EQ(mp_walker->statuses, std::vector<int>{vl::PATH_FOUND});
}

TEST_F(PathBudget, EachWalkStartsOnlyWhileTimeIsLeftAndStopsWhenASearchOverruns) {
    // A second search, after the walker's, whose progress shows how many walks ran.
    Probe other(vl::Vector(1, 3));
    vl::PathFind mine(&other, vl::Cell{1, 3}, vl::Cell{70, 3});
    ASSERT_EQ(pm().addPathFind(&mine), 0);
    // 5 ms per reading: the walker's search, first in the walk, already overruns a 6 ms budget.
    m_clock.step_us = 5000;
    pm().cycle(6);  // before the walk 5 < 6; after the walker's search 10 > 6: the walk ends
    EXPECT_EQ(mine.getExpandedCount(), 0);
    // Every reading of the clock is one millisecond later than the one before.
    m_clock.step_us = 1000;
    pm().cycle(3);  // 1 < 3: walk (2, 3 after the searches, neither over 3); 4 >= 3: stop
    EXPECT_EQ(mine.getExpandedCount(), 1);
    pm().cycle(5);  // 1: walk (2, 3); 4: walk (5, then 6 > 5 ends it); 7 >= 5: stop
    EXPECT_EQ(mine.getExpandedCount(), 3);
    pm().cycle(1);  // 1 >= 1: no walk at all
    EXPECT_EQ(mine.getExpandedCount(), 3);
    EXPECT_EQ(pm().removePathFind(&mine), 0);
}
