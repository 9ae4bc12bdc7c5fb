// SPDX-License-Identifier: MIT
// A long headless run of the real game loop under seeded random keys, through the title screen and every
// level, checking that memory settles. VL_SOAK_STEPS sets the length (make soak runs 100,000 iterations),
// VL_SOAK_SEED the keys.
#include <gtest/gtest.h>
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "GameStart.h"
#include "HeadlessEngine.h"
#include "LevelBuilder.h"
#include "Resources.h"
#include "TestSupport.h"
#include <veltrane/core/EventStep.h>
#include <veltrane/core/LogManager.h>
#include <veltrane/core/ObjectList.h>
#include <veltrane/game/GameManager.h>
#include <veltrane/graphics/DisplayManager.h>
#include <veltrane/input/InputManager.h>
#include <veltrane/world/Object.h>
#include <veltrane/world/WorldManager.h>

#ifdef __SANITIZE_ADDRESS__
extern "C" size_t __sanitizer_get_current_allocated_bytes();

// Freed blocks wait in quarantine until it is full, so the resident size would climb by its
// 256 MB default long after the baseline; a small one fills within the first hundred iterations
// and still catches any use of memory freed in the last few dozen frames.
extern "C" const char* __asan_default_options() {
    return "quarantine_size_mb=8";
}
#endif

namespace {

const int DEFAULT_STEPS = 5000;
const int SAMPLE_STEP = 1000;  // memory after this many iterations is the baseline
const int MAX_STEPS = 10000000;
const double ALLOWED_GROWTH = 0.05;  // of live heap, and of the resident size in a plain build
#ifdef __SANITIZE_ADDRESS__
// The sanitizer's quarantine and per-size caches make its resident size wander by about five percent
// over a long run with a flat live heap; the live heap is the exact measure there.
const double ALLOWED_RESIDENT_GROWTH = 0.10;
#else
const double ALLOWED_RESIDENT_GROWTH = ALLOWED_GROWTH;
#endif

int envInt(const char* p_name, int fallback, int low, int high) {
    const char* p_value = std::getenv(p_name);
    if (p_value == nullptr || *p_value == '\0') {
        return fallback;
    }
    char* p_end = nullptr;
    const long value = std::strtol(p_value, &p_end, 10);
    if (*p_end != '\0' || value < low || value > high) {
        ADD_FAILURE() << p_name << "='" << p_value << "' is not a number from " << low << " to " << high;
        return fallback;
    }
    return static_cast<int>(value);
}

long residentBytes() {
    std::ifstream statm("/proc/self/statm");
    long size_pages = 0;
    long resident_pages = 0;
    if (!(statm >> size_pages >> resident_pages)) {
        return -1;
    }
    return resident_pages * sysconf(_SC_PAGESIZE);
}

// Bytes in live heap blocks: unlike the resident size, blind to freed memory kept for reuse.
long liveHeapBytes() {
#ifdef __SANITIZE_ADDRESS__
    return static_cast<long>(__sanitizer_get_current_allocated_bytes());
#else
    return static_cast<long>(mallinfo2().uordblks);
#endif
}

struct MemorySample {
    long resident = -1;
    long heap = -1;
};

MemorySample sampleMemory() {
    return {residentBytes(), liveHeapBytes()};
}

// Writes a replay script (docs/replay.md) that tours every level, then visits random levels with
// random game keys, always leaving a level with Q and never pressing Q on the title screen.
class SoakScript {
public:
    explicit SoakScript(unsigned seed) : m_random(seed) {}

    // One visit: choose the level on the title screen, start it, play, leave with Q.
    void visit(int level, int play_steps) {
        chooseLevel(level);
        m_out << m_step << " key pressed RETURN\n";
        m_step += 3;
        play(play_steps);
        m_out << m_step << " key hold Q\n";  // acts when let go, on the next step
        m_step += 4;
        m_visits.push_back(level);
    }
    void idleUntil(int step) {
        if (m_step < step) {
            m_step = step;
        }
    }
    int randomInt(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }
    int step() const { return m_step; }
    const std::vector<int>& visits() const { return m_visits; }
    std::string text() const { return m_out.str() + "end " + std::to_string(m_step) + "\n"; }

private:
    struct GameKey {
        const char* name;
        int longest_hold;  // steps
        int weight;
    };

