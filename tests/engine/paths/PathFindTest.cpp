// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "WorldFixture.h"
#include <veltrane/paths/PathFind.h>
#include <veltrane/world/WorldManager.h>

using vltest::Probe;

namespace {

using Cells = std::set<std::pair<int, int>>;

// Runs a search to its end; returns the last status.
int runToEnd(vl::PathFind& search) {
    int status = vl::SEARCHING;
    for (int i = 0; i < 100000 && status == vl::SEARCHING; i++) {
        status = search.cycleOnce();
    }
    return status;
}

Cells cellsOf(const vl::Path& path) {
    Cells cells;
    for (const vl::Vector& at : path.getWaypoints()) {
        cells.insert({static_cast<int>(at.getX()), static_cast<int>(at.getY())});
    }
    return cells;
}

// A world as wide and high as the map: S start, G goal, X both, * the path's other cells,
// # hard, s soft, ~ spectral objects.
struct MapCase {
    const char* name;
    std::vector<std::string> map;
    int status;
    int expanded;  // -1: not checked
    int count;     // waypoints when the path is not drawn
};

}  // namespace

TEST(PathFind, SmallMaps) {
    const MapCase cases[] = {
        {"straight row", {"S**G"}, vl::PATH_FOUND, 4, 0},
        {"open diagonal", {"S..", ".*.", "..G"}, vl::PATH_FOUND, -1, 0},
        {"start on goal", {"...", ".X.", "..."}, vl::PATH_FOUND, -1, 0},
        {"corner cut", {".....", "..G..", ".S#..", "....."}, vl::PATH_FOUND, -1, 0},
        {"between two corners", {".....", ".#G..", ".S#..", "....."}, vl::PATH_FOUND, -1, 4},
        {"last found first",
         {"...........", "...........", "...........", ".....S*....", "....###*...", ".....G*....",
          "...........", "..........."},
         vl::PATH_FOUND,
         -1,
         0},
        {"wall without gap",
         {"..........#.........", "..........#.........", "..........#.........", "..........#.........",
          "..S.......#....G....", "..........#.........", "..........#.........", "..........#.........",
          "..........#.........", "..........#........."},
         vl::NO_PATH,
         10 * 10,
         0},
        {"soft and spectral",
         {"..........s.~.......", "..........s.~.......", "..S*******s*~**G....", "..........s.~......."},
         vl::PATH_FOUND,
         -1,
         14},
    };
    for (const MapCase& c : cases) {
        const int height = static_cast<int>(c.map.size());
        const int width = static_cast<int>(c.map[0].size());
        vltest::World world(static_cast<float>(width), static_cast<float>(height));
        std::vector<std::unique_ptr<Probe>> objects;
        vl::Cell start{0, 0};
        vl::Cell goal{0, 0};
        Cells drawn;
        for (int y = 0; y < height; y++) {
            for (int x = 0; x < width; x++) {
                const char at = c.map[y][x];
                const vl::Vector where(static_cast<float>(x), static_cast<float>(y));
                start = at == 'S' || at == 'X' ? vl::Cell{x, y} : start;
                goal = at == 'G' || at == 'X' ? vl::Cell{x, y} : goal;
                if (at == 'S' || at == 'G' || at == 'X' || at == '*') {
                    drawn.insert({x, y});
                }
                if (at == '#' || at == 's' || at == '~') {
                    objects.push_back(std::make_unique<Probe>(where,
                                                              at == '#'   ? vl::HARD
                                                              : at == 's' ? vl::SOFT
                                                                          : vl::SPECTRAL,
                                                              "Wall"));
                }
            }
        }
        Probe walker(vl::Vector(static_cast<float>(start.x), static_cast<float>(start.y)));
        vl::PathFind search(&walker, start, goal);
        EXPECT_EQ(runToEnd(search), c.status) << c.name;
        if (c.expanded >= 0) {
            EXPECT_EQ(search.getExpandedCount(), c.expanded) << c.name;
        }
        if (c.status == vl::NO_PATH) {
            EXPECT_EQ(search.getPath().getCount(), 0) << c.name;
            continue;
        }
        EXPECT_EQ(search.cycleOnce(), vl::PATH_FOUND)
            << c.name;  // asking again after the end changes nothing
        const vl::Path path = search.getPath();
        EXPECT_EQ(path.getWaypoints().front(),
                  vl::Vector(static_cast<float>(start.x), static_cast<float>(start.y)));
        EXPECT_EQ(path.getWaypoints().back(),
                  vl::Vector(static_cast<float>(goal.x), static_cast<float>(goal.y)));
        if (c.count > 0) {
            EXPECT_EQ(path.getCount(), c.count) << c.name;
            continue;
        }
        EXPECT_EQ(path.getCount(), static_cast<int>(drawn.size())) << c.name;
        EXPECT_EQ(cellsOf(path), drawn) << c.name;
    }
}

