// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "WorldFixture.h"
#include <veltrane/core/Config.h>
#include <veltrane/graphics/DisplayManager.h>
#include <veltrane/world/Geometry.h>
#include <veltrane/world/Grid.h>
#include <veltrane/world/WorldManager.h>

using vltest::Probe;

namespace {

using Objects = std::vector<vl::Object*>;

Objects members(const vl::ObjectList& list) {
    Objects result;
    for (int i = 0; i < list.getCount(); i++) {
        result.push_back(list[i]);
    }
    return result;
}

const vl::Box SCREEN(vl::Vector(0, 0), 80, 24);

}  // namespace

TEST(Geometry, ClosedBoxesTouchingAtAnEdgeIntersect) {
    const vl::Box unit(vl::Vector(0, 0), 1, 1);
    const struct {
        vl::Box other;
        bool meets;
    } cases[] = {
        {vl::Box(vl::Vector(1, 1), 1, 1), true},          // corner to corner
        {vl::Box(vl::Vector(-5, 0.5f), 20, 0.1f), true},  // crossing, no corner inside
        {vl::Box(vl::Vector(0.2f, 0.2f), 0.5f, 0.5f), true},
        {vl::Box(vl::Vector(2, 0), 1, 1), false},
        {vl::Box(vl::Vector(0, 1.01f), 1, 1), false},
        {vl::Box(vl::Vector(-1.5f, 0), 1, 1), false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(vl::boxIntersectsBox(unit, c.other), c.meets) << c.other.toString();
        EXPECT_EQ(vl::boxIntersectsBox(c.other, unit), c.meets) << c.other.toString();
    }
    EXPECT_TRUE(vl::boxContainsPosition(unit, vl::Vector(1, 1)));
    EXPECT_FALSE(vl::boxContainsPosition(unit, vl::Vector(1.01f, 0.5f)));
    EXPECT_FALSE(vl::boxContainsPosition(unit, vl::Vector(0.5f, -0.01f)));
    EXPECT_FLOAT_EQ(vl::distance(vl::Vector(1, 1), vl::Vector(4, 5)), 5);
    vl::WorldManager::getInstance().setView(vl::Box(vl::Vector(10, 4), 80, 24));
    EXPECT_EQ(vl::worldToView(vl::Vector(12.5f, 7)), vl::Vector(2.5f, 3));
    EXPECT_EQ(vl::viewToWorld(vl::Vector(2.5f, 3)), vl::Vector(12.5f, 7));
}

TEST(Grid, SizeFollowsTheBoundaryAndTheConfiguredCells) {
    const struct {
        const char* config;
        float width, height;
        int cols, rows;
    } cases[] = {
        {"grid_width:20,grid_height:8", 80, 24, 4, 3},    {"grid_width:20,grid_height:8", 81, 24, 5, 3},
        {"grid_width:20,grid_height:8", 80, 24.5f, 4, 4}, {"grid_width:10,grid_height:4", 80, 24, 8, 6},
        {"grid_width:0,grid_height:-3", 80, 24, 4, 3},  // not positive: the defaults
    };
    for (const auto& c : cases) {
        vl::Config::getInstance().loadConfig(c.config);
        vltest::World world(c.width, c.height);
        const vl::Grid& grid = vl::WorldManager::getInstance().getSceneGraph().getGrid();
        EXPECT_EQ(grid.getNumCols(), c.cols) << c.config << " " << c.width;
        EXPECT_EQ(grid.getNumRows(), c.rows) << c.config << " " << c.height;
    }
    vltest::World world;
    vl::Grid grid;
    EXPECT_EQ(grid.startUp(vl::Box(vl::Vector(0, 0), 1.0e12f, 1.0e12f), 20, 8), -1);
    EXPECT_NE(world.log().find("needs too many cells"), std::string::npos);
    Probe probe;
    EXPECT_EQ(grid.insertObject(&probe), -1);
    EXPECT_TRUE(grid.getCollisions(&probe, vl::Vector(5, 5)).isEmpty());
    ASSERT_EQ(grid.startUp(SCREEN, 20, 8), 0);
    EXPECT_EQ(grid.startUp(SCREEN, 20, 8), -1);
    EXPECT_EQ(grid.insertObject(nullptr), -1);
}

// Which objects meet is checked against a scan in WorldInvariantTest; this is about their order.
TEST(Grid, CollisionsAreIntersectingOthersOnceInCellOrder) {
    vltest::World world;
    vl::Grid grid;
    ASSERT_EQ(grid.startUp(SCREEN, 20, 8), 0);
    Probe early(vl::Vector(1, 7.5f));  // cell (0, 0)
    Probe mover(vl::Vector(10, 4));
    Probe wide(vl::Vector(20, 9));  // in four cells
    wide.setBox(vl::Box(vl::Vector(-2, -2), 4, 4));
    Probe low(vl::Vector(17, 9));  // row 1
    Probe outside(vl::Vector(-0.4f, 8));
    outside.setBox(vl::Box(vl::Vector(-1, -1), 30, 2));  // outside, and across columns 0 and 1
    for (Probe* p : {&early, &mover, &wide, &low, &outside}) {
        grid.insertObject(p);
    }
    // Cell (0, 0), then (0, 1); the wide and the outside box are listed in both but reported once.
    mover.setBox(vl::Box(vl::Vector(-1.5f, -1.5f), 3, 2));
    EXPECT_EQ(members(grid.getCollisions(&mover, vl::Vector(18, 9))), (Objects{&wide, &outside, &low}));
    // A query reaching out of the world looks at the outside list first.
    EXPECT_EQ(members(grid.getCollisions(&mover, vl::Vector(0.5f, 8))), (Objects{&outside, &early}));
}
