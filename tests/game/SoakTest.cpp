// SPDX-License-Identifier: MIT
// A long headless run of the real game loop under seeded random keys through every level: memory must
// settle. VL_SOAK_STEPS sets the length (make soak runs 100,000 iterations), VL_SOAK_SEED the keys.
#include <malloc.h>
#include <unistd.h>

#include <fstream>
#include <random>
#include <sstream>

#include "GameHarness.h"

#ifdef __SANITIZE_ADDRESS__
extern "C" size_t __sanitizer_get_current_allocated_bytes();

// A small quarantine fills before the baseline and still catches use of memory freed in recent frames.
extern "C" const char* __asan_default_options() {
    return "quarantine_size_mb=8";
}
const double ALLOWED_RESIDENT_GROWTH = 0.10;  // the sanitizer's caches wander by about five percent
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

// A replay script of level visits with random game keys, each left with Q; never a Q on the title.
struct SoakScript {
    explicit SoakScript(unsigned seed) : random(seed) {}
    std::mt19937 random;
    std::ostringstream out;
    int step = 0;
    int selected = 0;  // the title starts on level 1
    std::vector<int> visits;

    int randomInt(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); }
    void hold(int first, const std::string& key, int last) {
        out << first << "-" << last << " key hold " << key << "\n";
    }
    // Chooses the level with A and D or its digit, starts it, holds random keys (LEFTARROW, which no
    // level uses, as noise) for spans ending before the visit does, and leaves with Q.
    void visit(int level, int play_steps) {
        for (; selected != level; step += 2) {
            const bool digit = randomInt(0, 1) == 0;
            hold(step, digit ? "NUM" + std::to_string(level + 1) : selected < level ? "D" : "A", step);
            selected = digit ? level : selected + (selected < level ? 1 : -1);
        }
        out << step << " key pressed RETURN\n";
        static const std::pair<const char*, int> KEYS[] = {
            {"A", 40}, {"D", 40}, {"W", 3}, {"SPACE", 1}, {"S", 1}, {"R", 1}, {"LEFTARROW", 20}};
        const int end = step + 3 + play_steps;
        std::vector<int> free_from(std::size(KEYS), 0);
        for (int at = step + 3; at < end - 1; at++) {
            const int pick = randomInt(0, 6 * std::size(KEYS) - 1);  // a key in one step out of six
            if (pick < static_cast<int>(std::size(KEYS)) && at >= free_from[pick]) {
                free_from[pick] = std::min(at + randomInt(0, KEYS[pick].second - 1), end - 2) + 2;
                hold(at, KEYS[pick].first, free_from[pick] - 2);
            }
        }
        hold(end, "Q", end);  // acts when let go, on the next step
        step = end + 4;
        visits.push_back(level);
    }
};

}  // namespace

TEST(Soak, RandomKeysThroughEveryLevelLeaveMemorySettled) {
    const int steps = envInt("VL_SOAK_STEPS", 5000);
    ASSERT_GE(steps, 2 * SAMPLE_STEP) << "VL_SOAK_STEPS is too small for a baseline";
    // All six levels visited before the baseline, so that it holds what every level needs; both
    // samples are taken on the title screen.
    SoakScript script(static_cast<unsigned>(envInt("VL_SOAK_SEED", 1)));
    for (int level = 0; level < LEVEL_COUNT; level++) {
        script.visit(level, 100);
    }
    script.step = std::max(script.step, SAMPLE_STEP + 20);
    while (script.step < steps - 2500) {
        script.visit(script.randomInt(0, LEVEL_COUNT - 1), script.randomInt(200, 2000));
    }
    if (script.step < steps - 400) {
        script.visit(script.randomInt(0, LEVEL_COUNT - 1), steps - 400 - script.step);
    }
    script.step = std::max(script.step, steps);
    const std::string replay_path = vltest::tempPath("soak-replay.txt");
    ASSERT_TRUE(
        vltest::writeFile(replay_path, script.out.str() + "end " + std::to_string(script.step) + "\n"));
    gametest::GameHarness game(replay_path);
    ASSERT_TRUE(game.started());
    new GameStart();
    long base_heap = -1;
    long base_resident = -1;
    std::vector<int> visits;
    int level_shown = -1;
    new gametest::StepWatcher([&](int step) {
        if (step == SAMPLE_STEP) {
            base_heap = liveHeapBytes();
        }
        // Freed memory is not handed back at once: the baseline is the highest resident size over the
        // thousand iterations after the first.
        if (step >= SAMPLE_STEP && step < 2 * SAMPLE_STEP && step % 50 == 0) {
            base_resident = std::max(base_resident, residentBytes());
        }
        const std::vector<vl::Object*> builders = gametest::objectsOfType("LevelBuilder");
        const int level = builders.empty() ? -1 : static_cast<LevelBuilder*>(builders.front())->getLevel();
        if (level != level_shown && level >= 0) {
            visits.push_back(level);
        }
        level_shown = level;
    });
    vl::GameManager::getInstance().run();
    const long end_heap = liveHeapBytes();
    const long end_resident = residentBytes();
    const int steps_run = vl::GameManager::getInstance().getStepCount();
    game.shutDown();
    EXPECT_EQ(game.count("Replay finished at step " + std::to_string(script.step)), 1)
        << "the game ended before its input did (quit from the title screen?)";
    EXPECT_EQ(steps_run, script.step + 1);
    EXPECT_EQ(game.count("Error"), 0);
    EXPECT_EQ(game.count("** Game engine stopped **"), 1);
    EXPECT_EQ(visits, script.visits);  // every visit the keys asked for, in order: no key lost
    EXPECT_GT(game.count("SHADOW SWITCH"), 0);
    EXPECT_GT(game.count("Restarting level"), 0);
    ASSERT_TRUE(base_resident > 0 && base_heap > 0);
    EXPECT_LE(end_resident, static_cast<long>(base_resident * (1.0 + ALLOWED_RESIDENT_GROWTH)));
    EXPECT_LE(end_heap, static_cast<long>(base_heap * (1.0 + ALLOWED_HEAP_GROWTH)));
}