TEST(PathFind, ObjectsOnTheGoalAndTargetsEndTheWalkWhereItTouches) {
    vltest::World world(20, 10);
    Probe walker(vl::Vector(1, 3));
    Probe crate(vl::Vector(6, 3));
    crate.setBox(vl::Box(vl::Vector(-1.5f, -0.5f), 2.99f, 0.99f));  // cells 5 to 7 of row 3
    vl::PathFind to_cell(&walker, vl::Cell{1, 3}, vl::Cell{6, 3});
    EXPECT_EQ(runToEnd(to_cell), vl::PATH_FOUND);  // the cells it covers do not block its own goal
    EXPECT_EQ(to_cell.getPath().getCount(), 6);
    vl::PathFind to_target(&walker, vl::Cell{1, 3}, vl::Cell{6, 3}, &crate);
    EXPECT_EQ(runToEnd(to_target), vl::PATH_FOUND);
    // The walker's box at (5, 3) spans 4.5 to 5.49 and touches the crate's left edge.
    EXPECT_EQ(to_target.getGoal(), (vl::Cell{5, 3}));
    EXPECT_EQ(to_target.getPath().getWaypoints().back(), vl::Vector(5, 3));
}

TEST(PathFind, SearchesThatCannotRunReportNoPath) {
    vltest::World world(0, 0);
    Probe walker(vl::Vector(0, 0));
    vl::PathFind search(&walker, vl::Cell{0, 0}, vl::Cell{1, 0});
    EXPECT_FALSE(search.hasNodes());
    EXPECT_EQ(search.cycleOnce(), vl::NO_PATH);
    EXPECT_NE(world.log().find("PathFind::cycleOnce(): node graph not allocated.  Cannot find path."),
              std::string::npos);
    vl::PathFind orphan(nullptr, vl::Cell{0, 0}, vl::Cell{1, 0});
    EXPECT_EQ(orphan.cycleOnce(), vl::NO_PATH);
    vl::WorldManager::getInstance().setBoundary(vl::Box(vl::Vector(0, 0), 10, 10));
    vl::PathFind outside(&walker, vl::Cell{-3, 20}, vl::Cell{1, 0});
    EXPECT_EQ(outside.cycleOnce(), vl::NO_PATH);
    EXPECT_NE(world.log().find("start (-3,20) outside the world"), std::string::npos);
}

TEST(PathFind, TheSearchKeepsItsOwnGridWhenTheBoundaryChanges) {
    vltest::World world(10, 5);
    Probe walker(vl::Vector(1, 1));
    {
        vl::PathFind search(&walker, vl::Cell{1, 1}, vl::Cell{30, 20});  // beyond its grid: never reached
        vl::WorldManager::getInstance().setBoundary(vl::Box(vl::Vector(0, 0), 80, 24));
        EXPECT_EQ(runToEnd(search), vl::NO_PATH);
        EXPECT_EQ(search.getExpandedCount(), 10 * 5);
    }
    vl::PathFind search(&walker, vl::Cell{1, 1}, vl::Cell{70, 20});
    vl::WorldManager::getInstance().setBoundary(vl::Box(vl::Vector(0, 0), 4, 4));
    EXPECT_EQ(runToEnd(search), vl::PATH_FOUND);
}

TEST(PathFind, PositionsMapToTheirNearestCell) {
    EXPECT_EQ(vl::positionToCell(vl::Vector(2.4f, 2.5f)), (vl::Cell{2, 3}));
    EXPECT_EQ(vl::positionToCell(vl::Vector(-0.4f, -0.6f)), (vl::Cell{0, -1}));
    EXPECT_LT(vl::positionToCell(vl::Vector(1e20f, 0)).x, -1000000);  // outside every grid, not undefined
}
