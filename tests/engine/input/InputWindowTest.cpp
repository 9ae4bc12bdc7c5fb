// SPDX-License-Identifier: MIT
// Input from a real window under Xvfb, driven with xdotool and recorded; closing the window ends the
// session, and the recording replayed headless gives the same events.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "InputProbe.h"
#include "TestSupport.h"
#include "WindowClose.h"
#include <veltrane/core/LogManager.h>
#include <veltrane/game/GameManager.h>
#include <veltrane/world/Object.h>

namespace {

using Lines = std::vector<std::string>;

// Runs xdotool; true when it succeeded. It returns once the X server has taken the input.
bool xdo(const std::string& arguments) {
    return std::system(("timeout 20 xdotool " + arguments).c_str()) == 0;
}

// Runs an action at the step event of given steps.
class AtSteps : public vl::Object {
public:
    explicit AtSteps(std::map<int, std::function<void()>> actions) : m_actions(std::move(actions)) {
        registerInterest(vl::STEP_EVENT);
    }
    int eventHandler(const vl::Event* /*p_e*/) override {
        const auto found = m_actions.find(vl::GameManager::getInstance().getStepCount());
        if (found != m_actions.end()) {
            found->second();
        }
        return 1;
    }

private:
    std::map<int, std::function<void()>> m_actions;
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

TEST(InputWindow, ARecordedSessionEndedByClosingTheWindowReplaysHeadlessToTheSameEvents) {
    setenv("ALSOFT_DRIVERS", "null", 1);
    unsetenv("VELTRANE_REPLAY");
    unsetenv("VELTRANE_RECORD");
    const std::string title = "vltest-input-" + std::to_string(getpid());
    const std::string config = "headless:false,networking:false,window_title:" + title + "\n";
    const std::string log_path = vltest::useTempLog(&config);
    const std::string recording = vltest::tempPath("session.txt");
    const std::string replay_log = vltest::tempPath("replay.log");
    const std::string replay_config = vltest::tempPath("replay-config.txt");
    ASSERT_TRUE(vltest::writeFile(replay_config, "headless:true,networking:false,frame_time:0\n"));
    // Forked now, while nothing is started, so that it replays with fresh managers.
    vltest::ForkedChild replayer([&] {
        setenv("VELTRANE_CONFIG", replay_config.c_str(), 1);
        setenv("VELTRANE_LOG", replay_log.c_str(), 1);
        setenv("VELTRANE_REPLAY", recording.c_str(), 1);
        return vltest::runProbedGame(1000);
    });

    setenv("VELTRANE_RECORD", recording.c_str(), 1);
    vl::GameManager& game = vl::GameManager::getInstance();
    ASSERT_EQ(game.startUp(), 0) << vltest::readFile(log_path);
    vl::LogManager::getInstance().setFlush(true);
    const std::string window = vltest::waitForWindow(title);
    ASSERT_FALSE(window.empty()) << "the window never became visible";
    bool ok = xdo("mousemove --window " + window + " 5 5") && xdo("windowfocus --sync " + window);
    bool sent = false;
    // Each xdotool call returns once the X server has the input, so it reaches the same iteration's input.
    const auto x = [&ok](const std::string& arguments) {
        return [&ok, arguments] {
            ok = xdo(arguments) && ok;
        };
    };
    new AtSteps({{2, x("keydown d")},
                 {5, x("keyup d")},
                 {6, x("keydown --delay 0 w space")},
                 {7, x("keyup --delay 0 w space")},
                 {8, x("mousemove --window " + window + " 128 160")},
                 {9, x("mousedown 1")},
                 {12, x("mouseup 1")},
                 {13, x("key KP_Divide")},
                 {14, x("mousemove --window " + window + " 700 500")},
                 {15, x("click 3")},
                 {20, [&] {
                      sent = vltest::requestWindowClose(std::stoul(window));
                  }}});
    auto* p_probe = new vltest::InputProbe(300);  // stops the game should the close never arrive
    // Moves one cell right in every world update, so it counts the updates.
    auto* p_mover = new vl::Object;
    p_mover->setSolidness(vl::SPECTRAL);
    p_mover->setVelocity(vl::Vector(1, 0));
    const float start_x = p_mover->getPosition().getX();
    game.run();
    EXPECT_TRUE(ok && sent);
    const int end = p_probe->last_step;
    EXPECT_GE(end, 20);
    EXPECT_LT(end, 300);
    // The closing iteration was the last, and it still finished: its world update moved the mover.
    EXPECT_EQ(game.getStepCount(), end + 1);
    EXPECT_EQ(p_mover->getPosition().getX() - start_x, static_cast<float>(end + 1));
    game.shutDown();

    const Lines live = inputLines(vltest::readFile(log_path));
    const std::string recorded = vltest::readFile(recording);
    EXPECT_NE(recorded.find("\nend " + std::to_string(end) + "\n"), std::string::npos) << recorded;
    // Keys, held keys (in the checking order), held buttons, unmapped keys and clicks between cells came
    // through; 1024 x 768 pixels over 80 x 24 cells make a cell 12.8 by 32 pixels.
    const auto first = [&](const std::string& text) -> size_t {
        return std::find_if(live.begin(), live.end(),
                            [&](const std::string& line) { return line.find(text) != std::string::npos; }) -
               live.begin();
    };
    for (const char* p_expected : {"key released D", "key down W", "mouse pressed LEFT 10 5",
                                   "key pressed UNDEFINED_KEY", "mouse clicked RIGHT 54.6875 15.625"}) {
        EXPECT_LT(first(p_expected), live.size()) << p_expected << " missing; recording:\n" << recorded;
    }
    EXPECT_LT(first("key down SPACE"), first("key down W"));
    ASSERT_EQ(replayer.release(), 0);
    const std::string replayed = vltest::readFile(replay_log);
    EXPECT_NE(replayed.find("Replay finished at step " + std::to_string(end) + "."), std::string::npos)
        << replayed;
    EXPECT_EQ(inputLines(replayed), live);
}

}  // namespace
