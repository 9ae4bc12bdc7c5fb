// SPDX-License-Identifier: MIT
// One iteration's input in a real window: polling window events, three mouse buttons and 73 held keys.
// Prints the median and 95th percentile microseconds per getInput, with nothing pressed.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <veltrane/core/Config.h>
#include <veltrane/core/LogManager.h>
#include <veltrane/graphics/DisplayManager.h>
#include <veltrane/input/InputManager.h>
#include <veltrane/platform/Platform.h>

namespace {

const int WARM_UP = 50;
const int SAMPLES = 2000;

}  // namespace

int main() {
    setenv("VELTRANE_LOG", "/dev/null", 1);
    unsetenv("VELTRANE_REPLAY");
    unsetenv("VELTRANE_RECORD");
    vl::Config::getInstance().loadConfig(
        "headless:false,window_title:veltrane-input-bench,font_file:" VL_SOURCE_DIR "/vl-font.ttf");
    if (vl::LogManager::getInstance().startUp() != 0) {
        std::abort();
    }
    if (vl::DisplayManager::getInstance().startUp() != 0 || vl::InputManager::getInstance().startUp() != 0) {
        std::fprintf(stderr, "InputPollBench: cannot open the window (run it under xvfb-run)\n");
        return 1;
    }
    vl::InputManager& input = vl::InputManager::getInstance();
    for (int i = 0; i < WARM_UP; i++) {
        input.getInput();
    }
    std::vector<double> micros;
    micros.reserve(SAMPLES);
    for (int i = 0; i < SAMPLES; i++) {
        const int64_t start = vl::platform::monotonicMicroseconds();
        input.getInput();
        micros.push_back(static_cast<double>(vl::platform::monotonicMicroseconds() - start));
    }
    std::sort(micros.begin(), micros.end());
    std::printf(
        "InputPollBench: getInput in a window, nothing pressed: median %.0f us, 95th percentile %.0f us "
        "(%d samples; frame budget 33000 us)\n",
        micros[SAMPLES / 2], micros[SAMPLES * 95 / 100], SAMPLES);
    vl::InputManager::getInstance().shutDown();
    vl::DisplayManager::getInstance().shutDown();
    vl::LogManager::getInstance().shutDown();
    return 0;
}
