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

// The cells of a 4 by 3 grid (and the outside list, "-1,-1") that list the object.
std::string cellsOf(const vl::Grid& grid, const vl::Object* p_o) {
    std::string where;
    for (int row = -1; row < 3; row++) {
        for (int col = (row < 0 ? -1 : 0); col < (row < 0 ? 0 : 4); col++) {
            where += grid.getCell(col, row).contains(p_o)
                         ? std::to_string(col) + "," + std::to_string(row) + " "
                         : "";
        }
    }
    return where;
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

TEST(Grid, AnObjectIsListedInEveryCellItsBoxTouchesOrOutside) {
    vltest::World world;
    vl::Grid grid;
    ASSERT_EQ(grid.startUp(SCREEN, 20, 8), 0);
    const struct {
        vl::Vector position;
        vl::Box box;
        const char* cells;
    } cases[] = {
        {vl::Vector(19.5f, 4), vl::Box(vl::Vector(-0.5f, -0.5f), 0.99f, 0.99f), "0,0 "},  // x 19..19.99
        {vl::Vector(20, 4), vl::Box(vl::Vector(-0.5f, -0.5f), 0.99f, 0.99f), "0,0 1,0 "},
        {vl::Vector(30, 12), vl::Box(vl::Vector(-12, -5), 24, 10), "0,0 1,0 2,0 0,1 1,1 2,1 0,2 1,2 2,2 "},
        {vl::Vector(0.2f, 4), vl::Box(vl::Vector(-0.5f, -0.5f), 0.99f, 0.99f), "-1,-1 0,0 "},
        {vl::Vector(-50, -50), vl::Box(vl::Vector(-0.5f, -0.5f), 0.99f, 0.99f), "-1,-1 "},
        {vl::Vector(500, 4), vl::Box(vl::Vector(-0.5f, -0.5f), 0.99f, 0.99f), "-1,-1 "},
    };
    for (const auto& c : cases) {
        Probe probe(c.position);
        probe.setBox(c.box);
        ASSERT_EQ(grid.insertObject(&probe), 0);
        EXPECT_EQ(cellsOf(grid, &probe), c.cells) << c.position.toString();
        ASSERT_EQ(grid.updatePosition(&probe, vl::Vector(50, 12)), 0);
        probe.setPosition(vl::Vector(50, 12));
        const bool big = c.box.getHorizontal() > 20;
        EXPECT_EQ(cellsOf(grid, &probe), big ? "1,0 2,0 3,0 1,1 2,1 3,1 1,2 2,2 3,2 " : "2,1 ");
        ASSERT_EQ(grid.removeObject(&probe), 0);
        EXPECT_EQ(cellsOf(grid, &probe), "");
    }
}

TEST(Grid, CollisionsAreIntersectingOthersOnceInCellOrder) {
    vltest::World world;
    vl::Grid grid;
    ASSERT_EQ(grid.startUp(SCREEN, 20, 8), 0);
    Probe early(vl::Vector(1, 7.5f));  // cell (0, 0)
    Probe mover(vl::Vector(10, 4));
    Probe apart(vl::Vector(12, 4));  // same cell, boxes do not meet
    Probe wide(vl::Vector(20, 9));   // in four cells
    wide.setBox(vl::Box(vl::Vector(-2, -2), 4, 4));
    Probe low(vl::Vector(17, 9));  // row 1
    Probe outside(vl::Vector(-0.4f, 8));
    outside.setBox(vl::Box(vl::Vector(-1, -1), 30, 2));  // outside, and across columns 0 and 1
    for (Probe* p : {&early, &mover, &apart, &wide, &low, &outside}) {
        grid.insertObject(p);
    }
    EXPECT_TRUE(grid.getCollisions(&mover, vl::Vector(10, 4)).isEmpty());
    EXPECT_EQ(members(grid.getCollisions(&mover, vl::Vector(11.5f, 4))), (Objects{&apart}));
    // Cell (0, 0), then (0, 1); the wide and the outside box are listed in both but reported once.
    mover.setBox(vl::Box(vl::Vector(-1.5f, -1.5f), 3, 2));
    EXPECT_EQ(members(grid.getCollisions(&mover, vl::Vector(18, 9))), (Objects{&wide, &outside, &low}));
    // A query reaching out of the world looks at the outside list first.
    EXPECT_EQ(members(grid.getCollisions(&mover, vl::Vector(0.5f, 8))), (Objects{&outside, &early}));
    mover.setBox(vl::Box(vl::Vector(-0.5f, -0.5f), 1, 1));
    EXPECT_TRUE(grid.getCollisions(&apart, apart.getPosition()).isEmpty());  // never itself
}

TEST(Grid, ObjectsMadeBeforeABoundaryChangeStillCollideAndAreTyped) {
    vltest::World world(80, 24);
    vl::WorldManager& wm = vl::WorldManager::getInstance();
    Probe wall(vl::Vector(30, 10), vl::HARD, "Wall");
    Probe mover(vl::Vector(28, 10), vl::HARD, "Mover");
    wm.setBoundary(vl::Box(vl::Vector(0, 0), 200, 50));
    EXPECT_EQ(wm.getSceneGraph().getGrid().getNumCols(), 10);
    EXPECT_TRUE(wm.getSceneGraph().objectsOfType("Wall").contains(&wall));
    EXPECT_EQ(wm.moveObject(&mover, vl::Vector(29.5f, 10)), -1);
    EXPECT_EQ(mover.collisions, 1);
    EXPECT_EQ(wm.checkConsistency(), 0);
}
