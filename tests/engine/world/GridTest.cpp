// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "TestSupport.h"
#include "WorldFixture.h"
#include <veltrane/core/Config.h>
#include <veltrane/world/Grid.h>
#include <veltrane/world/WorldManager.h>

using vltest::Probe;

namespace {

std::vector<vl::Object*> members(const vl::ObjectList& list) {
    std::vector<vl::Object*> result;
    for (int i = 0; i < list.getCount(); i++) {
        result.push_back(list[i]);
    }
    return result;
}

using Objects = std::vector<vl::Object*>;
const vl::Box SCREEN(vl::Vector(0, 0), 80, 24);  // the World fixture's boundary

}  // namespace

TEST(Grid, SizeFromBoundaryAndCellSize) {
    vltest::World world(80, 24);
    const vl::Grid& grid = vl::WorldManager::getInstance().getSceneGraph().getGrid();
    EXPECT_EQ(grid.getNumCols(), 4);
    EXPECT_EQ(grid.getNumRows(), 3);

    vl::WorldManager::getInstance().setBoundary(vl::Box(vl::Vector(0, 0), 81, 24));
    EXPECT_EQ(grid.getNumCols(), 5);
    EXPECT_EQ(grid.getNumRows(), 3);
    vl::WorldManager::getInstance().setBoundary(vl::Box(vl::Vector(0, 0), 80, 24.5f));
    EXPECT_EQ(grid.getNumRows(), 4);
}

TEST(Grid, ConfiguredCellSizeAndNonPositiveSizesFallBack) {
    vl::Config::getInstance().loadConfig("grid_width:10,grid_height:4");
    {
        vltest::World world(80, 24);
        const vl::Grid& grid = vl::WorldManager::getInstance().getSceneGraph().getGrid();
        EXPECT_EQ(grid.getNumCols(), 8);
        EXPECT_EQ(grid.getNumRows(), 6);
    }
    vl::Config::getInstance().loadConfig("grid_width:0,grid_height:-3");
    vltest::World world(80, 24);
    const vl::Grid& grid = vl::WorldManager::getInstance().getSceneGraph().getGrid();
    EXPECT_EQ(grid.getCellWidth(), 20);
    EXPECT_EQ(grid.getCellHeight(), 8);
    EXPECT_EQ(grid.getNumCols(), 4);
    EXPECT_NE(world.log().find("grid_width 0 is not positive; using 20."), std::string::npos);
    EXPECT_NE(world.log().find("grid_height -3 is not positive; using 8."), std::string::npos);
}

TEST(Grid, AbsurdBoundaryIsRefusedNotAllocated) {
    vltest::World world(80, 24);
    vl::Grid grid;
    EXPECT_EQ(grid.startUp(vl::Box(vl::Vector(0, 0), 1.0e12f, 1.0e12f), 20, 8), -1);
    EXPECT_FALSE(grid.isStarted());
    EXPECT_NE(world.log().find("needs too many cells"), std::string::npos);
}

TEST(Grid, StartingTwiceWarnsAndQueriesBeforeStartFail) {
    vltest::World world;
    Probe probe(vl::Vector(5, 5));
    vl::Grid grid;
    EXPECT_TRUE(grid.getCollisions(&probe, vl::Vector(5, 5)).isEmpty());
    EXPECT_EQ(grid.insertObject(&probe), -1);
    EXPECT_EQ(grid.removeObject(&probe), -1);
    EXPECT_EQ(grid.updatePosition(&probe, vl::Vector(6, 5)), -1);
    const std::string before = world.log();
    EXPECT_NE(before.find("Grid::getCollisions(): Error! grid is NULL"), std::string::npos);
    EXPECT_NE(before.find("Grid::insertObject(): Error! grid is NULL"), std::string::npos);
    EXPECT_NE(before.find("Grid::removeObject(): Error! grid is NULL"), std::string::npos);
    EXPECT_NE(before.find("Grid::updatePosition(): Error! grid is NULL"), std::string::npos);

    EXPECT_EQ(grid.startUp(SCREEN, 20, 8), 0);
    EXPECT_EQ(grid.startUp(SCREEN, 20, 8), -1);
    EXPECT_NE(world.log().find("Grid::startUp(): Warning! Grid allocated. Not proceeding."),
              std::string::npos);
    EXPECT_EQ(grid.insertObject(nullptr), -1);
    EXPECT_TRUE(grid.getCollisions(nullptr, vl::Vector()).isEmpty());
    EXPECT_NE(world.log().find("Grid::insertObject(): Error! Object is NULL"), std::string::npos);
    EXPECT_NE(world.log().find("Grid::getCollisions(): Error! Object is NULL"), std::string::npos);
}

