// SPDX-License-Identifier: MIT
// The game's own loop, measured as it is played: the work of every iteration (everything but the
// sleep), the period between iterations, start-up to the first shown frame and peak memory, on the
// title screen or while a level's solution replay plays that level again and again.
//
//   GameLoopBench [--scene title|1..6] [--samples N] [--headless] [--replays DIR] [--no-culling]
//
// --no-culling draws every character's whole background, as before the batch learnt to skip hidden ones.
//
// Run it from the repository root (the game's data is found there). In a window it needs an X
// display (xvfb-run). VL_PERF_T0, the launching shell's $EPOCHREALTIME, adds the time from the
// launch to main. scripts/perf.sh runs every scene in both modes.
#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "GameStart.h"
#include "LevelFiles.h"
#include "Resources.h"
#include <veltrane/core/Event.h>
#include <veltrane/core/EventStep.h>
#include <veltrane/core/LogManager.h>
#include <veltrane/game/GameManager.h>
#include <veltrane/graphics/DisplayManager.h>
#include <veltrane/platform/Platform.h>
#include <veltrane/world/Object.h>

namespace {

const double FRAME_US = 33000.0;

// Taken before anything else runs, so start-up figures include the engine's static set-up.
const int64_t g_main_wall_us =
    std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();

struct Options {
    std::string scene = "title";
    int samples = 1000;
    bool headless = false;
    bool culling = true;
    std::string replays = std::string(VL_SOURCE_DIR) + "/tests/game/replays";
};

struct Sample {
    int64_t work_us;    //!< from the step event to the sleep (or to the next step after an overrun)
    int64_t period_us;  //!< from this iteration's step event to the next one's
    bool in_level;      //!< a level was running when the work ended
};

// Registered for steps before any game object, so it sees each iteration start first; the loop's
// sleeper tells it where the work ends. Ends the run once it has enough samples of its scene.
class LoopProbe : public vl::Object {
public:
    LoopProbe(const GameStart* const* pp_title, bool level_scene, size_t wanted, size_t max_iterations)
        : m_pp_title(pp_title), m_level_scene(level_scene), m_wanted(wanted),
          m_max_iterations(max_iterations) {
        setType("LoopProbe");
        setSolidness(vl::SPECTRAL);
        setVisible(false);
        if (registerInterest(vl::STEP_EVENT) != 0) {
            std::abort();  // a probe that hears no steps takes no samples
        }
        m_samples.reserve(max_iterations + 1);
    }

    int eventHandler(const vl::Event* p_e) override {
        if (p_e->getType() != vl::STEP_EVENT) {
            return 0;
        }
        const int64_t now = vl::platform::monotonicMicroseconds();
        if (m_step_start >= 0) {
            // An iteration that overran never called the sleeper: all of it was work.
            const bool slept = m_sleep_called >= 0;
            const int64_t end = slept ? m_sleep_called : now;
            const bool in_level = slept ? m_in_level : isLevelRunning();
            m_samples.push_back({end - m_step_start, now - m_step_start, in_level});
            if (m_samples.size() == 2) {
                m_first_frame_us = end;  // iteration 1 showed the frame iteration 0 drew
            }
            if (in_level == m_level_scene) {
                ++m_scene_samples;
            }
            if (m_scene_samples >= m_wanted || m_samples.size() >= m_max_iterations) {
                vl::GameManager::getInstance().setGameOver(true);
            }
        }
        m_step_start = now;
        m_sleep_called = -1;
        return 1;
    }

    // Called by the loop's sleeper, once the iteration's work is done.
    void workDone() {
        m_sleep_called = vl::platform::monotonicMicroseconds();
        m_in_level = isLevelRunning();
    }

    const std::vector<Sample>& getSamples() const { return m_samples; }
    size_t getSceneSamples() const { return m_scene_samples; }
    int64_t getFirstFrameUs() const { return m_first_frame_us; }

private:
    bool isLevelRunning() const { return *m_pp_title != nullptr && (*m_pp_title)->isLevelRunning(); }

