// SPDX-License-Identifier: MIT
// The operating-system services the engine uses, in one place: clock, sleep, timer resolution,
// and the text of system errors.
#ifndef VL_PLATFORM_H
#define VL_PLATFORM_H

#include <cstdint>
#include <string>

namespace vl {
namespace platform {

const int TIMERR_NOCANDO = 97;  // a timer-resolution request that cannot be met

int64_t monotonicMicroseconds();     // never jumps back; millisecond resolution is enough
void sleepMilliseconds(int ms);      // resumes with the remaining time after a signal
int timeBeginPeriod(int ms);         // 0; Linux sleeps at sub-millisecond resolution already
int timeEndPeriod(int ms);           // 0
std::string errorText(int error_number);  // the system's text for an errno value

} // namespace platform
} // namespace vl

#endif
