// SPDX-License-Identifier: MIT
#ifndef GAME_EVENTS_H
#define GAME_EVENTS_H

#include <string>

#include <veltrane/core/Event.h>

const std::string SHADOW_EVENT = "shadow";  ///< the world shown switches between light and shadow
const std::string LEVER_EVENT = "lever";    ///< a lever was pulled
const std::string END_EVENT = "end";        ///< the level ends, through the door or by quitting
const std::string CRUSH_EVENT = "crush";    ///< a lever-moved piece landed on the player

/// Rows between the light form of a two-form thing and its shadow form above it.
const int SHADOW_OFFSET = 7;

const int LEVEL_COUNT = 6;  ///< levels to choose from, numbered 0 to 5

/// The game's own event types, the events that carry them, and the constants every game class shares.
class EventShadow : public vl::Event {
public:
    EventShadow();  ///< type "shadow"
    ~EventShadow() override;
};

class EventLever : public vl::Event {
public:
    EventLever();  ///< type "lever"
    ~EventLever() override;
};

/// Sent to the level by the door or the Q key; the level's end carries which level it was, and whether
/// it was finished, to the title screen.
class EventEnd : public vl::Event {
public:
    EventEnd();  ///< type "end", no level known
    EventEnd(int level, bool finished);
    ~EventEnd() override;
    int getLevel() const;  ///< 0 to 5, or -1 when not known
    bool isFinished() const;

private:
    int m_level;      //!< the level that ended, or -1
    bool m_finished;  //!< it ended through the door
};

class EventCrush : public vl::Event {
public:
    EventCrush();  ///< type "crush"
    ~EventCrush() override;
};

#endif