    const GameStart* const* m_pp_title;  //!< the title screen, once it exists; not owned
    bool m_level_scene;
    size_t m_wanted;
    size_t m_max_iterations;
    std::vector<Sample> m_samples;
    size_t m_scene_samples = 0;
    int64_t m_step_start = -1;    //!< monotonic µs of this iteration's step event
    int64_t m_sleep_called = -1;  //!< when this iteration's work ended, or -1 before that
    int64_t m_first_frame_us = -1;
    bool m_in_level = false;
};

int parseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool has_value = i + 1 < argc;
        if (arg == "--scene" && has_value) {
            options.scene = argv[++i];
        } else if (arg == "--samples" && has_value) {
            options.samples = std::atoi(argv[++i]);
        } else if (arg == "--replays" && has_value) {
            options.replays = argv[++i];
        } else if (arg == "--headless") {
            options.headless = true;
        } else if (arg == "--no-culling") {
            options.culling = false;
        } else {
            std::fprintf(stderr, "usage: GameLoopBench [--scene title|1..6] [--samples N] [--headless] "
                                 "[--replays DIR] [--no-culling]\n");
            return -1;
        }
    }
    const bool level = options.scene.size() == 1 && options.scene[0] >= '1' && options.scene[0] <= '6';
    if (!level && options.scene != "title") {
        std::fprintf(stderr, "GameLoopBench: scene must be title or 1 to 6, not '%s'\n",
                     options.scene.c_str());
        return -1;
    }
    if (options.samples < 10 || options.samples > 1000000) {
        std::fprintf(stderr, "GameLoopBench: samples must be 10 to 1000000\n");
        return -1;
    }
    return 0;
}

// Shifts a replay line's step (or FIRST-LAST span) by offset; other lines come back unchanged.
std::string shiftLine(const std::string& line, int offset) {
    size_t digits = 0;
    while (digits < line.size() && std::isdigit(static_cast<unsigned char>(line[digits]))) {
        ++digits;
    }
    if (digits == 0) {
        return line;
    }
    std::string out = std::to_string(std::atoi(line.substr(0, digits).c_str()) + offset);
    size_t rest = digits;
    if (rest < line.size() && line[rest] == '-') {
        size_t last = rest + 1;
        while (last < line.size() && std::isdigit(static_cast<unsigned char>(line[last]))) {
            ++last;
        }
        out += "-" + std::to_string(std::atoi(line.substr(rest + 1, last - rest - 1).c_str()) + offset);
        rest = last;
    }
    return out + line.substr(rest);
}

// The level's solution replay played copies times in a row: each copy ends back on the title screen,
// where the next one selects the level again. The solution's final Q (quit on the title) is left out.
int writeRepeatedReplay(const std::string& source, const std::string& target, int copies) {
    std::ifstream in(source);
    if (!in) {
        std::fprintf(stderr, "GameLoopBench: cannot read replay %s\n", source.c_str());
        return -1;
    }
    std::vector<std::string> events;
    int period = -1;
    int quit_step = -1;
    size_t quit_index = 0;
    std::string line;
    while (std::getline(in, line)) {
        line = line.substr(0, line.find('#'));
        while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back()))) {
            line.pop_back();
        }
        if (line.empty()) {
            continue;
        }
        int step = 0;
        char word[16] = {0};
        if (std::sscanf(line.c_str(), "end %d", &step) == 1) {
            period = step;
            continue;
        }
        if (std::sscanf(line.c_str(), "%d key hold %15s", &step, word) == 2 && std::strcmp(word, "Q") == 0 &&
            step > quit_step) {
            quit_step = step;
            quit_index = events.size();
        }
        events.push_back(line);
    }
    if (period <= 0 || quit_step < 0) {
        std::fprintf(stderr, "GameLoopBench: replay %s has no end step or no final quit\n", source.c_str());
        return -1;
    }
    events.erase(events.begin() + static_cast<std::ptrdiff_t>(quit_index));
    std::ofstream out(target);
    for (int copy = 0; copy < copies; ++copy) {
        for (const std::string& event : events) {
            out << shiftLine(event, copy * period) << "\n";
        }
    }
    out << "end " << copies * period << "\n";
    return out ? 0 : -1;
}

