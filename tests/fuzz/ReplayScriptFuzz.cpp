// SPDX-License-Identifier: MIT
// Feeds arbitrary text to the replay file parser: it must refuse with a reason or accept, never crash
// or hang, and an accepted script must only ever produce events the input manager can send.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include <veltrane/input/InputReplay.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* p_data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(p_data), p_data != nullptr ? size : 0);
    vl::InputScript script;
    int line = -1;
    std::string reason;
    if (script.parse(text, &line, &reason) != 0) {
        if (line < 1 || reason.empty() || script.getEntryCount() != 0) {
            std::abort();
        }
        return 0;
    }
    if (script.getEndStep() < 0 || script.getEndStep() > vl::MAX_REPLAY_STEP) {
        std::abort();
    }
    // Steps far apart are enough to walk spans that start, run and end.
    const int last = script.getEndStep() < 3000 ? script.getEndStep() : 3000;
    for (int step = 0; step <= last + 1; step++) {
        const std::vector<vl::InputRecord>& events = script.eventsAt(step);
        if (events.size() > 4 * static_cast<size_t>(script.getEntryCount())) {
            std::abort();
        }
        for (const vl::InputRecord& record : events) {
            if (record.is_keyboard) {
                if (vl::keyName(record.key) == nullptr ||
                    vl::keyboardActionName(record.key_action) == nullptr) {
                    std::abort();
                }
            } else if (vl::mouseButtonName(record.button) == nullptr ||
                       vl::mouseActionName(record.mouse_action) == nullptr ||
                       !std::isfinite(record.position.getX()) || !std::isfinite(record.position.getY())) {
                std::abort();
            }
        }
    }
    return 0;
}
