// SPDX-License-Identifier: MIT
#include <veltrane/core/Clock.h>

#include <utility>

#include <veltrane/platform/Platform.h>

namespace vl {

Clock::Clock() : Clock(platform::monotonicMicroseconds) {}

Clock::Clock(TimeSource now) : m_now(std::move(now)), m_previous_time(m_now()) {}

int64_t Clock::delta() {
    const int64_t now = m_now();
    const int64_t elapsed = now - m_previous_time;
    m_previous_time = now;
    return elapsed;
}

int64_t Clock::split() const {
    return m_now() - m_previous_time;
}

}  // namespace vl
