// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "HeadlessEngine.h"
#include "WorldFixture.h"
#include <veltrane/paths/PathFind.h>
#include <veltrane/world/WorldManager.h>

using vltest::Probe;

namespace {

int runToEnd(vl::PathFind& search) {
    int status = vl::SEARCHING;
    for (int i = 0; i < 100000 && status == vl::SEARCHING; i++) {
        status = search.cycleOnce();
    }
    return status;
}

vl::Vector at(int x, int y) {
    return vl::Vector(static_cast<float>(x), static_cast<float>(y));
}

}  // namespace

// Each map is the whole world: S start, G goal, X both, * the path's other cells, # hard, s soft and
// ~ spectral objects. Where two paths are equally good only the count of waypoints is checked. A
// search without a path logs why, once; the walker's box is a sprite-less object's or a whole cell.
TEST(PathFind, SmallMaps) {
    const struct {
        std::vector<std::string> map;
        int status;
        int expanded;  // -1: not checked
        int count;     // 0: the path drawn
        std::string why = "";
        float box = 0.99f;
    } cases[] = {
        {{"S**G"}, vl::PATH_FOUND, 4, 0},
        {{"S..", ".*.", "..G"}, vl::PATH_FOUND, -1, 0},
        {{"...", ".X.", "..."}, vl::PATH_FOUND, 1, 0},
        {{".....", "..G..", ".S#..", "....."}, vl::PATH_FOUND, -1, 0},  // a diagonal may cut a corner
        {{".....", ".#G..", ".S#..", "....."}, vl::PATH_FOUND, -1, 4},  // but not pass between two
        {{".........", "....S*...", "...###*..", "....G*...", "........."}, vl::PATH_FOUND, -1, 0},
        {{"..#...", "S.#..G", "..#..."},
         vl::NO_PATH,
         6,
         0,
         "hard objects close in the 6 cells reachable from the start (with the edge of the world)."},
        {{".....", ".###.", ".#S#G", ".###."},
         vl::NO_PATH,
         1,
         0,
         "close in the 1 cell reachable from the start."},
        {{"#####", "S...G", "#####"},
         vl::NO_PATH,
         1,
         0,
         "from (0,1) to (4,1): the start cell is blocked: the box there touches hard object",
         1},
        {{"....#G#"}, vl::NO_PATH, 3, 0, "the goal cell is blocked by hard object", 1},
        {{"....s.~...", "..S.s.~.G.", "....s.~..."}, vl::PATH_FOUND, -1, 7},  // soft, spectral: no block
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.map[c.map.size() / 2]);
        vltest::World world(static_cast<float>(c.map[0].size()), static_cast<float>(c.map.size()));
        std::vector<std::unique_ptr<Probe>> objects;
        vl::Cell start{0, 0};
        vl::Cell goal{0, 0};
        std::set<std::pair<int, int>> drawn;
        for (int y = 0; y < static_cast<int>(c.map.size()); y++) {
            for (int x = 0; x < static_cast<int>(c.map[0].size()); x++) {
                const char ch = c.map[y][x];
                start = ch == 'S' || ch == 'X' ? vl::Cell{x, y} : start;
                goal = ch == 'G' || ch == 'X' ? vl::Cell{x, y} : goal;
                if (std::string("SGX*").find(ch) != std::string::npos) {
                    drawn.insert({x, y});
                }
                const size_t solid = std::string("#s~").find(ch);
                if (solid != std::string::npos) {
                    const vl::Solidness solidness[] = {vl::HARD, vl::SOFT, vl::SPECTRAL};
                    objects.push_back(std::make_unique<Probe>(at(x, y), solidness[solid], "Wall"));
                }
            }
        }
        Probe walker(at(start.x, start.y));
        walker.setBox(vl::Box(vl::Vector(-0.5f, -0.5f), c.box, c.box));
        vl::PathFind search(&walker, start, goal);
        EXPECT_EQ(runToEnd(search), c.status);
        EXPECT_EQ(search.cycleOnce(), c.status);  // a finished search keeps its outcome
        const std::string log = world.log();
        EXPECT_EQ(vltest::countOccurrences(log, "PathFind::cycleOnce(): Warning! No path for object"),
                  c.why.empty() ? 0 : 1);
        EXPECT_TRUE(c.why.empty() || log.find(c.why) != std::string::npos) << log;
        EXPECT_TRUE(c.expanded < 0 || search.getExpandedCount() == c.expanded) << search.getExpandedCount();
        const std::vector<vl::Vector> path = search.getPath().getWaypoints();
        if (c.status == vl::NO_PATH) {
            EXPECT_TRUE(path.empty());
            continue;
        }
        EXPECT_EQ(search.cycleOnce(), vl::PATH_FOUND);  // asking again after the end changes nothing
        ASSERT_FALSE(path.empty());
        EXPECT_EQ(path.front(), at(start.x, start.y));
        EXPECT_EQ(path.back(), at(goal.x, goal.y));
        std::set<std::pair<int, int>> cells;
        for (const vl::Vector& v : path) {
            cells.insert({static_cast<int>(v.getX()), static_cast<int>(v.getY())});
        }
        EXPECT_EQ(path.size(), c.count > 0 ? static_cast<size_t>(c.count) : drawn.size());
        EXPECT_TRUE(c.count > 0 || cells == drawn);
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

// Without a grid, an object or a start inside the world there is no search.
TEST(PathFind, SearchesThatCannotRunReportNoPath) {
    vltest::World world(0, 0);
    Probe walker(vl::Vector(1, 1));
    vl::PathFind ungridded(&walker, vl::Cell{0, 0}, vl::Cell{1, 0});
    vl::PathFind orphan(nullptr, vl::Cell{0, 0}, vl::Cell{1, 0});
    EXPECT_EQ(ungridded.cycleOnce(), vl::NO_PATH);
    EXPECT_EQ(orphan.cycleOnce(), vl::NO_PATH);
    EXPECT_NE(world.log().find("PathFind::cycleOnce(): node graph not allocated.  Cannot find path."),
              std::string::npos);
    vl::WorldManager::getInstance().setBoundary(vl::Box(vl::Vector(0, 0), 10, 5));
    vl::PathFind outside(&walker, vl::Cell{-3, 20}, vl::Cell{1, 0});
    EXPECT_EQ(outside.cycleOnce(), vl::NO_PATH);
    EXPECT_NE(world.log().find("from (-3,20) to (1,0): the start is outside the world of 10 x 5 cells."),
              std::string::npos);
}
