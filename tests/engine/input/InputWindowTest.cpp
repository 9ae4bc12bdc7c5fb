// SPDX-License-Identifier: MIT
// Input from a real window under Xvfb, driven with xdotool: the exact events objects receive, and a
// recorded windowed session replayed headless.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "ChildProcess.h"
#include "InputProbe.h"
#include "TestSupport.h"
#include "WindowClose.h"
#include <veltrane/core/LogManager.h>
#include <veltrane/game/GameManager.h>
#include <veltrane/input/InputManager.h>
#include <veltrane/world/Object.h>
#include <veltrane/world/WorldManager.h>

namespace {

using Lines = std::vector<std::string>;

std::string windowTitle() {
    return "vltest-input-" + std::to_string(getpid());
}

// Runs xdotool; true when it succeeded. It returns once the X server has taken the input.
bool xdo(const std::string& arguments) {
    return std::system(("timeout 20 xdotool " + arguments).c_str()) == 0;
}

// Starts the engine in a real window (in this process) and finds the window.
class InputWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("ALSOFT_DRIVERS", "null", 1);
        const std::string config = "headless:false,networking:false,window_title:" + windowTitle() + "\n";
        m_log_path = vltest::useTempLog(&config);
        unsetenv("VELTRANE_REPLAY");
        unsetenv("VELTRANE_RECORD");
    }

    void start() {
        ASSERT_EQ(vl::GameManager::getInstance().startUp(), 0) << vltest::readFile(m_log_path);
        vl::LogManager::getInstance().setFlush(true);
        m_window = vltest::waitForWindow(windowTitle());
        ASSERT_FALSE(m_window.empty()) << "the window never became visible";
        ASSERT_TRUE(xdo("mousemove --window " + m_window + " 5 5"));
        ASSERT_TRUE(xdo("windowfocus --sync " + m_window));
        m_started = true;
    }

    void TearDown() override {
        if (m_started) {
            vl::GameManager::getInstance().shutDown();
        }
    }

    // One loop iteration's input, as the loop would ask for it; returns what the probe got.
    Lines poll() {
        m_p_probe->input.clear();
        vl::InputManager::getInstance().getInput();
        return m_p_probe->input;
    }

    // Polls until an iteration brings something; the X server delivers in the background.
    Lines pollUntilInput() {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        Lines got = poll();
        while (got.empty() && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            got = poll();
        }
        return got;
    }

    // Lets the window settle (focus, pointer) until an iteration brings nothing.
    void drain() {
        for (int i = 0; i < 1000 && !poll().empty(); i++) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }

    std::string m_log_path;
    std::string m_window;
    bool m_started = false;
    vltest::InputProbe* m_p_probe = nullptr;
};

TEST_F(InputWindowTest, KeysComeAsTheEngineNamesThemAndUnmappedOnesUndefined) {
    start();
    m_p_probe = new vltest::InputProbe;
    drain();
    ASSERT_TRUE(xdo("key KP_Divide"));
    EXPECT_EQ(pollUntilInput(), (Lines{"key pressed UNDEFINED_KEY", "key released UNDEFINED_KEY"}));
    ASSERT_TRUE(xdo("key --delay 0 Return KP_Subtract 1 bracketleft F11"));
    EXPECT_EQ(pollUntilInput(),
              (Lines{"key pressed RETURN", "key released RETURN", "key pressed MINUS", "key released MINUS",
                     "key pressed NUM1", "key released NUM1", "key pressed LEFTBRACKET",
                     "key released LEFTBRACKET", "key pressed F11", "key released F11"}));
    // Held keys in the checking order, whatever order they went down in; F11 never counts as held.
    ASSERT_TRUE(xdo("keydown --delay 0 F11 z Up"));
    EXPECT_EQ(pollUntilInput(), (Lines{"key pressed F11", "key pressed Z", "key pressed UPARROW",
                                       "key down UPARROW", "key down Z"}));
    ASSERT_TRUE(xdo("keyup --delay 0 F11 z Up"));
    EXPECT_EQ(pollUntilInput(), (Lines{"key released F11", "key released Z", "key released UPARROW"}));
}

TEST_F(InputWindowTest, PointerMovesAndClicksArriveInCells) {
    start();
    m_p_probe = new vltest::InputProbe;
    drain();
    // 1024 x 768 pixels over 80 x 24 cells: 12.8 by 32 pixels a cell.
    ASSERT_TRUE(xdo("mousemove --window " + m_window + " 128 160"));
    EXPECT_EQ(pollUntilInput(), Lines{"mouse moved UNDEFINED_MOUSE_BUTTON 10 5"});
    ASSERT_TRUE(xdo("mousedown 1"));
    EXPECT_EQ(pollUntilInput(), (Lines{"mouse clicked LEFT 10 5", "mouse pressed LEFT 10 5"}));
    EXPECT_EQ(poll(), Lines{"mouse pressed LEFT 10 5"});
    ASSERT_TRUE(xdo("mousedown 3"));
    EXPECT_EQ(pollUntilInput(),
              (Lines{"mouse clicked RIGHT 10 5", "mouse pressed LEFT 10 5", "mouse pressed RIGHT 10 5"}));
    ASSERT_TRUE(xdo("mouseup 1"));
    ASSERT_TRUE(xdo("mouseup 3"));
    // Letting go is not reported; a round trip through the server makes sure both went through.
    ASSERT_TRUE(xdo("mousemove --window " + m_window + " 64 64"));
    EXPECT_EQ(pollUntilInput(), Lines{"mouse moved UNDEFINED_MOUSE_BUTTON 5 2"});
    EXPECT_EQ(poll(), Lines{});
    ASSERT_TRUE(xdo("click 2"));
    EXPECT_EQ(pollUntilInput(), Lines{"mouse clicked MIDDLE 5 2"});
}

// Moves one cell right in every world update, so it counts the updates.
class Mover : public vl::Object {
public:
    Mover() {
        setSolidness(vl::SPECTRAL);
        setVelocity(vl::Vector(1, 0));
    }
};

// Asks the window to close on step 3; stops the game on step 300 should the close never arrive.
class Closer : public vl::Object {
public:
    explicit Closer(unsigned long window_id) : m_window_id(window_id) { registerInterest(vl::STEP_EVENT); }
    int eventHandler(const vl::Event* p_e) override {
        if (p_e->getType() != vl::STEP_EVENT) {
            return 0;
        }
        const int step = vl::GameManager::getInstance().getStepCount();
        if (step == 3) {
            sent = vltest::requestWindowClose(m_window_id);
        }
        if (step >= 300) {
            vl::GameManager::getInstance().setGameOver();
        }
        last_step = step;
        return 1;
    }
    bool sent = false;
    int last_step = -1;

private:
    unsigned long m_window_id;
};

TEST_F(InputWindowTest, ClosingTheWindowEndsTheLoopAfterThatIteration) {
    start();
    auto* p_closer = new Closer(std::stoul(m_window));
    auto* p_mover = new Mover;
    const float start_x = p_mover->getPosition().getX();
    vl::GameManager::getInstance().run();
    EXPECT_TRUE(p_closer->sent);
    EXPECT_GE(p_closer->last_step, 3);
    EXPECT_LT(p_closer->last_step, 300);
    // The closing iteration was the last, and it still finished: its world update moved the mover.
    EXPECT_EQ(vl::GameManager::getInstance().getStepCount(), p_closer->last_step + 1);
    EXPECT_EQ(p_mover->getPosition().getX() - start_x, static_cast<float>(p_closer->last_step + 1));
}

// Drives the window from inside the loop: each xdotool call returns once the X server has the input,
// so it reaches the same iteration's input.
class Driver : public vl::Object {
public:
    explicit Driver(std::string window) : m_window(std::move(window)) { registerInterest(vl::STEP_EVENT); }
    int eventHandler(const vl::Event* p_e) override {
        if (p_e->getType() != vl::STEP_EVENT) {
            return 0;
        }
        const int step = vl::GameManager::getInstance().getStepCount();
        struct Action {
            int step;
            std::string arguments;
        };
        const Action script[] = {
            {2, "keydown d"},
            {5, "keyup d"},
            {6, "keydown --delay 0 w space"},
            {7, "keyup --delay 0 w space"},
            {8, "mousemove --window " + m_window + " 128 160"},
            {9, "mousedown 1"},
            {12, "mouseup 1"},
            {13, "key KP_Divide"},
            {14, "mousemove --window " + m_window + " 700 500"},
            {15, "click 3"},
        };
        for (const Action& action : script) {
            if (action.step == step) {
                ok = xdo(action.arguments) && ok;
            }
        }
        if (step == 20) {
            vl::GameManager::getInstance().setGameOver();
        }
        return 1;
    }
    bool ok = true;

private:
    std::string m_window;
};

// The log's input lines ("Probe: step 3 key down D"), without the time prefix.
Lines inputLines(const std::string& log) {
    Lines lines;
    std::istringstream in(log);
    for (std::string line; std::getline(in, line);) {
        const size_t at = line.find("Probe: step ");
        if (at != std::string::npos && line.find(" rand ") == std::string::npos) {
            lines.push_back(line.substr(at));
        }
    }
    return lines;
}

TEST_F(InputWindowTest, ARecordedWindowSessionReplaysHeadlessToTheSameEvents) {
    const std::string recording = vltest::tempPath("session.txt");
    const std::string replay_log = vltest::tempPath("replay.log");
    const std::string replay_config = vltest::tempPath("replay-config.txt");
    vltest::writeFile(replay_config, "headless:true,networking:false,frame_time:0\n");
    // Forked now, while nothing is started, so that it replays with fresh managers.
    vltest::ForkedChild replayer([&] {
        setenv("VELTRANE_CONFIG", replay_config.c_str(), 1);
        setenv("VELTRANE_LOG", replay_log.c_str(), 1);
        setenv("VELTRANE_REPLAY", recording.c_str(), 1);
        vl::GameManager& game = vl::GameManager::getInstance();
        if (game.startUp() != 0) {
            return 2;
        }
        new vltest::InputProbe(1000);
        game.run();
        game.shutDown();
        return 0;
    });

    setenv("VELTRANE_RECORD", recording.c_str(), 1);
    start();
    auto* p_driver = new Driver(m_window);
    new vltest::InputProbe(1000);
    vl::GameManager::getInstance().run();
    EXPECT_TRUE(p_driver->ok);
    vl::GameManager::getInstance().shutDown();
    m_started = false;

    const Lines live = inputLines(vltest::readFile(m_log_path));
    const std::string recorded = vltest::readFile(recording);
    EXPECT_NE(recorded.find("\nend 20\n"), std::string::npos) << recorded;
    // Everything the driver did came through.
    for (const char* p_expected :
         {"key pressed D", "key down D", "key released D", "key down W", "key down SPACE",
          "mouse moved UNDEFINED_MOUSE_BUTTON 10 5", "mouse clicked LEFT 10 5", "mouse pressed LEFT 10 5",
          "key pressed UNDEFINED_KEY", "mouse clicked RIGHT 54.6875 15.625"}) {
        bool found = false;
        for (const std::string& line : live) {
            found = found || line.find(p_expected) != std::string::npos;
        }
        EXPECT_TRUE(found) << p_expected << " missing from the live run; recording:\n" << recorded;
    }

    ASSERT_EQ(replayer.release(), 0);
    const std::string replayed = vltest::readFile(replay_log);
    EXPECT_NE(replayed.find("Replay finished at step 20."), std::string::npos) << replayed;
    EXPECT_EQ(inputLines(replayed), live);
}

}  // namespace
