// SPDX-License-Identifier: MIT
#ifndef VL_CLOCK_H
#define VL_CLOCK_H

#include <cstdint>
#include <functional>

namespace vl {

/// Measures elapsed time for the game loop, in microseconds.
class Clock {
public:
    using TimeSource = std::function<int64_t()>;  ///< microseconds from any fixed origin

    Clock();  ///< on the system's monotonic clock
    /// A clock reading the time from now (tests give a fake one).
    explicit Clock(TimeSource now);
    int64_t delta();        ///< microseconds since the previous delta (or construction); restarts
    int64_t split() const;  ///< microseconds since the previous delta, without restarting

private:
    TimeSource m_now;
    int64_t m_previous_time;  //!< time of the last delta
};

}  // namespace vl

#endif