TEST(Grid, ObjectIsListedInEveryCellItsBoxTouches) {
    vltest::World world;
    vl::Grid grid;
    ASSERT_EQ(grid.startUp(SCREEN, 20, 8), 0);
    Probe a(vl::Vector(19.5f, 4));  // spans x 19.0 to 19.99
    Probe b(vl::Vector(20, 4));     // spans x 19.5 to 20.49
    grid.insertObject(&a);
    grid.insertObject(&b);
    EXPECT_EQ(members(grid.getCell(0, 0)), (Objects{&a, &b}));
    EXPECT_EQ(members(grid.getCell(1, 0)), (Objects{&b}));
    EXPECT_TRUE(grid.getCell(-1, -1).isEmpty());

    // A big box covers a block of cells.
    Probe big(vl::Vector(30, 12));
    big.setBox(vl::Box(vl::Vector(-12, -5), 24, 10));  // x 18..42, y 7..17
    grid.insertObject(&big);
    for (int row = 0; row < 3; row++) {
        for (int col = 0; col < 4; col++) {
            const bool expected = col <= 2 && row <= 2;
            const Objects cell = members(grid.getCell(col, row));
            EXPECT_EQ(std::find(cell.begin(), cell.end(), &big) != cell.end(), expected) << col << "," << row;
        }
    }
    EXPECT_EQ(grid.checkConsistency(vl::WorldManager::getInstance().getSceneGraph().solidObjects()), 0);

    grid.removeObject(&b);
    EXPECT_EQ(members(grid.getCell(0, 0)), (Objects{&a, &big}));
    EXPECT_EQ(members(grid.getCell(1, 0)), (Objects{&big}));
}

TEST(Grid, OutsideListHoldsBoxesReachingOutTheWorld) {
    vltest::World world;
    vl::Grid grid;
    ASSERT_EQ(grid.startUp(SCREEN, 20, 8), 0);
    Probe edge(vl::Vector(0.2f, 4));  // x from -0.3
    Probe gone(vl::Vector(-50, -50));
    Probe far_right(vl::Vector(500, 4));
    grid.insertObject(&edge);
    grid.insertObject(&gone);
    grid.insertObject(&far_right);
    EXPECT_EQ(members(grid.getCell(-1, -1)), (Objects{&edge, &gone, &far_right}));
    EXPECT_EQ(members(grid.getCell(0, 0)), (Objects{&edge}));
    for (int col = 1; col < 4; col++) {
        EXPECT_TRUE(grid.getCell(col, 0).isEmpty());
    }

    grid.updatePosition(&edge, vl::Vector(1, 4));
    edge.setPosition(vl::Vector(1, 4));
    EXPECT_EQ(members(grid.getCell(-1, -1)), (Objects{&gone, &far_right}));
    EXPECT_EQ(members(grid.getCell(0, 0)), (Objects{&edge}));

    // Far outside moving back in enters only the cells it lands in.
    grid.updatePosition(&gone, vl::Vector(70, 20));
    gone.setPosition(vl::Vector(70, 20));
    EXPECT_EQ(members(grid.getCell(-1, -1)), (Objects{&far_right}));
    EXPECT_EQ(members(grid.getCell(3, 2)), (Objects{&gone}));
}

TEST(Grid, MovingEditsOnlyTheCellsEnteredAndLeft) {
    vltest::World world;
    vl::Grid grid;
    ASSERT_EQ(grid.startUp(SCREEN, 20, 8), 0);
    Probe mover(vl::Vector(20, 4));  // columns 0 and 1
    Probe other(vl::Vector(22, 4));  // column 1
    Probe corner(vl::Vector(2, 2));  // column 0
    grid.insertObject(&mover);
    grid.insertObject(&other);
    grid.insertObject(&corner);
    // Within the same cells: the cell's order shows nothing was removed and re-added.
    grid.updatePosition(&mover, vl::Vector(20.2f, 5));
    mover.setPosition(vl::Vector(20.2f, 5));
    EXPECT_EQ(members(grid.getCell(0, 0)), (Objects{&mover, &corner}));
    // Leaving column 0 for column 1 only: column 1 keeps its order, column 0 loses it.
    grid.updatePosition(&mover, vl::Vector(25, 5));
    mover.setPosition(vl::Vector(25, 5));
    EXPECT_EQ(members(grid.getCell(0, 0)), (Objects{&corner}));
    EXPECT_EQ(members(grid.getCell(1, 0)), (Objects{&mover, &other}));
    // And on into column 2 across a corner: rows and columns change together.
    grid.updatePosition(&mover, vl::Vector(40, 8));
    mover.setPosition(vl::Vector(40, 8));
    EXPECT_EQ(members(grid.getCell(1, 0)), (Objects{&mover, &other}));
    EXPECT_EQ(members(grid.getCell(2, 0)), (Objects{&mover}));
    EXPECT_EQ(members(grid.getCell(1, 1)), (Objects{&mover}));
    EXPECT_EQ(members(grid.getCell(2, 1)), (Objects{&mover}));
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

    // Query box x 16.5..19.5, y 7.5..9.5: cell (0, 0), then (0, 1); the wide box and the long
    // outside one are listed in both but reported once.
    mover.setBox(vl::Box(vl::Vector(-1.5f, -1.5f), 3, 2));
    EXPECT_EQ(members(grid.getCollisions(&mover, vl::Vector(18, 9))), (Objects{&wide, &outside, &low}));
    // A query reaching out of the world looks at the outside list first.
    EXPECT_EQ(members(grid.getCollisions(&mover, vl::Vector(0.5f, 8))), (Objects{&outside, &early}));
    // Touching edges count: the wide box starts at x 18.
    mover.setBox(vl::Box(vl::Vector(-0.5f, -0.5f), 1, 1));
    EXPECT_EQ(members(grid.getCollisions(&mover, vl::Vector(17.5f, 11))), (Objects{&wide}));
    // Never itself.
    EXPECT_TRUE(grid.getCollisions(&apart, apart.getPosition()).isEmpty());
}
