// SPDX-License-Identifier: MIT
#include <veltrane/core/EventStep.h>

namespace vl {

EventStep::EventStep(int init_step_count) : m_step_count(init_step_count) {
    setType(STEP_EVENT);
}

int EventStep::getStepCount() const {
    return m_step_count;
}

void EventStep::setStepCount(int new_step_count) {
    m_step_count = new_step_count;
}

}  // namespace vl