double percentile(std::vector<double> values, double p) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const size_t index = static_cast<size_t>(std::ceil(p / 100.0 * static_cast<double>(values.size()))) - 1;
    return values[std::min(index, values.size() - 1)];
}

// kB of a line such as "VmHWM:  12345 kB" in /proc/self/status, or -1.
long statusKilobytes(const char* key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const size_t key_length = std::strlen(key);
    while (std::getline(status, line)) {
        if (line.compare(0, key_length, key) == 0 && line.size() > key_length && line[key_length] == ':') {
            return std::atol(line.c_str() + key_length + 1);
        }
    }
    return -1;
}

void printWork(const char* label, const std::vector<Sample>& samples, bool in_level) {
    std::vector<double> work;
    for (const Sample& s : samples) {
        if (s.in_level == in_level) {
            work.push_back(static_cast<double>(s.work_us) / 1000.0);
        }
    }
    if (work.empty()) {
        return;
    }
    const double median = percentile(work, 50);
    const double p99 = percentile(work, 99);
    std::printf(
        "work %-6s samples %5zu  median %7.3f ms (%5.1f%% of 33 ms)  p99 %7.3f ms (%5.1f%%)  max %7.3f ms\n",
        label, work.size(), median, median * 100000.0 / FRAME_US, p99, p99 * 100000.0 / FRAME_US,
        percentile(work, 100));
}

void printPacing(const std::vector<Sample>& samples) {
    std::vector<double> deviation;
    double sum = 0;
    for (const Sample& s : samples) {
        sum += static_cast<double>(s.period_us);
        deviation.push_back(std::fabs(static_cast<double>(s.period_us) - FRAME_US) / 1000.0);
    }
    if (samples.empty()) {
        return;
    }
    std::printf("pacing  periods %5zu  mean %7.3f ms  p99 |period - 33 ms| %6.3f ms  max %6.3f ms\n",
                samples.size(), sum / static_cast<double>(samples.size()) / 1000.0, percentile(deviation, 99),
                percentile(deviation, 100));
}

// Seconds since the epoch as the shell's $EPOCHREALTIME writes them ("1765000000.123456"), in µs.
int64_t launchWallUs() {
    const char* p_text = std::getenv("VL_PERF_T0");
    if (p_text == nullptr) {
        return -1;
    }
    std::string text = p_text;
    std::replace(text.begin(), text.end(), ',', '.');  // a locale's decimal comma
    const size_t dot = text.find('.');
    const int64_t seconds = std::atoll(text.substr(0, dot).c_str());
    std::string fraction = dot == std::string::npos ? "" : text.substr(dot + 1);
    fraction = (fraction + "000000").substr(0, 6);
    return seconds > 0 ? seconds * 1000000 + std::atoll(fraction.c_str()) : -1;
}

std::string tempFile(const std::string& suffix) {
    std::random_device device;
    return (std::filesystem::temp_directory_path() / ("vl-perf-" + std::to_string(device()) + suffix))
        .string();
}

}  // namespace

