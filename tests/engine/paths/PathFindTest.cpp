// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "WorldFixture.h"
#include <veltrane/paths/PathFind.h>
#include <veltrane/world/WorldManager.h>

using vltest::Probe;

namespace {

std::vector<vl::Vector> cells(std::initializer_list<std::pair<int, int>> list) {
    std::vector<vl::Vector> out;
    for (const auto& c : list) {
        out.emplace_back(static_cast<float>(c.first), static_cast<float>(c.second));
    }
    return out;
}

// Runs a search to its end; the statuses of every step, the last one being the outcome.
std::vector<int> runToEnd(vl::PathFind& search, int max_steps = 100000) {
    std::vector<int> statuses;
    for (int i = 0; i < max_steps; i++) {
        statuses.push_back(search.cycleOnce());
        if (statuses.back() != vl::SEARCHING) {
            break;
        }
    }
    return statuses;
}

// Hard objects on every cell from (x0, y0) to (x1, y1), owned by the test.
std::vector<std::unique_ptr<Probe>> wall(int x0, int y0, int x1, int y1, vl::Solidness solidness = vl::HARD) {
    std::vector<std::unique_ptr<Probe>> out;
    for (int y = y0; y <= y1; y++) {
        for (int x = x0; x <= x1; x++) {
            out.push_back(std::make_unique<Probe>(vl::Vector(static_cast<float>(x), static_cast<float>(y)),
                                                  solidness, "Wall"));
        }
    }
    return out;
}

}  // namespace

TEST(PathFind, AStraightRowTakesOneExpansionPerCell) {
    vltest::World world;
    Probe walker(vl::Vector(0, 0));
    vl::PathFind search(&walker, vl::Cell{0, 0}, vl::Cell{3, 0});
    EXPECT_EQ(runToEnd(search),
              (std::vector<int>{vl::SEARCHING, vl::SEARCHING, vl::SEARCHING, vl::PATH_FOUND}));
    EXPECT_EQ(search.getExpandedCount(), 4);
    const vl::Path path = search.getPath();
    EXPECT_EQ(path.getWaypoints(), cells({{0, 0}, {1, 0}, {2, 0}, {3, 0}}));
    EXPECT_EQ(path.getIndex(), 0);
    // Asking again after the end changes nothing.
    EXPECT_EQ(search.cycleOnce(), vl::PATH_FOUND);
    EXPECT_EQ(search.getPath().getWaypoints(), path.getWaypoints());
}

TEST(PathFind, AnOpenWorldIsCrossedDiagonally) {
    vltest::World world;
    Probe walker(vl::Vector(0, 0));
    vl::PathFind search(&walker, vl::Cell{0, 0}, vl::Cell{2, 2});
    EXPECT_EQ(runToEnd(search).back(), vl::PATH_FOUND);
    EXPECT_EQ(search.getPath().getWaypoints(), cells({{0, 0}, {1, 1}, {2, 2}}));
}

TEST(PathFind, StartingOnTheGoalGivesAOnePointPath) {
    vltest::World world;
    Probe walker(vl::Vector(4, 4));
    vl::PathFind search(&walker, vl::Cell{4, 4}, vl::Cell{4, 4});
    EXPECT_EQ(search.cycleOnce(), vl::PATH_FOUND);
    EXPECT_EQ(search.getPath().getWaypoints(), cells({{4, 4}}));
}

TEST(PathFind, AWallWithoutAGapEndsTheSearchWithNoPath) {
    vltest::World world(20, 10);
    Probe walker(vl::Vector(2, 5));
    const auto blocks = wall(10, 0, 10, 9);
    vl::PathFind search(&walker, vl::Cell{2, 5}, vl::Cell{15, 5});
    const std::vector<int> statuses = runToEnd(search);
    EXPECT_EQ(statuses.back(), vl::NO_PATH);
    // Every cell left of the wall, and none beyond it, was expanded.
    EXPECT_EQ(search.getExpandedCount(), 10 * 10);
    EXPECT_FALSE(search.isFound());
    EXPECT_EQ(search.getPath().getCount(), 0);
}

TEST(PathFind, SoftAndSpectralObjectsNeverBlock) {
    vltest::World world(20, 10);
    Probe walker(vl::Vector(2, 5));
    const auto soft = wall(10, 0, 10, 9, vl::SOFT);
    const auto spectral = wall(12, 0, 12, 9, vl::SPECTRAL);
    vl::PathFind search(&walker, vl::Cell{2, 5}, vl::Cell{15, 5});
    EXPECT_EQ(runToEnd(search).back(), vl::PATH_FOUND);
    EXPECT_EQ(search.getPath().getCount(), 14);
}

TEST(PathFind, AHardObjectOnTheGoalDoesNotBlockTheCellsItCovers) {
    vltest::World world(20, 10);
    Probe walker(vl::Vector(1, 3));
    Probe crate(vl::Vector(6, 3));
    crate.setBox(vl::Box(vl::Vector(-1.5f, -0.5f), 2.99f, 0.99f));  // cells 5 to 7 of row 3
    vl::PathFind search(&walker, vl::Cell{1, 3}, vl::Cell{6, 3});
    EXPECT_EQ(runToEnd(search).back(), vl::PATH_FOUND);
    EXPECT_EQ(search.getPath().getWaypoints(), cells({{1, 3}, {2, 3}, {3, 3}, {4, 3}, {5, 3}, {6, 3}}));
}

TEST(PathFind, ATargetIsReachedWhereTheWalkerFirstTouchesIt) {
    vltest::World world(20, 10);
    Probe walker(vl::Vector(2, 3));
    Probe target(vl::Vector(10, 3));
    target.setBox(vl::Box(vl::Vector(-1.5f, -0.5f), 2.99f, 0.99f));  // x 8.5 to 11.49
    vl::PathFind search(&walker, vl::Cell{2, 3}, vl::Cell{10, 3}, &target);
    EXPECT_EQ(runToEnd(search).back(), vl::PATH_FOUND);
    // The walker's box at (9, 3) spans 8.5 to 9.49 and touches the target's left edge.
    EXPECT_EQ(search.getGoal(), (vl::Cell{9, 3}));
    EXPECT_EQ(search.getPath().getWaypoints().back(), vl::Vector(9, 3));
    EXPECT_EQ(search.getPath().getCount(), 8);
}

TEST(PathFind, ADiagonalMayCutACornerButNotPassBetweenTwo) {
    vltest::World world(20, 10);
    {
        Probe walker(vl::Vector(5, 5));
        Probe side(vl::Vector(6, 5));  // one side of the move up and right is blocked
        vl::PathFind search(&walker, vl::Cell{5, 5}, vl::Cell{6, 4});
        EXPECT_EQ(runToEnd(search).back(), vl::PATH_FOUND);
        EXPECT_EQ(search.getPath().getWaypoints(), cells({{5, 5}, {6, 4}}));
    }
    {
        Probe walker(vl::Vector(5, 5));
        Probe right(vl::Vector(6, 5));
        Probe above(vl::Vector(5, 4));  // both sides: the walker must go around
        vl::PathFind search(&walker, vl::Cell{5, 5}, vl::Cell{6, 4});
        EXPECT_EQ(runToEnd(search).back(), vl::PATH_FOUND);
        const std::vector<vl::Vector> path = search.getPath().getWaypoints();
        EXPECT_EQ(path.size(), 4u);
        for (const vl::Vector& at : path) {
            EXPECT_NE(at, vl::Vector(6, 5));
            EXPECT_NE(at, vl::Vector(5, 4));
        }
    }
}

TEST(PathFind, AmongEqualCostsTheCellFoundLastIsExpandedFirst) {
    vltest::World world(20, 12);
    Probe walker(vl::Vector(5, 5));
    const auto blocks = wall(4, 6, 6, 6);  // straight below the walker
    vl::PathFind search(&walker, vl::Cell{5, 5}, vl::Cell{5, 7});
    EXPECT_EQ(runToEnd(search).back(), vl::PATH_FOUND);
    // (4, 5) and (6, 5) cost the same; (6, 5) is found after (4, 5) and wins, and so on around the wall.
    EXPECT_EQ(search.getPath().getWaypoints(), cells({{5, 5}, {6, 5}, {7, 6}, {6, 7}, {5, 7}}));
}

TEST(PathFind, AWorldWithoutCellsReportsNoPath) {
    vltest::World world(0, 0);
    Probe walker(vl::Vector(0, 0));
    vl::PathFind search(&walker, vl::Cell{0, 0}, vl::Cell{1, 0});
    EXPECT_FALSE(search.hasNodes());
    EXPECT_EQ(search.cycleOnce(), vl::NO_PATH);
    EXPECT_NE(world.log().find("PathFind::cycleOnce(): node graph not allocated.  Cannot find path."),
              std::string::npos);
    EXPECT_EQ(search.getPath().getCount(), 0);

    vl::PathFind orphan(nullptr, vl::Cell{0, 0}, vl::Cell{1, 0});
    EXPECT_EQ(orphan.cycleOnce(), vl::NO_PATH);
}

TEST(PathFind, AStartOutsideTheWorldReportsNoPath) {
    vltest::World world(10, 10);
    Probe walker(vl::Vector(0, 0));
    vl::PathFind search(&walker, vl::Cell{-3, 20}, vl::Cell{1, 0});
    EXPECT_EQ(search.cycleOnce(), vl::NO_PATH);
    EXPECT_NE(world.log().find("start (-3,20) outside the world"), std::string::npos);
}

TEST(PathFind, TheSearchKeepsItsOwnGridWhenTheBoundaryChanges) {
    vltest::World world(10, 5);
    Probe walker(vl::Vector(1, 1));
    {
        vl::PathFind search(&walker, vl::Cell{1, 1}, vl::Cell{30, 20});  // beyond its grid: never reached
        vl::WorldManager::getInstance().setBoundary(vl::Box(vl::Vector(0, 0), 80, 24));
        EXPECT_EQ(runToEnd(search).back(), vl::NO_PATH);
        EXPECT_EQ(search.getExpandedCount(), 10 * 5);
    }
    vl::PathFind search(&walker, vl::Cell{1, 1}, vl::Cell{70, 20});
    vl::WorldManager::getInstance().setBoundary(vl::Box(vl::Vector(0, 0), 4, 4));
    EXPECT_EQ(runToEnd(search).back(), vl::PATH_FOUND);
}

TEST(PathFind, PositionsMapToTheirNearestCell) {
    EXPECT_EQ(vl::positionToCell(vl::Vector(2.4f, 2.5f)), (vl::Cell{2, 3}));
    EXPECT_EQ(vl::positionToCell(vl::Vector(-0.4f, -0.6f)), (vl::Cell{0, -1}));
    const vl::Cell far = vl::positionToCell(vl::Vector(1e20f, 0));
    EXPECT_LT(far.x, -1000000);  // outside every grid rather than undefined
    EXPECT_EQ(vl::cellToPosition(vl::Cell{7, -2}), vl::Vector(7, -2));
}
