// SPDX-License-Identifier: MIT
// Whether a player stands on a thing, for the things worked with a key (levers, the door).
#ifndef PLAYER_TOUCHING_H
#define PLAYER_TOUCHING_H

#include <veltrane/world/Object.h>

/// Whether a form of the player overlaps p_o where it stands.
bool isPlayerTouching(vl::Object* p_o);

#endif
