// SPDX-License-Identifier: MIT
#include "Platform.h"

#include <cerrno>
#include <cstring>
#include <ctime>

namespace vl {
namespace platform {

int64_t monotonicMicroseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

void sleepMilliseconds(int ms) {
    if (ms <= 0) {
        return;
    }
    timespec request{};
    request.tv_sec = ms / 1000;
    request.tv_nsec = static_cast<long>(ms % 1000) * 1000000L;
    timespec remaining{};
    while (nanosleep(&request, &remaining) != 0 && errno == EINTR) {
        request = remaining;
    }
}

int timeBeginPeriod(int) { return 0; }

int timeEndPeriod(int) { return 0; }

std::string errorText(int error_number) {
    char buffer[256];
    // The GNU variant may return a static string instead of filling the buffer.
    const char* p_text = strerror_r(error_number, buffer, sizeof(buffer));
    return p_text != nullptr ? p_text : "Unknown error";
}

} // namespace platform
} // namespace vl
