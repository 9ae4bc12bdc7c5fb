// SPDX-License-Identifier: MIT
// Randomised world: objects move, collide, change every listed attribute, are deleted and created; after
// every step every scene-graph list and grid cell must equal what the objects themselves say.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "WorldFixture.h"
#include <veltrane/world/EventCollision.h>
#include <veltrane/world/Geometry.h>
#include <veltrane/world/WorldManager.h>

namespace {

using ObjectSet = std::multiset<const vl::Object*>;

std::mt19937& rng() {
    static std::mt19937 s_rng;
    return s_rng;
}

int randomInt(int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(rng());
}
float randomFloat(float low, float high) {
    return std::uniform_real_distribution<float>(low, high)(rng());
}

ObjectSet& live() {
    static ObjectSet s_live;
    return s_live;
}

const char* const TYPES[] = {"Rock", "Bird", "Ghost", "Wall", "Spark"};
float g_width = 120;
float g_height = 40;

// One random change through the object's own setters, sometimes an invalid one.
void mutate(vl::Object* p_o) {
    switch (randomInt(0, 10)) {
    case 0:
        p_o->setActive(!p_o->isActive());
        break;
    case 1:
        p_o->setVisible(!p_o->isVisible());
        break;
    case 2:
        p_o->setAltitude(randomInt(-1, vl::MAX_ALTITUDE + 1));
        break;
    case 3:
        p_o->setSolidness(static_cast<vl::Solidness>(randomInt(0, 3)));
        break;
    case 4:
        p_o->setType(TYPES[randomInt(0, 4)]);
        break;
    case 5:
        p_o->setBox(vl::Box(vl::Vector(randomFloat(-3, 0), randomFloat(-3, 0)), randomFloat(0.1f, 25),
                            randomFloat(0.1f, 10)));
        break;
    case 6:
        p_o->setPosition(vl::Vector(randomFloat(-60, g_width + 60), randomFloat(-30, g_height + 30)));
        break;
    case 7:
        p_o->setVelocity(vl::Vector(randomFloat(-3, 3), randomFloat(-3, 3)));
        break;
    case 8:
        EXPECT_EQ(0, vl::WorldManager::getInstance().markForDelete(p_o));
        break;
    default:
        p_o->setAcceleration(vl::Vector(randomFloat(-0.2f, 0.2f), randomFloat(-0.2f, 0.2f)));
        break;
    }
}

// Reacts to its events by changing itself or others, as game objects do.
class Wanderer : public vl::Object {
public:
    Wanderer() {
        live().insert(this);
        setType(TYPES[randomInt(0, 4)]);
        setSolidness(static_cast<vl::Solidness>(randomInt(0, 2)));
        setAltitude(randomInt(0, vl::MAX_ALTITUDE));
        setPosition(vl::Vector(randomFloat(-5, g_width + 5), randomFloat(-5, g_height + 5)));
        if (randomInt(0, 3) == 0) {
            setBox(vl::Box(vl::Vector(-1, -1), randomFloat(0.5f, 30), randomFloat(0.5f, 12)));
        }
        setVelocity(vl::Vector(randomFloat(-2, 2), randomFloat(-2, 2)));
        setAvoidCollisions(randomInt(0, 2) == 0);
        setNoSoft(randomInt(0, 3) == 0);
    }
    ~Wanderer() override { live().erase(this); }

