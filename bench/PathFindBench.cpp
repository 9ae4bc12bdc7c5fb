// SPDX-License-Identifier: MIT
// Path searches on the game's 80 x 24 world with walls and on 500 x 500 worlds: cells expanded per
// millisecond, milliseconds to a path when searching flat out, and loop iterations to a path when the
// path manager only gets its per-frame budget.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <veltrane/core/Config.h>
#include <veltrane/core/LogManager.h>
#include <veltrane/paths/PathFind.h>
#include <veltrane/paths/PathManager.h>
#include <veltrane/platform/Platform.h>
#include <veltrane/world/Object.h>
#include <veltrane/world/WorldManager.h>

namespace {

const int RUNS = 5;

struct Segment {
    int x0, y0, x1, y1;  // inclusive cells
};

// One hard object covering the cells of a wall segment, as the game's walls and platforms do.
void addWall(const Segment& s) {
    auto* p_wall = new vl::Object;
    p_wall->setType("Wall");
    const float width = static_cast<float>(s.x1 - s.x0 + 1);
    const float height = static_cast<float>(s.y1 - s.y0 + 1);
    p_wall->setBox(vl::Box(vl::Vector(-0.5f, -0.5f), width - 0.01f, height - 0.01f));
    p_wall->setPosition(vl::Vector(static_cast<float>(s.x0), static_cast<float>(s.y0)));
}

struct Scenario {
    std::string name;
    int width, height;
    std::vector<Segment> walls;
    vl::Cell start, goal;
};

struct Result {
    double ms;     // flat out, start to outcome
    int expanded;  // cells expanded
    int status;    // outcome
    int length;    // waypoints
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

Result searchFlatOut(vl::Object* p_walker, const Scenario& s) {
    const int64_t begin = vl::platform::monotonicMicroseconds();
    vl::PathFind search(p_walker, s.start, s.goal);
    int status = vl::SEARCHING;
    while (status == vl::SEARCHING) {
        status = search.cycleOnce();
    }
    const vl::Path path = search.getPath();
    const int64_t end = vl::platform::monotonicMicroseconds();
    return Result{static_cast<double>(end - begin) / 1000.0, search.getExpandedCount(), status,
                  path.getCount()};
}

// Loop iterations until the object has its path, giving the path manager budget_ms each time.
int iterationsToPath(vl::Object* p_walker, const Scenario& s, int budget_ms) {
    vl::PathManager& paths = vl::PathManager::getInstance();
    if (p_walker->findPath(vl::cellToPosition(s.goal)) != 0) {
        return -1;  // no search started
    }
    int iterations = 0;
    while (p_walker->isFindingPath() && iterations < 100000) {
        paths.cycle(budget_ms);
        iterations++;
    }
    return iterations;
}

void run(const Scenario& s) {
    vl::WorldManager& world = vl::WorldManager::getInstance();
    world.setBoundary(vl::Box(vl::Vector(0, 0), static_cast<float>(s.width), static_cast<float>(s.height)));
    for (const Segment& wall : s.walls) {
        addWall(wall);
    }
    auto* p_walker = new vl::Object;
    p_walker->setPosition(vl::cellToPosition(s.start));

    std::vector<double> times;
    Result result{};
    for (int i = 0; i < RUNS; i++) {
        result = searchFlatOut(p_walker, s);
        times.push_back(result.ms);
    }
    const double ms = median(times);
    const char* outcome = result.status == vl::PATH_FOUND ? "found" : "no path";
    std::printf("%-34s %8d cells expanded  %9.1f cells/ms  %9.2f ms to %s (%d waypoints)\n", s.name.c_str(),
                result.expanded, result.expanded / std::max(ms, 0.001), ms, outcome, result.length);
    for (const int budget : {3, 31}) {
        std::printf("%-34s %8d loop iterations to the outcome with %d ms a frame\n", "",
                    iterationsToPath(p_walker, s, budget), budget);
    }
    // The next scenario starts from an empty world.
    world.shutDown();
    if (world.startUp() != 0) {
        std::abort();
    }
}

// Vertical walls across the world, each with a gap at alternating ends: the path snakes through.
std::vector<Segment> snakeWalls(int width, int height, int spacing, int gap) {
    std::vector<Segment> walls;
    bool gap_below = true;
    for (int x = spacing; x < width - 1; x += spacing) {
        if (gap_below) {
            walls.push_back({x, 0, x, height - 1 - gap});
        } else {
            walls.push_back({x, gap, x, height - 1});
        }
        gap_below = !gap_below;
    }
    return walls;
}

}  // namespace

int main() {
    setenv("VELTRANE_LOG", "/dev/null", 1);
    vl::Config::getInstance().loadConfig("headless:true");
    if (vl::LogManager::getInstance().startUp() != 0) {
        std::abort();
    }
    if (vl::WorldManager::getInstance().startUp() != 0) {
        std::abort();
    }
    if (vl::PathManager::getInstance().startUp() != 0) {
        std::abort();
    }

    // The game's screen: floor and side walls, platforms, and three walls with gaps to get around.
    Scenario game{"80x24 with walls", 80, 24, {}, vl::Cell{2, 20}, vl::Cell{77, 20}};
    game.walls = {{0, 23, 79, 23}, {0, 0, 0, 22},   {79, 0, 79, 22},  {20, 4, 20, 22},  {40, 1, 40, 19},
                  {60, 4, 60, 22}, {8, 15, 16, 15}, {25, 10, 35, 10}, {45, 14, 55, 14}, {65, 8, 75, 8}};
    run(game);
    run(Scenario{"500x500 open, corner to corner", 500, 500, {}, vl::Cell{0, 0}, vl::Cell{499, 499}});
    run(Scenario{"500x500 snaking walls", 500, 500, snakeWalls(500, 500, 50, 3), vl::Cell{1, 250},
                 vl::Cell{498, 250}});
    // Worst case: the goal is walled in, so every reachable cell is expanded before giving up.
    run(Scenario{"500x500 goal walled in",
                 500,
                 500,
                 {{400, 400, 420, 400}, {400, 420, 420, 420}, {400, 401, 400, 419}, {420, 401, 420, 419}},
                 vl::Cell{1, 1},
                 vl::Cell{410, 410}});
    vl::PathManager::getInstance().shutDown();
    vl::WorldManager::getInstance().shutDown();
    vl::LogManager::getInstance().shutDown();
    return 0;
}
