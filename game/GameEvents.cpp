// SPDX-License-Identifier: MIT
#include "GameEvents.h"

EventShadow::EventShadow() {
    setType(SHADOW_EVENT);
}

EventShadow::~EventShadow() = default;

EventLever::EventLever() {
    setType(LEVER_EVENT);
}

EventLever::~EventLever() = default;

EventEnd::EventEnd() {
    setType(END_EVENT);
}

EventEnd::~EventEnd() = default;
