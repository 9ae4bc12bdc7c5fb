// SPDX-License-Identifier: MIT
#include "WorldFixture.h"

#include <cstdlib>

#include "TestSupport.h"
#include <veltrane/core/LogManager.h>
#include <veltrane/world/EventCollision.h>
#include <veltrane/world/WorldManager.h>

namespace vltest {

World::World(float width, float height) : m_log_path(useTempLog()) {
    vl::LogManager& log = vl::LogManager::getInstance();
    // A test that already started them keeps its own; a start that fails leaves nothing to test.
    if (!log.isStarted() && log.startUp() != 0) {
        std::abort();
    }
    log.setFlush(true);
    vl::WorldManager& world = vl::WorldManager::getInstance();
    if (!world.isStarted() && world.startUp() != 0) {
        std::abort();
    }
    const vl::Box screen(vl::Vector(0, 0), width, height);
    world.setBoundary(screen);
    world.setView(screen);
}

World::~World() {
    vl::WorldManager& world = vl::WorldManager::getInstance();
    if (world.isStarted()) {
        world.shutDown();
    }
    vl::LogManager& log = vl::LogManager::getInstance();
    if (log.isStarted()) {
        log.shutDown();
    }
}

std::string World::log() const {
    return readFile(m_log_path);
}

Probe::Probe(vl::Vector position, vl::Solidness solidness, std::string type) {
    setType(std::move(type));
    setSolidness(solidness);
    setPosition(position);
}

int Probe::eventHandler(const vl::Event* p_e) {
    if (p_e->getType() == vl::COLLISION_EVENT) {
        const auto* p_c = dynamic_cast<const vl::EventCollision*>(p_e);
        last_was_mover = p_c->getObject1() == this;
        p_last_other = last_was_mover ? p_c->getObject2() : p_c->getObject1();
        last_position = p_c->getPosition();
        collisions++;
        if (on_collision != nullptr) {
            on_collision(this, p_last_other);
        }
        return 1;
    }
    if (p_e->getType() == vl::OUT_EVENT) {
        outs++;
        return 1;
    }
    return vl::Object::eventHandler(p_e);
}

}  // namespace vltest
