// SPDX-License-Identifier: MIT
// Keys, the mouse and the close button of a real window under Xvfb, driven with xdotool.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <map>
#include <string>

#include "InputProbe.h"
#include "StepWatcher.h"
#include "TestSupport.h"
#include "WindowClose.h"
#include <veltrane/core/LogManager.h>
#include <veltrane/game/GameManager.h>

namespace {

// Runs xdotool; it returns once the X server has taken the input, so the same iteration reads it.
bool xdo(const std::string& arguments) {
    return std::system(("timeout 20 xdotool " + arguments).c_str()) == 0;
}

}  // namespace

TEST(InputWindow, HeldKeysMouseCellsUnmappedKeysAndTheCloseButtonComeThroughInTheSameIteration) {
    setenv("ALSOFT_DRIVERS", "null", 1);
    const std::string title = "vltest-input-" + std::to_string(getpid());
    const std::string config = "headless:false,networking:false,window_title:" + title + "\n";
    const std::string log_path = vltest::useTempLog(&config);
    vl::GameManager& game = vl::GameManager::getInstance();
    ASSERT_EQ(game.startUp(), 0) << vltest::readFile(log_path);
    vl::LogManager::getInstance().setFlush(true);
    const std::string window = vltest::waitForWindow(title);
    ASSERT_FALSE(window.empty()) << "the window never became visible";
    bool ok = xdo("mousemove --window " + window + " 5 5") && xdo("windowfocus --sync " + window);
    bool sent = false;
    const auto x = [&ok](const std::string& arguments) {
        return [&ok, arguments] {
            ok = xdo(arguments) && ok;
        };
    };
    const std::map<int, std::function<void()>> actions{{2, x("keydown d")},
                                                       {4, x("keyup d")},
                                                       {5, x("mousemove --window " + window + " 128 160")},
                                                       {6, x("mousedown 1")},
                                                       {8, x("mouseup 1")},
                                                       {9, x("key KP_Divide")},
                                                       {10, x("mousemove --window " + window + " 700 500")},
                                                       {11, x("click 3")},
                                                       {13, [&] {
                                                            sent = vltest::requestWindowClose(
                                                                std::stoul(window));
                                                        }}};
    new vltest::StepWatcher([&actions](int step) {
        const auto found = actions.find(step);
        if (found != actions.end()) {
            found->second();
        }
    });
    auto* p_probe = new vltest::InputProbe(300);  // stops the game should the close never arrive
    auto* p_mover = new vl::Object;               // one cell right per world update
    p_mover->setSolidness(vl::SPECTRAL);
    p_mover->setVelocity(vl::Vector(1, 0));
    const float start_x = p_mover->getPosition().getX();
    game.run();
    EXPECT_TRUE(ok && sent);
    const int end = p_probe->last_step;
    EXPECT_GE(end, 13);
    EXPECT_LT(end, 300);
    // The closing iteration was the last, and it still finished its world update.
    EXPECT_EQ(game.getStepCount(), end + 1);
    EXPECT_EQ(p_mover->getPosition().getX() - start_x, static_cast<float>(end + 1));
    game.shutDown();
    // 1024 x 768 pixels over 80 x 24 cells make a cell 12.8 by 32 pixels.
    const std::string log = vltest::readFile(log_path);
    for (const char* p_expected : {"key down D", "key released D", "mouse pressed LEFT 10 5",
                                   "key pressed UNDEFINED_KEY", "mouse clicked RIGHT 54.6875 15.625"}) {
        EXPECT_NE(log.find(p_expected), std::string::npos) << p_expected << " missing:\n" << log;
    }
}
