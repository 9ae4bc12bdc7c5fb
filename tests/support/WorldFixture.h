// SPDX-License-Identifier: MIT
// A started log and world manager, without a window, for tests of objects and the world.
#pragma once

#include <string>

#include <veltrane/core/Box.h>
#include <veltrane/core/Event.h>
#include <veltrane/world/Object.h>

namespace vltest {

// Points VELTRANE_LOG at a fresh temporary file, starts the log (flushed on every line) and the
// world manager, and sets the boundary and the view to width by height cells.
class World {
public:
    explicit World(float width = 80, float height = 24);
    ~World();  // shuts the world down (deleting its objects) and the log
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    std::string log() const;  // the log file's contents so far

private:
    std::string m_log_path;
};

// An object that records the events it receives and lets a test react to them.
class Probe : public vl::Object {
public:
    explicit Probe(vl::Vector position = vl::Vector(1, 1), vl::Solidness solidness = vl::HARD,
                   std::string type = "Probe");
    int eventHandler(const vl::Event* p_e) override;

    int collisions = 0;  // collision events received
    int outs = 0;        // out events received
    vl::Object* p_last_other = nullptr;
    bool last_was_mover = false;  // in the last collision this object was the first object
    vl::Vector last_position;     // the last collision's position
    void (*on_collision)(Probe* p_self, vl::Object* p_other) = nullptr;  // run after recording
};

}  // namespace vltest
