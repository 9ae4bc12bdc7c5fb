// SPDX-License-Identifier: MIT
// The engine calls the game's objects make that may be refused: each refusal is logged with the object named,
// and the game goes on without what was refused.
#ifndef ENGINE_CALLS_H
#define ENGINE_CALLS_H

#include <string>

#include <veltrane/world/Object.h>

void listenFor(vl::Object& object, const std::string& event_type);  ///< refused: it ignores those events
void wearSprite(vl::Object& object, const std::string& label);      ///< refused: it is drawn as nothing
bool removeFromWorld(vl::Object* p_object);                         ///< false: it was not in the world

#endif