    // The digit keys, or A and D from the level shown, as a player would.
    void chooseLevel(int level) {
        if (randomInt(0, 1) == 0) {
            m_out << m_step << " key hold NUM" << level + 1 << "\n";
            m_step += 2;
        } else {
            while (m_selected != level) {
                m_out << m_step << " key hold " << (m_selected < level ? "D" : "A") << "\n";
                m_selected += m_selected < level ? 1 : -1;
                m_step += 2;
            }
        }
        m_selected = level;
    }

    // Random spans of game keys; every span ends before the visit does, so no key is held into the
    // title screen. Keys the game does not use in a level are in the mix as noise.
    void play(int steps) {
        static const GameKey KEYS[] = {{"A", 40, 6},         {"D", 40, 6},          {"W", 3, 4},
                                       {"SPACE", 1, 3},      {"S", 1, 3},           {"R", 1, 1},
                                       {"LEFTARROW", 20, 1}, {"RIGHTARROW", 20, 1}, {"UPARROW", 3, 1}};
        int total_weight = 0;
        for (const GameKey& key : KEYS) {
            total_weight += key.weight;
        }
        const int end = m_step + steps;
        std::map<std::string, int> free_from;
        for (int step = m_step; step < end - 1; step++) {
            if (randomInt(0, 5) != 0) {
                continue;
            }
            int pick = randomInt(0, total_weight - 1);
            const GameKey* p_key = KEYS;
            while (pick >= p_key->weight) {
                pick -= p_key->weight;
                p_key++;
            }
            if (step < free_from[p_key->name]) {
                continue;
            }
            const int last = std::min(step + randomInt(0, p_key->longest_hold - 1), end - 2);
            if (last == step) {
                m_out << step << " key hold " << p_key->name << "\n";
            } else {
                m_out << step << "-" << last << " key hold " << p_key->name << "\n";
            }
            free_from[p_key->name] = last + 2;
        }
        m_step = end;
    }

    std::mt19937 m_random;
    std::ostringstream m_out;
    int m_step = 0;
    int m_selected = 0;  // the title screen starts on level 1
    std::vector<int> m_visits;
};

// Watches every step: which level is being played, and memory at the sample step.
class SoakObserver : public vl::Object {
public:
    explicit SoakObserver(int steps) : m_trace_every(std::max(1000, steps / 20)) {
        setType("SoakObserver");
        setSolidness(vl::SPECTRAL);
        registerInterest(vl::STEP_EVENT);
    }
    int eventHandler(const vl::Event* p_e) override {
        if (p_e->getType() != vl::STEP_EVENT) {
            return 0;
        }
        const int step = static_cast<const vl::EventStep*>(p_e)->getStepCount();
        if (step == SAMPLE_STEP) {
            m_sample = sampleMemory();
        }
        // Freed memory is not handed back at once: the resident size wanders by a few percent, so the
        // baseline is its highest point over the thousand iterations after the first.
        if (step >= SAMPLE_STEP && step < 2 * SAMPLE_STEP && step % 50 == 0) {
            m_peak_resident = std::max(m_peak_resident, residentBytes());
        }
        if (step % m_trace_every == 0) {
            const MemorySample now = sampleMemory();
            std::printf("soak: step %6d resident %ld KiB, live heap %ld KiB\n", step, now.resident / 1024,
                        now.heap / 1024);
            std::fflush(stdout);
        }
        const int level = currentLevel();
        if (level != m_level && level >= 0) {
            m_visits.push_back(level);
        }
        m_level = level;
        return 1;
    }
    const MemorySample& sample() const { return m_sample; }
    long peakResident() const { return m_peak_resident; }
    const std::vector<int>& visits() const { return m_visits; }

private:
    static int currentLevel() {
        const vl::ObjectList all = vl::WorldManager::getInstance().getAllObjects(false);
        for (vl::ObjectListIterator it(&all); !it.isDone(); it.next()) {
            const LevelBuilder* p_builder = dynamic_cast<const LevelBuilder*>(it.currentObject());
            if (p_builder != nullptr) {
                return p_builder->getLevel();
            }
        }
        return -1;
    }

    MemorySample m_sample;
    long m_peak_resident = -1;
    int m_trace_every;
    std::vector<int> m_visits;
    int m_level = -1;
};

std::string visitsText(const std::vector<int>& visits) {
    std::string text;
    for (size_t i = 0; i < visits.size() && i < 40; i++) {
        text += std::to_string(visits[i] + 1) + " ";
    }
    return visits.size() > 40 ? text + "..." : text;
}

}  // namespace

