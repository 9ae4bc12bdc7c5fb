// SPDX-License-Identifier: MIT
// A long headless run of the real game loop under seeded random keys, through the title screen and every
// level, checking that memory settles. VL_SOAK_STEPS sets the length (make soak runs 100,000 iterations),
// VL_SOAK_SEED the keys.
#include <gtest/gtest.h>
#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>

#include "GameHarness.h"

#ifdef __SANITIZE_ADDRESS__
extern "C" size_t __sanitizer_get_current_allocated_bytes();

// A small quarantine fills before the baseline (the 256 MB default would not) and still catches any
// use of memory freed in the last few dozen frames.
extern "C" const char* __asan_default_options() {
    return "quarantine_size_mb=8";
}
// The sanitizer's caches make its resident size wander by about five percent with a flat live heap.
const double ALLOWED_RESIDENT_GROWTH = 0.10;
#else
const double ALLOWED_RESIDENT_GROWTH = 0.05;
#endif

namespace {

const int SAMPLE_STEP = 1000;  // memory after this many iterations is the baseline
const double ALLOWED_HEAP_GROWTH = 0.05;

int envInt(const char* p_name, int fallback) {
    const char* p_value = std::getenv(p_name);
    return p_value != nullptr && *p_value != '\0' ? std::atoi(p_value) : fallback;
}

long residentBytes() {
    long size_pages = 0;
    long resident_pages = -1;
    std::ifstream("/proc/self/statm") >> size_pages >> resident_pages;
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

// Writes a replay script: visits of levels with random game keys, each left with Q, never a Q on the title.
class SoakScript {
public:
    explicit SoakScript(unsigned seed) : m_random(seed) {}

    // Chooses the level with A and D, or with its digit, starts it, plays, leaves with Q.
    void visit(int level, int play_steps) {
        for (; m_selected != level; m_step += 2) {
            const bool digit = randomInt(0, 1) == 0;
            line(m_step, digit ? "NUM" + std::to_string(level + 1) : m_selected < level ? "D" : "A");
            m_selected = digit ? level : m_selected + (m_selected < level ? 1 : -1);
        }
        m_out << m_step << " key pressed RETURN\n";
        m_step += 3;
        play(play_steps);
        line(m_step, "Q");  // acts when let go, on the next step
        m_step += 4;
        visits.push_back(level);
    }
    void idleUntil(int step) { m_step = std::max(m_step, step); }
    int randomInt(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }
    int step() const { return m_step; }
    std::string text() const { return m_out.str() + "end " + std::to_string(m_step) + "\n"; }
    std::vector<int> visits;

private:
    void line(int step, const std::string& key, int last = -1) {
        m_out << step << (last > step ? "-" + std::to_string(last) : "") << " key hold " << key << "\n";
    }

    // Random spans of keys, all ending before the visit does; keys no level uses are in the mix as noise.
    void play(int steps) {
        static const struct {
            const char* name;
            int longest_hold;
        } KEYS[] = {{"A", 40}, {"D", 40}, {"W", 3}, {"SPACE", 1}, {"S", 1}, {"R", 1}, {"LEFTARROW", 20}};
        const int key_count = static_cast<int>(std::size(KEYS));
        const int end = m_step + steps;
        std::vector<int> free_from(std::size(KEYS), 0);
        for (int step = m_step; step < end - 1; step++) {
            const int pick = randomInt(0, 6 * key_count - 1);  // a key in one step out of six
            if (pick >= key_count || step < free_from[pick]) {
                continue;
            }
            const int last = std::min(step + randomInt(0, KEYS[pick].longest_hold - 1), end - 2);
            line(step, KEYS[pick].name, last);
            free_from[pick] = last + 2;
        }
        m_step = end;
    }

    std::mt19937 m_random;
    std::ostringstream m_out;
    int m_step = 0;
    int m_selected = 0;  // the title screen starts on level 1
};

// Watches every step: the levels played, and memory at the sample step.
class SoakObserver : public vl::Object {
public:
    SoakObserver() {
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
            heap = liveHeapBytes();
        }
        // Freed memory is not handed back at once: the baseline is the highest resident size over the
        // thousand iterations after the first.
        if (step >= SAMPLE_STEP && step < 2 * SAMPLE_STEP && step % 50 == 0) {
            resident = std::max(resident, residentBytes());
        }
        const std::vector<vl::Object*> builders = gametest::objectsOfType("LevelBuilder");
        const int level = builders.empty() ? -1 : static_cast<LevelBuilder*>(builders.front())->getLevel();
        if (level != m_level && level >= 0) {
            visits.push_back(level);
        }
        m_level = level;
        return 1;
    }
    long heap = -1;
    long resident = -1;
    std::vector<int> visits;

private:
    int m_level = -1;
};

}  // namespace

TEST(Soak, RandomKeysThroughEveryLevelLeaveMemorySettled) {
    const int steps = envInt("VL_SOAK_STEPS", 5000);
    const unsigned seed = static_cast<unsigned>(envInt("VL_SOAK_SEED", 1));
    ASSERT_GE(steps, 2 * SAMPLE_STEP) << "VL_SOAK_STEPS is too small for a baseline";
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
    gametest::GameHarness game(replay_path);
    ASSERT_TRUE(game.started());
    new GameStart();
    const SoakObserver* p_observer = new SoakObserver();
    vl::GameManager::getInstance().run();
    const long end_heap = liveHeapBytes();
    const long end_resident = residentBytes();
    const int steps_run = vl::GameManager::getInstance().getStepCount();
    const std::vector<int> visits = p_observer->visits;
    const long base_heap = p_observer->heap;
    const long base_resident = p_observer->resident;
    game.shutDown();
    const std::string log = game.log();

    std::printf(
        "soak: %d iterations (seed %u), %zu level visits; resident %ld KiB at most to step %d, %ld KiB "
        "at the end; live heap %ld KiB at step %d, %ld KiB at the end\n",
        steps_run, seed, visits.size(), base_resident / 1024, 2 * SAMPLE_STEP, end_resident / 1024,
        base_heap / 1024, SAMPLE_STEP, end_heap / 1024);
    EXPECT_NE(log.find("Replay finished at step " + std::to_string(script.step())), std::string::npos)
        << "the game ended before its input did (quit from the title screen?)";
    EXPECT_EQ(steps_run, script.step() + 1);
    EXPECT_EQ(vltest::countOccurrences(log, "Error"), 0);
    EXPECT_NE(log.find("** Game engine stopped **"), std::string::npos);
    // Every visit the keys asked for happened, in order: no key was lost on the way.
    EXPECT_EQ(visits, script.visits);
    EXPECT_GT(vltest::countOccurrences(log, "SHADOW SWITCH"), 0);
    EXPECT_GT(vltest::countOccurrences(log, "Restarting level"), 0);
    ASSERT_GT(base_resident, 0);
    ASSERT_GT(base_heap, 0);
    EXPECT_LE(end_resident, static_cast<long>(base_resident * (1.0 + ALLOWED_RESIDENT_GROWTH)));
    EXPECT_LE(end_heap, static_cast<long>(base_heap * (1.0 + ALLOWED_HEAP_GROWTH)));
}
