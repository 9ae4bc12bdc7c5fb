// SPDX-License-Identifier: MIT
// Arbitrary text to the replay file parser: it refuses with a line and a reason or accepts, never crashes
// or hangs, and an accepted script only gives events with names the input manager can send.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include <veltrane/input/InputReplay.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* p_data, size_t size) {
    vl::InputScript script;
    int line = -1;
    std::string reason;
    if (script.parse(std::string(reinterpret_cast<const char*>(p_data), size), &line, &reason) != 0) {
        if (line < 1 || reason.empty() || script.getEntryCount() != 0) {
            std::abort();
        }
        return 0;
    }
    // Far enough to walk spans that start, run and end.
    for (int step = 0; step <= script.getEndStep() + 1 && step <= 3000; step++) {
        for (const vl::InputRecord& r : script.eventsAt(step)) {
            const bool named = r.is_keyboard
                                   ? vl::keyName(r.key) && vl::keyboardActionName(r.key_action)
                                   : vl::mouseButtonName(r.button) && vl::mouseActionName(r.mouse_action);
            if (!named || !std::isfinite(r.position.getX()) || !std::isfinite(r.position.getY())) {
                std::abort();
            }
        }
    }
    return 0;
}
