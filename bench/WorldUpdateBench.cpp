// SPDX-License-Identifier: MIT
// Cost of one world update with N hard objects wandering at constant density, and of the collision
// query it makes per object, answered by the grid and by a scan of every solid object.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <random>

#include <veltrane/core/LogManager.h>
#include <veltrane/world/EventCollision.h>
#include <veltrane/world/Geometry.h>
#include <veltrane/world/Object.h>
#include <veltrane/world/WorldManager.h>

namespace {

const float CELLS_PER_OBJECT = 40;  // about 50 objects on an 80 by 24 screen

std::mt19937& rng() {
    static std::mt19937 s_rng(12345);
    return s_rng;
}

float randomFloat(float low, float high) {
    return std::uniform_real_distribution<float>(low, high)(rng());
}

vl::Vector randomVelocity() {
    const float angle = randomFloat(0, 6.2831853f);
    const float speed = randomFloat(0.25f, 1.0f);
    return vl::Vector(std::cos(angle) * speed, std::sin(angle) * speed);
}

bool outside(const vl::Object* p_o) {
    return !vl::boxIntersectsBox(vl::getWorldBox(p_o), vl::WorldManager::getInstance().getBoundary());
}

// Turns somewhere else when it bumps into something, and back toward the middle once out of the world,
// so the crowd stays in the world and its density stays what the world was sized for.
class Wanderer : public vl::Object {
public:
    explicit Wanderer(vl::Vector position) {
        setType("Wanderer");
        setPosition(position);
        setVelocity(randomVelocity());
    }
    int eventHandler(const vl::Event* p_e) override {
        if (p_e->getType() == vl::COLLISION_EVENT || p_e->getType() == vl::OUT_EVENT) {
            setVelocity(randomVelocity());
            if (outside(this)) {
                const vl::Box boundary = vl::WorldManager::getInstance().getBoundary();
                setDirectionTo(vl::Vector(boundary.getHorizontal() / 2, boundary.getVertical() / 2));
            }
            return 1;
        }
        return 0;
    }
};

// A started world of n hard objects, with the default grid, sized for constant density.
void buildWorld(int n) {
    vl::LogManager& log = vl::LogManager::getInstance();
    if (!log.isStarted()) {
        setenv("VELTRANE_LOG", "/dev/null", 1);
        if (log.startUp() != 0) {
            std::abort();
        }
    }
    vl::WorldManager& world = vl::WorldManager::getInstance();
    if (world.isStarted()) {
        world.shutDown();
    }
    if (world.startUp() != 0) {
        std::abort();
    }
    const float area = CELLS_PER_OBJECT * static_cast<float>(n);
    const float width = std::sqrt(area * 80.0f / 24.0f);
    const float height = area / width;
    const vl::Box boundary(vl::Vector(0, 0), width, height);
    world.setBoundary(boundary);
    world.setView(vl::Box(vl::Vector(0, 0), 80, 24));
    for (int placed = 0; placed < n;) {
        auto* p_o = new Wanderer(vl::Vector(randomFloat(1, width - 1), randomFloat(1, height - 1)));
        if (world.getCollisions(p_o, p_o->getPosition()).isEmpty()) {
            placed++;
        } else {
            // Hard objects must not start overlapping; one just built is in the world.
            if (world.markForDelete(p_o) != 0) {
                std::abort();
            }
        }
        if (world.getAllObjects().getCount() > placed + 1000) {
            world.update();
        }
    }
    // Let the deletions happen and the crowd spread out before measuring.
    for (int i = 0; i < 20; i++) {
        world.update();
    }
}

// Cost per object and, as a check on the set-up, how many objects ended up out of the world.
void perObject(benchmark::State& state, const char* name) {
    state.counters[name] = benchmark::Counter(static_cast<double>(state.iterations() * state.range(0)),
                                              benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    const vl::ObjectList objects = vl::WorldManager::getInstance().getAllObjects();
    int out = 0;
    for (int i = 0; i < objects.getCount(); i++) {
        out += outside(objects[i]) ? 1 : 0;
    }
    state.counters["outside"] = out;
}

void worldUpdate(benchmark::State& state) {
    buildWorld(static_cast<int>(state.range(0)));
    vl::WorldManager& world = vl::WorldManager::getInstance();
    for (auto _ : state) {
        world.update();
    }
    perObject(state, "s_per_object_step");
}
BENCHMARK(worldUpdate)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

// The query update makes for every moving object, through the grid.
void gridQuery(benchmark::State& state) {
    buildWorld(static_cast<int>(state.range(0)));
    const vl::WorldManager& world = vl::WorldManager::getInstance();
    const vl::ObjectList objects = world.getAllObjects();
    for (auto _ : state) {
        int hits = 0;
        for (int i = 0; i < objects.getCount(); i++) {
            hits += world.getCollisions(objects[i], objects[i]->predictPosition()).getCount();
        }
        benchmark::DoNotOptimize(hits);
    }
    perObject(state, "s_per_query");
}
BENCHMARK(gridQuery)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

// The same query answered by testing every active solid object.
void scanQuery(benchmark::State& state) {
    buildWorld(static_cast<int>(state.range(0)));
    const vl::WorldManager& world = vl::WorldManager::getInstance();
    const vl::ObjectList objects = world.getAllObjects();
    for (auto _ : state) {
        int hits = 0;
        const vl::ObjectList solid = world.getSceneGraph().solidObjects();
        for (int i = 0; i < objects.getCount(); i++) {
            const vl::Object* p_o = objects[i];
            const vl::Box box = vl::getWorldBox(p_o, p_o->predictPosition());
            vl::ObjectList found;
            for (int j = 0; j < solid.getCount(); j++) {
                if (solid[j] != p_o && vl::boxIntersectsBox(vl::getWorldBox(solid[j]), box)) {
                    found.insert(solid[j]);
                }
            }
            hits += found.getCount();
        }
        benchmark::DoNotOptimize(hits);
    }
    perObject(state, "s_per_query");
}
BENCHMARK(scanQuery)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace
