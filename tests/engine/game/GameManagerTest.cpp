// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "HeadlessEngine.h"
#include "StderrCapture.h"
#include "TestSupport.h"
#include <veltrane/core/Config.h>
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
    int oversleep_us = 0;  // added to every sleep, as a coarse timer would
    std::vector<int> sleeps;

    void install() {
        vl::GameManager::getInstance().setLoopTiming([this] { return now; },
                                                     [this](int ms) {
                                                         sleeps.push_back(ms);
                                                         now +=
                                                             static_cast<int64_t>(ms) * 1000 + oversleep_us;
                                                     });
    }
};

// Spends a scripted amount of fake time in each step and ends the game after the last one.
// Like every object it belongs to the world, which deletes it at shut-down.
class Worker : public vl::Object {
public:
    Worker(FakeTime* p_time, std::vector<int> work_ms) : m_p_time(p_time), m_work_ms(std::move(work_ms)) {
        registerInterest(vl::STEP_EVENT);
    }
    int eventHandler(const vl::Event* p_e) override {
        const auto* p_step = dynamic_cast<const vl::EventStep*>(p_e);
        if (p_step == nullptr) {
            return 0;
        }
        steps.push_back(p_step->getStepCount());
        const size_t i = steps.size() - 1;
        if (i < m_work_ms.size()) {
            m_p_time->now += static_cast<int64_t>(m_work_ms[i]) * 1000;
        }
        if (steps.size() >= m_work_ms.size()) {
            vl::GameManager::getInstance().setGameOver();
        }
        return 1;
    }
    std::vector<int> steps;

private:
    FakeTime* m_p_time;
    std::vector<int> m_work_ms;
};

const std::string CANT_KEEP_UP = "Can't keep up!";

}  // namespace

TEST(GameLoop, SleepsOutTheFrameAndCarriesOversleepIntoTheNextOne) {
    vltest::HeadlessEngine engine("frame_time:33,");
    ASSERT_EQ(engine.startUp(), 0);
    FakeTime time;
    time.oversleep_us = 2000;
    time.install();
    Worker& worker = *new Worker(&time, {10, 10, 10});
    vl::GameManager::getInstance().run();
    EXPECT_EQ(time.sleeps, (std::vector<int>{23, 21, 21}));
    EXPECT_EQ(worker.steps, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(vl::GameManager::getInstance().getStepCount(), 3);
    engine.shutDown();
}

TEST(GameLoop, OverrunsAreReportedExceptOnTheFirstIterationAndRightAfterAnOversleep) {
    vltest::HeadlessEngine engine("frame_time:33,");
    ASSERT_EQ(engine.startUp(), 0);
    FakeTime time;
    // Step 0 overruns (never reported), step 1 sleeps 3 ms, step 2 overruns (reported),
    // step 3 oversleeps, step 4 overruns right after it (not reported), step 5 overruns.
    new Worker(&time, {50, 30, 40, 5, 45, 34});
    // Only the second sleep (in step 3) oversleeps, by 4 ms.
    vl::GameManager::getInstance().setLoopTiming([&time] { return time.now; },
                                                 [&time](int ms) {
                                                     time.sleeps.push_back(ms);
                                                     const int extra = time.sleeps.size() == 2 ? 4000 : 0;
                                                     time.now += static_cast<int64_t>(ms) * 1000 + extra;
                                                 });
    vl::GameManager::getInstance().run();
    engine.shutDown();
    EXPECT_EQ(time.sleeps, (std::vector<int>{3, 28}));
    const std::string log = engine.log();
    EXPECT_EQ(vltest::countOccurrences(log, CANT_KEEP_UP), 2) << log;
    EXPECT_NE(log.find("   2 GameManager::run(): Can't keep up! frame_time 33 ms, split 40 ms"),
              std::string::npos);
    EXPECT_NE(log.find("   5 GameManager::run(): Can't keep up! frame_time 33 ms, split 34 ms"),
              std::string::npos);
}

TEST(GameLoop, ZeroFrameTimeNeverSleepsNorComplains) {
    vltest::HeadlessEngine engine("frame_time:0,");
    ASSERT_EQ(engine.startUp(), 0);
    FakeTime time;
    time.install();
    Worker& worker = *new Worker(&time, {5, 5, 5, 5});
    vl::GameManager::getInstance().run();
    EXPECT_EQ(worker.steps, (std::vector<int>{0, 1, 2, 3}));
    engine.shutDown();
    EXPECT_TRUE(time.sleeps.empty());
    EXPECT_EQ(engine.log().find(CANT_KEEP_UP), std::string::npos);
}

TEST(GameManager, StartAndStopBannersAreTheOnlyLinesAtTheDefaultLevel) {
    vltest::HeadlessEngine engine;
    ASSERT_EQ(engine.startUp(), 0);
    EXPECT_TRUE(vl::GameManager::getInstance().isStarted());
    EXPECT_FALSE(vl::NetworkManager::getInstance().isStarted());  // networking is off
    engine.shutDown();
    const std::string stars(52, '*');
    const std::string expected[] = {stars, "** Veltrane version 4.21 **", "** Game engine started **", stars,
                                    stars, "** Game engine stopped **"};
    const std::string log = engine.log();
    std::vector<std::string> messages;
    size_t at = 0;
    while (at < log.size()) {
        const size_t end = log.find('\n', at);
        messages.push_back(log.substr(at + 14, end - at - 14));
        at = end + 1;
    }
    EXPECT_EQ(messages, std::vector<std::string>(std::begin(expected), std::end(expected)));
    EXPECT_FALSE(vl::LogManager::getInstance().isStarted());
    EXPECT_FALSE(vl::GameManager::getInstance().isStarted());
}

TEST(GameManager, StartingTwiceIsRefused) {
    vltest::HeadlessEngine engine;
    ASSERT_EQ(engine.startUp(), 0);
    EXPECT_EQ(engine.startUp(), -1);
    engine.shutDown();
    EXPECT_NE(engine.log().find("GameManager::startup(): Warning! GameManager already started."),
              std::string::npos);
}

TEST(GameManager, UnopenableLogFileStopsStartUp) {
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

TEST(GameManager, SeedOfMinusOneLeavesTheGeneratorUnseededAndAFixedSeedIsUsed) {
    std::srand(1);
    const int unseeded_first = std::rand();
    std::srand(77);
    const int seeded_first = std::rand();
    std::srand(1);
    {
        vltest::HeadlessEngine engine("random_seed:-1,");
        ASSERT_EQ(engine.startUp(), 0);
        EXPECT_EQ(std::rand(), unseeded_first);
        engine.shutDown();
    }
    vltest::HeadlessEngine engine("random_seed:77,");
    ASSERT_EQ(engine.startUp(), 0);
    EXPECT_EQ(std::rand(), seeded_first);
    engine.shutDown();
}

TEST(GameManager, FirstStepEventCarriesZeroAndGameOverEndsTheIterationItWasSetIn) {
    vltest::HeadlessEngine engine("frame_time:0,");
    ASSERT_EQ(engine.startUp(), 0);
    FakeTime time;
    time.install();
    Worker& worker = *new Worker(&time, {0});
    vl::GameManager::getInstance().run();
    EXPECT_EQ(worker.steps, (std::vector<int>{0}));
    EXPECT_EQ(vl::GameManager::getInstance().getStepCount(), 1);
    EXPECT_TRUE(vl::GameManager::getInstance().getGameOver());
    engine.shutDown();
}

TEST(GameManager, FailingManagerStopsStartUpAndShutDownUnwindsWhatStarted) {
    vltest::HeadlessEngine engine;
    // A window with no X display to open it on.
    vltest::writeFile(std::getenv("VELTRANE_CONFIG"), "headless:false,networking:false,");
    unsetenv("DISPLAY");
    EXPECT_EQ(engine.startUp(), -1);
    EXPECT_TRUE(vl::LogManager::getInstance().isStarted());
    EXPECT_FALSE(vl::DisplayManager::getInstance().isStarted());
    EXPECT_FALSE(vl::InputManager::getInstance().isStarted());
    EXPECT_FALSE(vl::WorldManager::getInstance().isStarted());
    engine.shutDown();
    EXPECT_FALSE(vl::LogManager::getInstance().isStarted());
    const std::string log = engine.log();
    EXPECT_NE(log.find("** Veltrane version 4.21 **"), std::string::npos);
    EXPECT_NE(log.find("GameManager::startUp(): Error! Starting display manager."), std::string::npos);
    EXPECT_EQ(log.find("Starting input manager"), std::string::npos);
    EXPECT_EQ(log.rfind("** Game engine stopped **\n"),
              log.size() - std::string("** Game engine stopped **\n").size());
}

namespace {

// Spends the next of its microsecond amounts of fake time in each step; ends the game after the last.
class MicrosecondWorker : public vl::Object {
public:
    MicrosecondWorker(FakeTime* p_time, std::vector<int64_t> work_us)
        : m_p_time(p_time), m_work_us(std::move(work_us)) {
        registerInterest(vl::STEP_EVENT);
    }
    int eventHandler(const vl::Event* p_e) override {
        if (p_e->getType() != vl::STEP_EVENT || m_done >= m_work_us.size()) {
            return 0;
        }
        m_p_time->now += m_work_us[m_done];
        if (++m_done == m_work_us.size()) {
            vl::GameManager::getInstance().setGameOver();
        }
        return 1;
    }

private:
    FakeTime* m_p_time;
    std::vector<int64_t> m_work_us;
    size_t m_done = 0;
};

}  // namespace

TEST(GameLoop, WholeMillisecondSleepsStillAverageTheFrameTime) {
    vltest::HeadlessEngine engine("frame_time:33,");
    ASSERT_EQ(engine.startUp(), 0);
    FakeTime time;  // sleeps exactly as long as asked, as Linux does
    time.install();
    new MicrosecondWorker(&time, std::vector<int64_t>(300, 10400));
    vl::GameManager::getInstance().run();
    engine.shutDown();
    ASSERT_EQ(time.sleeps.size(), 300u);
    // Each 22.6 ms left over is slept as 22 or 23 ms, so that the fractions cut off add up.
    for (const int ms : time.sleeps) {
        EXPECT_TRUE(ms == 22 || ms == 23) << ms;
    }
    EXPECT_NEAR(static_cast<double>(time.now), 300 * 33000.0, 1000.0);
}

TEST(GameLoop, ASleepThatReturnsAtOnceIsNotMadeUpLater) {
    vltest::HeadlessEngine engine("frame_time:33,");
    ASSERT_EQ(engine.startUp(), 0);
    FakeTime time;
    std::vector<int> sleeps;
    vl::GameManager::getInstance().setLoopTiming([&time] { return time.now; },
                                                 [&sleeps](int ms) { sleeps.push_back(ms); });
    new MicrosecondWorker(&time, std::vector<int64_t>(4, 10400));
    vl::GameManager::getInstance().run();
    engine.shutDown();
    // Only the 0.6 ms cut off is carried, never the 22 ms that were not slept.
    EXPECT_EQ(sleeps, (std::vector<int>{22, 23, 22, 23}));
}

TEST(GameLoop, AnOverrunAfterAShortenedSleepIsReported) {
    vltest::HeadlessEngine engine("frame_time:33,");
    ASSERT_EQ(engine.startUp(), 0);
    FakeTime time;
    time.install();
    // Step 1 sleeps 22 of its 22.6 ms left; step 2 overruns, and nothing was overslept before it.
    new MicrosecondWorker(&time, {10400, 10400, 40000, 10000});
    vl::GameManager::getInstance().run();
    engine.shutDown();
    EXPECT_EQ(time.sleeps, (std::vector<int>{22, 23, 23}));
    EXPECT_EQ(vltest::countOccurrences(engine.log(), CANT_KEEP_UP), 1) << engine.log();
}
