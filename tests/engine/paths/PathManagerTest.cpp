// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "HeadlessEngine.h"
#include "WorldFixture.h"
#include <veltrane/paths/PathFind.h>
#include <veltrane/paths/PathManager.h>
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

vl::PathManager& pm() {
    return vl::PathManager::getInstance();
}

const int PLENTY_MS = 1000;  // a budget no small search comes near

}  // namespace

TEST(PathManager, AFoundPathIsSentAndFollowedAndNoPathSendsAnEmptyOne) {
    vltest::World world(20, 10);
    ASSERT_EQ(0, pm().startUp());
    auto* p_walker = new Walker(vl::Vector(2, 2));
    ASSERT_EQ(p_walker->findPath(vl::Vector(5, 2)), 0);
    EXPECT_TRUE(p_walker->isFindingPath());
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

// A path is walked at the object's speed: stopPath() stands it still at once and keeps the speed, while
// a zero velocity leaves every path found walked at speed 0, which is logged once.
TEST(PathManager, StopPathStandsStillAndAPathWalkedAtSpeedZeroIsLogged) {
    vltest::World world(20, 10);
    ASSERT_EQ(0, pm().startUp());
    vl::WorldManager& wm = vl::WorldManager::getInstance();
    auto* p_walker = new Walker(vl::Vector(2, 2));
    p_walker->setSpeed(0.5f);
    ASSERT_EQ(p_walker->findPath(vl::Vector(10, 2)), 0);
    pm().cycle(PLENTY_MS);
    wm.update();  // onto the start cell, turning toward the next
    wm.update();
    p_walker->stopPath();
    wm.update();
    EXPECT_EQ(p_walker->getPosition(), vl::Vector(2.5f, 2));
    EXPECT_FALSE(p_walker->getFollowPath());
    EXPECT_EQ(p_walker->getSpeed(), 0.5f);
    ASSERT_EQ(p_walker->findPath(vl::Vector(10, 2)), 0);
    p_walker->stopPath();
    EXPECT_FALSE(p_walker->isFindingPath());
    p_walker->setVelocity(vl::Vector(0, 0));
    for (int i = 0; i < 2; i++) {
        ASSERT_EQ(p_walker->findPath(vl::Vector(10, 2)), 0);
        pm().cycle(PLENTY_MS);
        wm.update();
    }
    EXPECT_EQ(p_walker->getPosition(), vl::Vector(2.5f, 2));
    EXPECT_EQ(vltest::countOccurrences(world.log(), "follows its path at speed 0 and stands still"), 1);
}

TEST(PathManager, ANewSearchOrADeletionReplacesOrEndsTheOld) {
    vltest::World world;
    ASSERT_EQ(0, pm().startUp());
    auto* p_walker = new Walker(vl::Vector(2, 2));
    auto* p_target = new Probe(vl::Vector(40, 10));
    ASSERT_EQ(p_walker->findPath(vl::Vector(30, 2)), 0);
    ASSERT_EQ(p_walker->findPath(p_target), 0);
    EXPECT_EQ(pm().getPendingCount(), 1);
    EXPECT_EQ(0, vl::WorldManager::getInstance().markForDelete(p_target));
    vl::WorldManager::getInstance().update();
    pm().cycle(PLENTY_MS);  // the target's last cell is walked to
    ASSERT_EQ(p_walker->statuses, std::vector<int>{vl::PATH_FOUND});
    EXPECT_EQ(p_walker->paths[0].getWaypoints().back(), vl::Vector(40, 10));
    ASSERT_EQ(p_walker->findPath(vl::Vector(70, 20)), 0);
    EXPECT_EQ(0, vl::WorldManager::getInstance().markForDelete(p_walker));
    vl::WorldManager::getInstance().update();
    EXPECT_EQ(pm().getPendingCount(), 0);
    pm().cycle(PLENTY_MS);  // nothing left to touch the deleted object
}

TEST(PathManager, RefusesSearchesItCannotRun) {
    vltest::World world(20, 10);
    ASSERT_EQ(0, pm().startUp());
    auto* p_walker = new Walker(vl::Vector(2, 2));
    EXPECT_EQ(p_walker->findPath(vl::Vector(25, 2)), -1);
    EXPECT_NE(world.log().find("Object::findPath(): Error! Object " + std::to_string(p_walker->getId()) +
                               ": goal (25,2) outside the world"),
              std::string::npos);
    p_walker->setPosition(vl::Vector(-3, 2));
    EXPECT_EQ(p_walker->findPath(vl::Vector(5, 2)), -1);
    EXPECT_NE(world.log().find(": start (-3,2) outside the world"), std::string::npos);
    EXPECT_EQ(p_walker->findPath(p_walker) + p_walker->findPath(static_cast<vl::Object*>(nullptr)), -2);
    EXPECT_NE(world.log().find("cannot walk to itself"), std::string::npos);
    EXPECT_EQ(pm().getPendingCount(), 0);
    vl::PathFind stray(p_walker, vl::Cell{0, 0}, vl::Cell{1, 1});
    vl::PathFind orphan(nullptr, vl::Cell{0, 0}, vl::Cell{1, 1});
    EXPECT_EQ(pm().removePathFind(nullptr) + pm().removePathFind(&stray) + pm().addPathFind(nullptr) +
                  pm().addPathFind(&orphan),
              -4);
    ASSERT_EQ(pm().addPathFind(&stray), 0);
    EXPECT_EQ(pm().addPathFind(&stray), -1);
    EXPECT_EQ(pm().removePathFind(&stray), 0);
    pm().shutDown();
    p_walker->setPosition(vl::Vector(2, 2));
    EXPECT_EQ(p_walker->findPath(vl::Vector(5, 2)), -1);
    EXPECT_NE(world.log().find("Object::findPath(): Error! PathManager not started."), std::string::npos);
}

// With a 5 ms frame the floor is 0: no budget means no work, even on a clock that never moves.
TEST(PathBudget, NoBudgetDoesNoWorkAndAMillisecondFinishesOnAStoppedClock) {
    vltest::HeadlessEngine engine("frame_time:5,");
    ASSERT_EQ(engine.startUp(), 0);
    auto* p_walker = new Walker(vl::Vector(1, 1));
    ASSERT_EQ(p_walker->findPath(vl::Vector(60, 20)), 0);
    pm().setTimeSource([] { return int64_t{0}; });
    pm().cycle(0);
    pm().cycle(-5);
    EXPECT_TRUE(p_walker->statuses.empty());
    EXPECT_EQ(engine.log().find("cycle time"), std::string::npos);
    pm().cycle(1);
    EXPECT_EQ(p_walker->statuses, std::vector<int>{vl::PATH_FOUND});
    engine.shutDown();
}
