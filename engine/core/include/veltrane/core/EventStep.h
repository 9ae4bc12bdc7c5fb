// SPDX-License-Identifier: MIT
#ifndef VL_EVENT_STEP_H
#define VL_EVENT_STEP_H

#include <veltrane/core/Event.h>

namespace vl {

/// Sent once per game loop iteration to every object registered for it.
class EventStep : public Event {
public:
    /// A step event for the given loop iteration.
    explicit EventStep(int init_step_count = 0);
    int getStepCount() const;  ///< the loop iteration that sent it
    /// Sets the loop iteration the event is for.
    void setStepCount(int new_step_count);

private:
    int m_step_count;
};

}  // namespace vl

#endif
