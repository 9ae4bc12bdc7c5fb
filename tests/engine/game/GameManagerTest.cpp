// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "HeadlessEngine.h"
#include "StderrCapture.h"
#include "TestSupport.h"
#include <veltrane/core/EventStep.h>
#include <veltrane/game/GameManager.h>
#include <veltrane/input/InputManager.h>
#include <veltrane/world/Object.h>

namespace {

// Spends the next of its amounts of fake time (microseconds) in each step; ends the game after the last.
struct Worker : vl::Object {
    Worker(int64_t* p_now, std::vector<int> work_us) : m_p_now(p_now), m_work_us(std::move(work_us)) {
        EXPECT_EQ(0, registerInterest(vl::STEP_EVENT));
    }
    int eventHandler(const vl::Event* p_e) override {
        if (p_e->getType() != vl::STEP_EVENT) {
            return 0;
        }
        m_last_step = static_cast<const vl::EventStep*>(p_e)->getStepCount();
        *m_p_now += m_work_us[m_steps++];
        if (m_steps == m_work_us.size()) {
            vl::GameManager::getInstance().setGameOver();
        }
        return 1;
    }
    int64_t* m_p_now;
    std::vector<int> m_work_us;
    size_t m_steps = 0;
    int m_last_step = -1;
};

}  // namespace

TEST(GameLoop, SleepsOutTheFrameAndReportsOverruns) {
    const struct {
        const char* name;
        int frame_ms;
        std::vector<int> work_us;
        std::vector<int> oversleep_us;  // per sleep, the last repeating; -1: the sleep returns at once
        std::vector<int> sleeps;        // empty: each 22 or 23 ms, averaging the frame time
        std::vector<int> reported;      // steps whose overrun is reported
    } cases[] = {
        {"oversleep is carried into the next frame", 33, {10000, 10000, 10000}, {2000}, {23, 21, 21}, {}},
        // Never on the first iteration nor right after an oversleep (here the second sleep's).
        {"overruns", 33, {50000, 30000, 40000, 5000, 45000, 34000}, {0, 4000, 0}, {3, 28}, {2, 5}},
        {"no frame time", 0, {5000, 5000, 5000, 5000}, {0}, {}, {}},
        {"whole milliseconds", 33, std::vector<int>(300, 10400), {0}, {}, {}},
        {"a sleep cut short is not made up", 33, {10400, 10400, 10400, 10400}, {-1}, {22, 23, 22, 23}, {}},
        {"overrun after a shortened sleep", 33, {10400, 10400, 40000, 10000}, {0}, {22, 23, 23}, {2}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        vltest::HeadlessEngine engine("frame_time:" + std::to_string(c.frame_ms) + ",");
        ASSERT_EQ(engine.startUp(), 0);
        int64_t now = 0;
        std::vector<int> sleeps;
        const auto sleep = [&](int ms) {
            const int extra = c.oversleep_us[std::min(sleeps.size(), c.oversleep_us.size() - 1)];
            sleeps.push_back(ms);
            now += extra < 0 ? 0 : ms * 1000 + extra;
        };
        vl::GameManager::getInstance().setLoopTiming([&now] { return now; }, sleep);
        const Worker& worker = *new Worker(&now, c.work_us);
        vl::GameManager::getInstance().run();
        EXPECT_EQ(worker.m_last_step + 1, static_cast<int>(c.work_us.size()));
        EXPECT_EQ(vl::GameManager::getInstance().getStepCount(), static_cast<int>(c.work_us.size()));
        engine.shutDown();
        if (c.frame_ms > 0 && c.sleeps.empty()) {
            for (const int ms : sleeps) {
                EXPECT_TRUE(ms == 22 || ms == 23) << ms;
            }
            EXPECT_NEAR(static_cast<double>(now), c.work_us.size() * 33000.0, 1000.0);
        } else {
            EXPECT_EQ(sleeps, c.sleeps);
        }
        const std::string log = engine.log();
        EXPECT_EQ(vltest::countOccurrences(log, "Can't keep up!"), static_cast<int>(c.reported.size()));
        for (const int step : c.reported) {
            const std::string line = (step < 10 ? "   " : "  ") + std::to_string(step) +
                                     " GameManager::run(): Can't keep up! frame_time 33 ms, split " +
                                     std::to_string(c.work_us[step] / 1000) + " ms";
            EXPECT_NE(log.find(line), std::string::npos) << line;
        }
    }
}

TEST(GameManager, SeedOfMinusOneLeavesTheGeneratorUnseededAndAFixedSeedIsUsed) {
    std::srand(77);
    const int seeded_first = std::rand();
    std::srand(1);
    const int unseeded_first = std::rand();
    std::srand(1);
    for (const int seed : {-1, 77}) {
        vltest::HeadlessEngine engine("random_seed:" + std::to_string(seed) + ",");
        ASSERT_EQ(engine.startUp(), 0);
        EXPECT_EQ(std::rand(), seed < 0 ? unseeded_first : seeded_first) << seed;
        engine.shutDown();
    }
}

// Configuration warnings are found before the log is open: they stay on standard error and reach the log
// first, in order. A headless run without a frame time or a replay says once that only the game ends it.
TEST(GameManager, ConfigurationWarningsReachTheLogAndAnEndlessHeadlessRunSaysSo) {
    const std::string replay = vltest::tempPath("end.txt");
    ASSERT_TRUE(vltest::writeFile(replay, "end 3\n"));
    const std::string typo = "Unknown key 'headles' on line 3; did you mean 'headless'?";
    const std::string comma = "Entry 'frame_time:0random_seed:7' on line 4 is not one key:value";
    const struct {
        const char* items;
        bool replaying;
        int endless;
    } cases[] = {{"headles:true,\nframe_time:0\nrandom_seed:7,", false, 1},
                 {"frame_time:0,", true, 0},
                 {"frame_time:5,", false, 0}};
    for (const auto& c : cases) {
        vltest::HeadlessEngine engine(c.items);
        c.replaying ? setenv(vl::REPLAY_ENV, replay.c_str(), 1) : unsetenv(vl::REPLAY_ENV);
        vltest::StderrCapture err;
        ASSERT_EQ(engine.startUp(), 0);
        const std::string said = err.finish();
        engine.shutDown();
        const std::string log = engine.log();
        EXPECT_EQ(vltest::countOccurrences(log, "nothing will end this run but the game itself"), c.endless);
        if (c.endless == 0) {
            continue;
        }
        EXPECT_NE(said.find(typo), std::string::npos) << said;
        EXPECT_NE(said.find(comma), std::string::npos) << said;
        EXPECT_LT(log.find(typo), log.find(comma)) << log;
        EXPECT_LT(log.find(comma), log.find("** Game engine started **")) << log;
    }
}
