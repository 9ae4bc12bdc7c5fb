// SPDX-License-Identifier: MIT
// Shows one fixed frame of an object's sprite.
#ifndef SHOW_FRAME_H
#define SHOW_FRAME_H

#include <veltrane/world/Object.h>

/// Freezes p_o's animation on frame (only set when it has a sprite) and resets its box to the sprite's.
void showFrame(vl::Object* p_o, int frame);

#endif