TEST(Soak, RandomKeysThroughEveryLevelLeaveMemorySettled) {
    const int steps = envInt("VL_SOAK_STEPS", DEFAULT_STEPS, 2 * SAMPLE_STEP, MAX_STEPS);
    const unsigned seed = static_cast<unsigned>(envInt("VL_SOAK_SEED", 1, 0, 1 << 30));

    // A tour of all six levels before the baseline, so that it already holds what every level needs;
    // both samples are taken on the title screen.
    SoakScript script(seed);
    for (int level = 0; level < LevelBuilder::LEVEL_COUNT; level++) {
        script.visit(level, 100);
    }
    script.idleUntil(SAMPLE_STEP + 20);
    while (script.step() < steps - 2500) {
        script.visit(script.randomInt(0, LevelBuilder::LEVEL_COUNT - 1), script.randomInt(200, 2000));
    }
    if (script.step() < steps - 400) {
        script.visit(script.randomInt(0, LevelBuilder::LEVEL_COUNT - 1), steps - 400 - script.step());
    }
    script.idleUntil(steps);
    const std::string replay_path = vltest::tempPath("soak-replay.txt");
    ASSERT_TRUE(vltest::writeFile(replay_path, script.text()));
    setenv(vl::REPLAY_ENV, replay_path.c_str(), 1);

    // Started as the game's entry point starts it.
    vltest::HeadlessEngine engine("frame_time:0,random_seed:7,");
    ASSERT_EQ(engine.startUp(), 0);
    vl::LogManager::getInstance().setFlush(true);
    loadResources();
    vl::DisplayManager::getInstance().setBackgroundColor(vl::WHITE);
    new GameStart();
    const SoakObserver* p_observer = new SoakObserver(steps);
    vl::GameManager::getInstance().run();
    const MemorySample end = sampleMemory();
    const int steps_run = vl::GameManager::getInstance().getStepCount();
    const std::vector<int> visits = p_observer->visits();
    const MemorySample start = p_observer->sample();
    const long baseline_resident = p_observer->peakResident();
    engine.shutDown();
    const std::string log = engine.log();

    std::printf("soak: %d iterations (seed %u), %zu level visits\n", steps_run, seed, visits.size());
    std::printf("soak: resident %ld KiB at step %d (highest to step %d: %ld KiB), %ld KiB at the end "
                "(%+.2f%% of the highest)\n",
                start.resident / 1024, SAMPLE_STEP, 2 * SAMPLE_STEP, baseline_resident / 1024,
                end.resident / 1024,
                baseline_resident > 0 ? 100.0 * (end.resident - baseline_resident) / baseline_resident : 0.0);
    std::printf("soak: live heap %ld KiB at step %d, %ld KiB at the end (%+.2f%%)\n", start.heap / 1024,
                SAMPLE_STEP, end.heap / 1024,
                start.heap > 0 ? 100.0 * (end.heap - start.heap) / start.heap : 0.0);

    EXPECT_NE(log.find("Replaying input from"), std::string::npos) << "the replay was refused";
    EXPECT_NE(log.find("Replay finished at step " + std::to_string(script.step())), std::string::npos)
        << "the game ended before its input did (quit from the title screen?)";
    EXPECT_EQ(steps_run, script.step() + 1);
    EXPECT_EQ(vltest::countOccurrences(log, "Error"), 0);
    EXPECT_NE(log.find("** Game engine stopped **"), std::string::npos);
    // Every visit the keys asked for happened, in order: no key was lost on the way.
    EXPECT_EQ(visits, script.visits())
        << "played: " << visitsText(visits) << "\nasked:  " << visitsText(script.visits());
    for (int level = 0; level < LevelBuilder::LEVEL_COUNT; level++) {
        EXPECT_NE(std::find(visits.begin(), visits.end(), level), visits.end()) << "level " << level + 1;
    }
    EXPECT_GT(vltest::countOccurrences(log, "SHADOW SWITCH"), 0);
    EXPECT_GT(vltest::countOccurrences(log, "Restarting level"), 0);

    ASSERT_GT(baseline_resident, 0);
    ASSERT_GT(start.heap, 0);
    EXPECT_LE(end.resident, static_cast<long>(baseline_resident * (1.0 + ALLOWED_RESIDENT_GROWTH)));
    EXPECT_LE(end.heap, static_cast<long>(start.heap * (1.0 + ALLOWED_GROWTH)));
}
