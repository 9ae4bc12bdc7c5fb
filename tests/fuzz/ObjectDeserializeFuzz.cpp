// SPDX-License-Identifier: MIT
// Arbitrary bytes to Object::deserialize, as a peer could send them: nothing may crash, hang or allocate
// what the record cannot hold, and the world stays consistent through drawing, updating and deleting.
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

// Ids from 1 for every input, so that earlier inputs cannot change how a later one behaves.
class IdCounter : public vl::Object {
public:
    static void reset() { setNextId(1); }
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* /*p_argc*/, char*** /*p_argv*/) {
    setenv("VELTRANE_LOG", "/dev/null", 1);  // thousands of refused records a second
    vl::Config::getInstance().loadConfig("headless:true");
    if (vl::LogManager::getInstance().startUp() != 0) {
        std::abort();
    }
    if (vl::ResourceManager::getInstance().startUp() != 0) {
        std::abort();
    }
    // A record naming "player" gets a real sprite, whose frame index is then used for drawing.
    if (vl::ResourceManager::getInstance().loadSprite(vltest::sourcePath("sprites/player-spr.txt"),
                                                      "player") != 0) {
        std::abort();
    }
    vl::WorldManager& world = vl::WorldManager::getInstance();
    if (world.startUp() != 0) {
        std::abort();
    }
    world.setBoundary(vl::Box(vl::Vector(0, 0), 80, 24));
    world.setView(vl::Box(vl::Vector(0, 0), 80, 24));
    if (vl::PathManager::getInstance().startUp() != 0) {
        std::abort();
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* p_data, size_t size) {
    vl::WorldManager& world = vl::WorldManager::getInstance();
    IdCounter::reset();
    auto* p_received = new vl::Object;
    std::stringstream in(std::string(reinterpret_cast<const char*>(p_data), size));
    unsigned int mask = 0;
    (void)p_received->deserialize(in, &mask);  // most inputs are refused records: that is what is tried
    const bool consistent = world.checkConsistency() == 0;
    // Move, follow paths, draw and delete, with whatever the record set.
    p_received->draw();
    world.update();
    if (world.markForDelete(p_received) != 0) {
        std::abort();
    }
    world.update();
    if (!consistent || world.checkConsistency() != 0 || !world.getAllObjects(true).isEmpty()) {
        std::abort();
    }
    return 0;
}
