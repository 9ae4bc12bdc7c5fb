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

EventEnd::EventEnd() : EventEnd(-1, false) {}

EventEnd::EventEnd(int level, bool finished) : m_level(level), m_finished(finished) {
    setType(END_EVENT);
}

EventEnd::~EventEnd() = default;

int EventEnd::getLevel() const {
    return m_level;
}

bool EventEnd::isFinished() const {
    return m_finished;
}

EventCrush::EventCrush() {
    setType(CRUSH_EVENT);
}

EventCrush::~EventCrush() = default;