    int eventHandler(const vl::Event* p_e) override {
        if (p_e->getType() == vl::OUT_EVENT) {
            setPosition(vl::Vector(randomFloat(0, g_width), randomFloat(0, g_height)));
            return 1;
        }
        if (p_e->getType() != vl::COLLISION_EVENT) {
            return 0;
        }
        const auto* p_c = dynamic_cast<const vl::EventCollision*>(p_e);
        vl::Object* p_other = p_c->getObject1() == this ? p_c->getObject2() : p_c->getObject1();
        if (randomInt(0, 2) == 0) {
            mutate(randomInt(0, 1) == 0 ? this : p_other);
        }
        return 1;
    }
};

ObjectSet asSet(const vl::ObjectList& list) {
    ObjectSet result;
    for (int i = 0; i < list.getCount(); i++) {
        result.insert(list[i]);
    }
    return result;
}

// The cells a box covers, worked out independently of the grid: {col, row}, {-1, -1} for outside.
std::set<std::pair<int, int>> expectedCells(const vl::Object* p_o, int cols, int rows, int width,
                                            int height) {
    const vl::Box box = vl::getWorldBox(p_o);
    const float x0 = box.getCorner().getX();
    const float y0 = box.getCorner().getY();
    const float x1 = x0 + box.getHorizontal();
    const float y1 = y0 + box.getVertical();
    std::set<std::pair<int, int>> cells;
    if (x0 < 0 || y0 < 0 || std::floor(x1 / static_cast<float>(width)) >= static_cast<float>(cols) ||
        std::floor(y1 / static_cast<float>(height)) >= static_cast<float>(rows)) {
        cells.insert({-1, -1});
    }
    for (int row = 0; row < rows; row++) {
        for (int col = 0; col < cols; col++) {
            const vl::Box cell(vl::Vector(static_cast<float>(col * width), static_cast<float>(row * height)),
                               static_cast<float>(width), static_cast<float>(height));
            // Cells are half-open: a box ending exactly on a border belongs to the next cell only there.
            const bool across =
                x1 >= cell.getCorner().getX() && x0 < cell.getCorner().getX() + cell.getHorizontal();
            const bool down =
                y1 >= cell.getCorner().getY() && y0 < cell.getCorner().getY() + cell.getVertical();
            if (across && down) {
                cells.insert({col, row});
            }
        }
    }
    return cells;
}

// Compares every list, grid cell and collision query with the objects' own state; names the first mismatch.
std::string differences(const std::string& when) {
    const vl::WorldManager& wm = vl::WorldManager::getInstance();
    const vl::SceneGraph& sg = wm.getSceneGraph();
    const vl::Grid& grid = sg.getGrid();
    std::map<std::string, ObjectSet> expected;
    for (const vl::Object* p_o : live()) {
        expected[p_o->isActive() ? "active" : "inactive"].insert(p_o);
        if (p_o->isActive() && p_o->isSolid()) {
            expected["solid"].insert(p_o);
        }
        if (p_o->isActive() && p_o->isVisible()) {
            expected["visible " + std::to_string(p_o->getAltitude())].insert(p_o);
        }
        if (p_o->isActive()) {
            expected["type " + p_o->getType()].insert(p_o);
        }
    }
    std::map<std::string, ObjectSet> actual{{"active", asSet(sg.activeObjects())},
                                            {"inactive", asSet(sg.inactiveObjects())},
                                            {"solid", asSet(sg.solidObjects())}};
    for (int altitude = 0; altitude <= vl::MAX_ALTITUDE; altitude++) {
        actual["visible " + std::to_string(altitude)] = asSet(sg.visibleObjects(altitude));
    }
    for (const char* type : TYPES) {
        actual["type " + std::string(type)] = asSet(sg.objectsOfType(type));
    }
    for (const vl::Object* p_o : expected["solid"]) {
        for (const auto& cell : expectedCells(p_o, grid.getNumCols(), grid.getNumRows(), grid.getCellWidth(),
                                              grid.getCellHeight())) {
            expected["cell " + std::to_string(cell.first) + "," + std::to_string(cell.second)].insert(p_o);
        }
    }
    for (int row = -1; row < grid.getNumRows(); row++) {
        for (int col = (row == -1 ? -1 : 0); col < (row == -1 ? 0 : grid.getNumCols()); col++) {
            actual["cell " + std::to_string(col) + "," + std::to_string(row)] = asSet(grid.getCell(col, row));
        }
    }
    // Collision queries must agree with a scan of every active solid object.
    for (const vl::Object* p_o : live()) {
        const std::string name = "collisions of " + std::to_string(p_o->getId());
        const vl::Vector where = p_o->predictPosition();
        actual[name] = asSet(wm.getCollisions(p_o, where));
        for (const vl::Object* p_other : expected["solid"]) {
            if (p_other != p_o &&
                vl::boxIntersectsBox(vl::getWorldBox(p_other), vl::getWorldBox(p_o, where))) {
                expected[name].insert(p_other);
            }
        }
    }
    for (const auto& list : actual) {
        if (list.second != expected[list.first]) {
            return when + ": " + list.first;
        }
    }
    if (wm.getAllObjects(true).getCount() != static_cast<int>(live().size()) || wm.checkConsistency() != 0) {
        return when + ": the object count or the engine's own consistency check";
    }
    return "";
}

void runRandomWorld(unsigned int seed, int objects, int steps, float width, float height) {
    rng().seed(seed);
    g_width = width;
    g_height = height;
    vltest::World world(g_width, g_height);
    vl::WorldManager& wm = vl::WorldManager::getInstance();
    for (int i = 0; i < objects; i++) {
        new Wanderer;
    }
    ASSERT_EQ(differences("after creation"), "");
    for (int step = 0; step < steps; step++) {
        const std::vector<const vl::Object*> current(live().begin(), live().end());
        for (const vl::Object* p_o : current) {
            if (randomInt(0, 9) == 0) {
                mutate(const_cast<vl::Object*>(p_o));
            }
        }
        if (step == steps / 2) {
            // The restarted grid and type lists must list the objects made before.
            wm.setBoundary(vl::Box(vl::Vector(0, 0), g_width * 1.5f, g_height));
        }
        ASSERT_EQ(differences("step " + std::to_string(step) + " before update"), "") << "seed " << seed;
        wm.update();
        // Keep the population up.
        while (static_cast<int>(live().size()) < objects) {
            new Wanderer;
        }
        ASSERT_EQ(differences("step " + std::to_string(step) + " after update"), "") << "seed " << seed;
    }
    wm.shutDown();
    EXPECT_TRUE(live().empty());
}

}  // namespace

TEST(WorldInvariant, ListsAndGridMatchTheObjectsThroughRandomSteps) {
    runRandomWorld(20240611u, 300, 200, 120, 40);
}

TEST(WorldInvariant, CrowdedSmallWorldWithLargeBoxes) {
    // A second seed and a much denser world, where most boxes span several cells.
    runRandomWorld(7u, 150, 150, 40, 16);
}
