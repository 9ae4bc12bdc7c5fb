// SPDX-License-Identifier: MIT
// Feeds arbitrary bytes to Object::deserialize as if a peer had sent them: nothing may crash, hang or
// allocate what the record cannot hold; the world must stay consistent; whatever was accepted must
// survive being written and read again; and the world must still update and delete the object.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "TestSupport.h"
#include <veltrane/core/Config.h>
#include <veltrane/core/LogManager.h>
#include <veltrane/paths/PathManager.h>
#include <veltrane/resources/ResourceManager.h>
#include <veltrane/world/Object.h>
#include <veltrane/world/WorldManager.h>

namespace {

// Gives the harness the id counter: every input starts from an empty world with ids from 1, so that
// ids pushed up by earlier inputs cannot make a later one behave differently.
class IdCounter : public vl::Object {
public:
    static void reset() { setNextId(1); }
};

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* /*p_argc*/, char*** /*p_argv*/) {
    // Thousands of refused records a second would fill a real log file.
    setenv("VELTRANE_LOG", "/dev/null", 1);
    vl::Config::getInstance().loadConfig("headless:true");
    vl::LogManager::getInstance().startUp();
    vl::ResourceManager::getInstance().startUp();
    // A record naming "player" gets a real sprite, and its frame index is then used for drawing.
    vl::ResourceManager::getInstance().loadSprite(vltest::sourcePath("sprites/player-spr.txt"), "player");
    vl::WorldManager& world = vl::WorldManager::getInstance();
    world.startUp();
    world.setBoundary(vl::Box(vl::Vector(0, 0), 80, 24));
    world.setView(vl::Box(vl::Vector(0, 0), 80, 24));
    vl::PathManager::getInstance().startUp();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* p_data, size_t size) {
    vl::WorldManager& world = vl::WorldManager::getInstance();
    IdCounter::reset();
    auto* p_received = new vl::Object;
    std::stringstream in(std::string(reinterpret_cast<const char*>(p_data), size));
    unsigned int mask = 0;
    p_received->deserialize(in, &mask);
    check(world.checkConsistency() == 0);

    // What was accepted is an ordinary object: its full record reads back into another one.
    std::stringstream out;
    check(p_received->serialize(out, vl::ALL_OBJECT_ATTRIBUTES) == 0);
    auto* p_copy = new vl::Object;
    check(p_copy->deserialize(out) == 0);
    check(p_copy->getId() == p_received->getId());
    check(p_copy->getType() == p_received->getType());
    check(p_copy->getPosition() == p_received->getPosition());
    check(p_copy->getBox() == p_received->getBox());
    check(p_copy->getAltitude() == p_received->getAltitude());
    check(p_copy->getSolidness() == p_received->getSolidness());
    check(p_copy->getEventCount() == p_received->getEventCount());
    check(p_copy->getPath().getWaypoints() == p_received->getPath().getWaypoints());
    check(p_copy->getModified() == 0);
    check(world.checkConsistency() == 0);

    // Move, follow paths, draw and delete, with whatever the record set.
    p_received->draw();
    world.update();
    world.markForDelete(p_received);
    world.markForDelete(p_copy);
    world.update();
    check(world.checkConsistency() == 0);
    check(world.getAllObjects(true).isEmpty());
    return 0;
}