int main(int argc, char** argv) {
    const int64_t main_us = vl::platform::monotonicMicroseconds();
    Options options;
    if (parseOptions(argc, argv, options) != 0) {
        return 2;
    }
    const bool title_scene = options.scene == "title";
    const std::string config_path = tempFile("-config.txt");
    const std::string replay_path = tempFile("-replay.txt");
    std::ofstream(config_path) << "headless:" << (options.headless ? "true" : "false")
                               << ",networking:false,random_seed:7,window_title:veltrane-perf,\n";
    setenv("VELTRANE_CONFIG", config_path.c_str(), 1);
    if (std::getenv("VELTRANE_LOG") == nullptr) {
        setenv("VELTRANE_LOG", "/dev/null", 1);
    }
    if (!title_scene) {
        // Enough copies for the samples even if a level were played in a quarter of its replay.
        const std::string source = options.replays + "/level-" + options.scene + ".txt";
        if (writeRepeatedReplay(source, replay_path, std::min(1000, 4 * options.samples / 100 + 2)) != 0) {
            return 1;
        }
        setenv("VELTRANE_REPLAY", replay_path.c_str(), 1);
    }

    vl::GameManager& game_manager = vl::GameManager::getInstance();
    const int started = game_manager.startUp();
    std::filesystem::remove(config_path);
    if (started != 0) {
        std::fprintf(stderr, "GameLoopBench: the engine did not start (see VELTRANE_LOG)\n");
        game_manager.shutDown();
        return 1;
    }
    const int64_t started_us = vl::platform::monotonicMicroseconds();
    vl::DisplayManager::getInstance().setCulling(options.culling);
    vl::LogManager::getInstance().setFlush(true);

    const GameStart* p_title = nullptr;
    const size_t max_iterations = static_cast<size_t>(options.samples) * 20 + 1000;
    // The world manager owns the probe.
    auto* p_probe =
        new LoopProbe(&p_title, !title_scene, static_cast<size_t>(options.samples), max_iterations);
    loadResources();
    LevelFiles::getInstance().load("");  // as the game does: without them no level starts
    const int64_t loaded_us = vl::platform::monotonicMicroseconds();
    vl::DisplayManager::getInstance().setBackgroundColor(vl::WHITE);
    p_title = new GameStart();
    const int64_t title_us = vl::platform::monotonicMicroseconds();
    game_manager.setLoopTiming(vl::platform::monotonicMicroseconds, [p_probe](int ms) {
        p_probe->workDone();
        vl::platform::sleepMilliseconds(ms);
    });
    const std::clock_t loop_cpu_start = std::clock();
    game_manager.run();
    const double loop_cpu_ms = static_cast<double>(std::clock() - loop_cpu_start) * 1000.0 / CLOCKS_PER_SEC;
    const long hwm_kb = statusKilobytes("VmHWM");
    const long rss_kb = statusKilobytes("VmRSS");
    const std::vector<Sample> samples = p_probe->getSamples();
    const size_t scene_samples = p_probe->getSceneSamples();
    const int64_t first_frame_us = p_probe->getFirstFrameUs();
    game_manager.shutDown();
    std::filesystem::remove(replay_path);

    std::printf("== scene %s, %s%s\n", title_scene ? "title" : ("level " + options.scene).c_str(),
                options.headless ? "headless" : "window", options.culling ? "" : ", no culling");
    printWork(title_scene ? "title" : "level", samples, !title_scene);
    if (!title_scene) {
        printWork("title", samples, false);
    }
    printPacing(samples);
    // Unlike the wall-clock figures, processor time hardly changes with what else the machine runs.
    std::printf("cpu     %.3f ms per iteration (every thread of the process: loop, rasteriser, audio)\n",
                samples.empty() ? 0.0 : loop_cpu_ms / static_cast<double>(samples.size() + 1));
    const int64_t launch_us = launchWallUs();
    std::printf(
        "start-up  launch->main %s  main->engine %.1f ms  ->resources %.1f ms  ->title %.1f ms  "
        "->%s %.1f ms\n",
        launch_us < 0 ? "n/a" : (std::to_string((g_main_wall_us - launch_us + 500) / 1000) + " ms").c_str(),
        static_cast<double>(started_us - main_us) / 1000.0, static_cast<double>(loaded_us - main_us) / 1000.0,
        static_cast<double>(title_us - main_us) / 1000.0,
        options.headless ? "iteration 1 done" : "first frame shown",  // nothing is shown headless
        first_frame_us < 0 ? -1.0 : static_cast<double>(first_frame_us - main_us) / 1000.0);
    std::printf("memory  VmHWM %ld kB  VmRSS %ld kB\n", hwm_kb, rss_kb);
    if (scene_samples < static_cast<size_t>(options.samples)) {
        std::printf("warning: only %zu of %d samples in the scene\n", scene_samples, options.samples);
        return 1;
    }
    return 0;
}
