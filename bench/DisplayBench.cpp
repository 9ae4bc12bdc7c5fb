// SPDX-License-Identifier: MIT
// A full 80 x 24 screen of characters in a real window, drawn character by character and in one batch:
// median milliseconds per frame (build, submit, finish, display) for each path, and their ratio.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <veltrane/core/Config.h>
#include <veltrane/core/LogManager.h>
#include <veltrane/graphics/DisplayManager.h>
#include <veltrane/platform/Platform.h>

namespace {

const int WARM_UP_FRAMES = 20;
const int ROUNDS = 6;  // the paths take turns, so drift in the machine's load hits both alike
const int FRAMES_PER_ROUND = 40;

void drawFullScreen(int frame) {
    const vl::DisplayManager& display = vl::DisplayManager::getInstance();
    for (int y = 0; y < 24; y++) {
        for (int x = 0; x < 80; x++) {
            const char ch = static_cast<char>(33 + (x * 7 + y * 13 + frame) % 94);
            display.drawCharacter(vl::Vector(static_cast<float>(x), static_cast<float>(y)), ch,
                                  static_cast<vl::Color>(1 + (x + y + frame) % 7));
        }
    }
}

// Milliseconds for one frame: building it, handing it to the window, and showing it (which waits for the
// software rasteriser to finish).
double timeFrame(int frame) {
    vl::DisplayManager& display = vl::DisplayManager::getInstance();
    const int64_t start = vl::platform::monotonicMicroseconds();
    drawFullScreen(frame);
    display.swapBuffers();
    return static_cast<double>(vl::platform::monotonicMicroseconds() - start) / 1000.0;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main() {
    setenv("VELTRANE_LOG", "/dev/null", 1);
    vl::Config::getInstance().loadConfig(
        "headless:false,window_horizontal_pixels:1024,window_vertical_pixels:768,"
        "window_horizontal_chars:80,window_vertical_chars:24,font_scale:2.0,"
        "window_title:veltrane-display-bench,font_file:" VL_SOURCE_DIR "/vl-font.ttf");
    if (vl::LogManager::getInstance().startUp() != 0) {
        std::abort();
    }
    vl::DisplayManager& display = vl::DisplayManager::getInstance();
    if (display.startUp() != 0) {
        std::fprintf(stderr, "DisplayBench: cannot open the window (run it under xvfb-run)\n");
        return 1;
    }

    std::vector<double> direct;
    std::vector<double> batched;
    int frame = 0;
    for (bool batching : {false, true}) {
        display.setBatching(batching);
        for (int i = 0; i < WARM_UP_FRAMES; i++) {
            timeFrame(frame++);
        }
    }
    for (int round = 0; round < ROUNDS; round++) {
        for (bool batching : {false, true}) {
            display.setBatching(batching);
            std::vector<double>& times = batching ? batched : direct;
            for (int i = 0; i < FRAMES_PER_ROUND; i++) {
                times.push_back(timeFrame(frame++));
            }
        }
    }
    display.shutDown();
    vl::LogManager::getInstance().shutDown();

    const double direct_ms = median(direct);
    const double batched_ms = median(batched);
    std::printf("DisplayBench: full 80 x 24 screen, 1024 x 768 window, %d frames per path\n",
                ROUNDS * FRAMES_PER_ROUND);
    std::printf("  per-character path: median %.2f ms/frame (min %.2f, max %.2f)\n", direct_ms,
                *std::min_element(direct.begin(), direct.end()),
                *std::max_element(direct.begin(), direct.end()));
    std::printf("  batched path:       median %.2f ms/frame (min %.2f, max %.2f)\n", batched_ms,
                *std::min_element(batched.begin(), batched.end()),
                *std::max_element(batched.begin(), batched.end()));
    std::printf("  batched / per-character: %.2f\n", batched_ms / direct_ms);
    return 0;
}
