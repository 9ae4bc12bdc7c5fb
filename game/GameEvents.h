// SPDX-License-Identifier: MIT
// The game's own event types and the events that carry them.
#ifndef GAME_EVENTS_H
#define GAME_EVENTS_H

#include <string>

#include <veltrane/core/Event.h>

const std::string SHADOW_EVENT = "shadow";  // the world shown switches between light and shadow
const std::string LEVER_EVENT = "lever";    // a lever was pulled
const std::string END_EVENT = "end";        // the level ends, through the door or by quitting

// Rows between the light form of a two-form thing and its shadow form above it.
const int SHADOW_OFFSET = 7;

class EventShadow : public vl::Event {
public:
    EventShadow();  // type "shadow"
    ~EventShadow() override;
};

class EventLever : public vl::Event {
public:
    EventLever();  // type "lever"
    ~EventLever() override;
};

class EventEnd : public vl::Event {
public:
    EventEnd();  // type "end"
    ~EventEnd() override;
};

#endif
