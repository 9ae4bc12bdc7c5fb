// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>

#include "WorldFixture.h"
#include <veltrane/core/Config.h>
#include <veltrane/graphics/DisplayManager.h>
#include <veltrane/world/Grid.h>
#include <veltrane/world/WorldManager.h>

using vltest::Probe;

TEST(Geometry, ViewAndWorldPositionsDifferByTheViewCorner) {
    vltest::World world;
    vl::WorldManager::getInstance().setView(vl::Box(vl::Vector(10, 4), 80, 24));
    EXPECT_EQ(vl::worldToView(vl::Vector(12.5f, 7)), vl::Vector(2.5f, 3));
    EXPECT_EQ(vl::viewToWorld(vl::Vector(2.5f, 3)), vl::Vector(12.5f, 7));
}

TEST(Grid, SizeFollowsTheBoundaryAndTheConfiguredCellsAndRefusesTooMany) {
    const struct {
        const char* config;
        float width, height;
        int cols, rows;
    } cases[] = {
        {"grid_width:20,grid_height:8", 80, 24, 4, 3},
        {"grid_width:10,grid_height:4", 81, 24.5f, 9, 7},
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
    ASSERT_EQ(grid.startUp(vl::Box(vl::Vector(0, 0), 80, 24), 20, 8), 0);
    EXPECT_EQ(grid.startUp(vl::Box(vl::Vector(0, 0), 80, 24), 20, 8), -1);
    EXPECT_EQ(grid.insertObject(nullptr), -1);
}
