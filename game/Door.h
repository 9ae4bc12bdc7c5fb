// SPDX-License-Identifier: MIT
#ifndef DOOR_H
#define DOOR_H

#include <veltrane/core/Vector.h>
#include <veltrane/world/Object.h>

/// The level's exit: releasing E while a player overlaps it ends the level as completed.
/// One form only, SOFT, seen in both worlds; either player form in control may enter it.
class Door : public vl::Object {
public:
    explicit Door(vl::Vector position);
    ~Door() override;
    int eventHandler(const vl::Event* p_e) override;  ///< 1 for keyboard events, 0 otherwise
    void enter();  ///< ends the level (log, sound, "end" event) if a player overlaps the door
};

#endif
