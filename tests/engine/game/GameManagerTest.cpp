// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "HeadlessEngine.h"
#include "StderrCapture.h"
#include "TestSupport.h"
#include <veltrane/core/EventStep.h>
#include <veltrane/core/LogManager.h>
#include <veltrane/game/GameManager.h>
#include <veltrane/graphics/DisplayManager.h>
#include <veltrane/input/InputManager.h>
#include <veltrane/network/NetworkManager.h>
#include <veltrane/world/Object.h>
#include <veltrane/world/WorldManager.h>

namespace {

// A loop clock that only moves when the test says so.
struct FakeTime {
    int64_t now = 0;
    std::vector<int> sleeps;
};

// Spends the next of its microsecond amounts of fake time in each step; ends the game after the last.
class Worker : public vl::Object {
public:
    Worker(FakeTime* p_time, std::vector<int> work_us) : m_p_time(p_time), m_work_us(std::move(work_us)) {
        registerInterest(vl::STEP_EVENT);
    }
    int eventHandler(const vl::Event* p_e) override {
        const auto* p_step = dynamic_cast<const vl::EventStep*>(p_e);
        if (p_step == nullptr) {
            return 0;
        }
        steps.push_back(p_step->getStepCount());
        m_p_time->now += m_work_us[steps.size() - 1];
        if (steps.size() == m_work_us.size()) {
            vl::GameManager::getInstance().setGameOver();
        }
        return 1;
    }
    std::vector<int> steps;

private:
    FakeTime* m_p_time;
    std::vector<int> m_work_us;
};

const std::string CANT_KEEP_UP = "Can't keep up!";

}  // namespace

TEST(GameLoop, SleepsOutTheFrameAndReportsOverruns) {
    const std::vector<int> many(300, 10400);
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
        {"whole milliseconds", 33, many, {0}, {}, {}},
        {"a sleep cut short is not made up", 33, {10400, 10400, 10400, 10400}, {-1}, {22, 23, 22, 23}, {}},
        {"overrun after a shortened sleep", 33, {10400, 10400, 40000, 10000}, {0}, {22, 23, 23}, {2}},
    };
    for (const auto& c : cases) {
        vltest::HeadlessEngine engine("frame_time:" + std::to_string(c.frame_ms) + ",");
        ASSERT_EQ(engine.startUp(), 0);
        FakeTime time;
        const std::vector<int>& extra = c.oversleep_us;
        vl::GameManager::getInstance().setLoopTiming([&time] { return time.now; },
                                                     [&time, &extra](int ms) {
                                                         const size_t i = time.sleeps.size();
                                                         const int e =
                                                             i < extra.size() ? extra[i] : extra.back();
                                                         time.sleeps.push_back(ms);
                                                         time.now += e < 0 ? 0 : ms * 1000 + e;
                                                     });
        Worker& worker = *new Worker(&time, c.work_us);
        vl::GameManager::getInstance().run();
        EXPECT_EQ(worker.steps.back() + 1, static_cast<int>(c.work_us.size())) << c.name;
        EXPECT_EQ(vl::GameManager::getInstance().getStepCount(), static_cast<int>(c.work_us.size()))
            << c.name;
        engine.shutDown();
        if (c.frame_ms > 0 && c.sleeps.empty()) {
            for (const int ms : time.sleeps) {
                EXPECT_TRUE(ms == 22 || ms == 23) << ms;
            }
            EXPECT_NEAR(static_cast<double>(time.now), c.work_us.size() * 33000.0, 1000.0) << c.name;
        } else {
            EXPECT_EQ(time.sleeps, c.sleeps) << c.name;
        }
        const std::string log = engine.log();
        EXPECT_EQ(vltest::countOccurrences(log, CANT_KEEP_UP), static_cast<int>(c.reported.size())) << c.name;
        for (const int step : c.reported) {
            const std::string line = (step < 10 ? "   " : "  ") + std::to_string(step) +
                                     " GameManager::run(): Can't keep up! frame_time 33 ms, split " +
                                     std::to_string(c.work_us[step] / 1000) + " ms";
            EXPECT_NE(log.find(line), std::string::npos) << c.name << ": " << line;
        }
    }
}

TEST(GameManager, StartAndStopBannersAreTheOnlyLinesAtTheDefaultLevel) {
    vltest::HeadlessEngine engine;
    ASSERT_EQ(engine.startUp(), 0);
    EXPECT_FALSE(vl::NetworkManager::getInstance().isStarted());  // networking is off
    engine.shutDown();
    const std::string stars(52, '*');
    const std::vector<std::string> expected = {
        stars, "** Veltrane version 4.21 **", "** Game engine started **", stars,
        stars, "** Game engine stopped **"};
    const std::string log = engine.log();
    std::vector<std::string> messages;
    for (size_t at = 0, end = 0; at < log.size(); at = end + 1) {
        end = log.find('\n', at);
        messages.push_back(log.substr(at + 14, end - at - 14));
    }
    EXPECT_EQ(messages, expected);
    EXPECT_FALSE(vl::LogManager::getInstance().isStarted() || vl::GameManager::getInstance().isStarted());
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

TEST(GameManager, AFailingStartUpStopsAndShutDownUnwindsWhatStarted) {
    {
        vltest::HeadlessEngine engine;
        setenv("VELTRANE_LOG", "/nonexistent-dir/veltrane.log", 1);
        vltest::StderrCapture capture;
        EXPECT_EQ(engine.startUp(), -1);
        engine.shutDown();
        const std::string err = capture.finish();
        EXPECT_NE(err.find("GameManager::startUp(): Error! Starting log manager."), std::string::npos);
        EXPECT_NE(err.find("** Game engine stopped **"), std::string::npos);
        EXPECT_FALSE(vl::GameManager::getInstance().isStarted());
    }
    vltest::HeadlessEngine engine;
    vltest::writeFile(std::getenv("VELTRANE_CONFIG"), "headless:false,networking:false,");
    unsetenv("DISPLAY");  // a window with no X display to open it on
    EXPECT_EQ(engine.startUp(), -1);
    EXPECT_TRUE(vl::LogManager::getInstance().isStarted());
    EXPECT_FALSE(vl::DisplayManager::getInstance().isStarted() ||
                 vl::InputManager::getInstance().isStarted() || vl::WorldManager::getInstance().isStarted());
    engine.shutDown();
    EXPECT_FALSE(vl::LogManager::getInstance().isStarted());
    const std::string log = engine.log();
    EXPECT_NE(log.find("GameManager::startUp(): Error! Starting display manager."), std::string::npos);
    EXPECT_EQ(log.find("Starting input manager"), std::string::npos);
    EXPECT_EQ(log.rfind("** Game engine stopped **\n"),
              log.size() - std::string("** Game engine stopped **\n").size());
}
