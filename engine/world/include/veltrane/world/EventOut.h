// SPDX-License-Identifier: MIT
#ifndef VL_EVENT_OUT_H
#define VL_EVENT_OUT_H

#include <veltrane/core/Event.h>

namespace vl {

/// Sent to an object when it moves out of the world's boundary.
class EventOut : public Event {
public:
    EventOut();
};

}  // namespace vl

#endif
