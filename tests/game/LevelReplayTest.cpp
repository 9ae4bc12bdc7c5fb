// SPDX-License-Identifier: MIT
// Every level is played from the title screen to its door by a replay file, in the real game
// loop, headless; and one replay exercises quitting, restarting, switching, levers and lights.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "GameStart.h"
#include "GameTestUtil.h"
#include "HeadlessEngine.h"
#include "KeyGuide.h"
#include "Obstacle.h"
#include "Player.h"
#include "Resources.h"
#include "Switch.h"
#include "TestSupport.h"
#include <veltrane/core/LogManager.h>
#include <veltrane/game/GameManager.h>
#include <veltrane/graphics/DisplayManager.h>

using gametest::GameHarness;
using vl::Vector;

namespace {

// Runs checks at chosen loop iterations, before that iteration's objects get their step event.
class Checkpoints : public vl::Object {
public:
    Checkpoints() {
        setType("Checkpoints");
        setSolidness(vl::SPECTRAL);
        registerInterest(vl::STEP_EVENT);
    }
    int eventHandler(const vl::Event* p_e) override {
        if (p_e->getType() != vl::STEP_EVENT) {
            return 0;
        }
        const int step = static_cast<const vl::EventStep*>(p_e)->getStepCount();
        auto found = checks.find(step);
        if (found != checks.end()) {
            SCOPED_TRACE("checkpoint at step " + std::to_string(step));
            found->second();
            reached++;
        }
        return 1;
    }
    std::map<int, std::function<void()>> checks;
    int reached = 0;
};

// Plays a replay through the game's own start-up (as the entry point does) with a fast loop.
class ReplayGame {
public:
    explicit ReplayGame(const std::string& replay) : m_engine("frame_time:0,") {
        setenv("VELTRANE_REPLAY", vltest::sourcePath("tests/game/replays/" + replay).c_str(), 1);
        m_started = m_engine.startUp() == 0;
        unsetenv("VELTRANE_REPLAY");
        if (m_started) {
            vl::LogManager::getInstance().setFlush(true);
            loadResources();
            vl::DisplayManager::getInstance().setBackgroundColor(vl::WHITE);
            m_p_title = new GameStart();
            m_p_checkpoints = new Checkpoints();
        }
    }
    ~ReplayGame() {
        if (m_started && !m_stopped) {
            m_engine.shutDown();
        }
    }
    bool started() const { return m_started; }
    void run() { vl::GameManager::getInstance().run(); }
    void shutDown() {
        m_engine.shutDown();
        m_stopped = true;
    }
    std::string log() const { return m_engine.log(); }
    GameStart* title() const { return m_p_title; }
    Checkpoints* checkpoints() const { return m_p_checkpoints; }

private:
    vltest::HeadlessEngine m_engine;
    bool m_started = false;
    bool m_stopped = false;
    GameStart* m_p_title = nullptr;
    Checkpoints* m_p_checkpoints = nullptr;
};

int countParticlesNear(Vector where, float radius) {
    int count = 0;
    for (vl::Object* p_o : GameHarness::objectsOfType("Particle")) {
        const Vector d = p_o->getPosition() - where;
        if (std::sqrt(d.getX() * d.getX() + d.getY() * d.getY()) <= radius) {
            count++;
        }
    }
    return count;
}

struct LevelReplay {
    int level;           // 1 to 6
    int lever_pulls;     // "switched" lines
    int world_switches;  // "SHADOW SWITCH" lines
};

class LevelReplayTest : public ::testing::TestWithParam<LevelReplay> {};

}  // namespace

TEST_P(LevelReplayTest, ReplayCompletesTheLevelAndReturnsToTheTitle) {
    const LevelReplay expected = GetParam();
    ReplayGame game("level-" + std::to_string(expected.level) + ".txt");
    ASSERT_TRUE(game.started());
    game.run();

    const std::string log = game.log();
    EXPECT_EQ(vltest::countOccurrences(log, "Replaying input from"), 1) << log;
    EXPECT_EQ(vltest::countOccurrences(log, "door entered"), 1) << log;
    EXPECT_EQ(vltest::countOccurrences(log, "switched"), expected.lever_pulls);
    EXPECT_EQ(vltest::countOccurrences(log, "SHADOW SWITCH"), expected.world_switches);
    EXPECT_EQ(vltest::countOccurrences(log, "Restarting level"), 0);
    EXPECT_EQ(vltest::countOccurrences(log, "Warning"), 0) << log;
    EXPECT_EQ(vltest::countOccurrences(log, "Error"), 0) << log;

    // Back on the title screen, with the level's number still selected, the level cleared away,
    // the title's borders up and the green completion burst on the selector's mark.
    EXPECT_TRUE(vl::GameManager::getInstance().getGameOver());
    EXPECT_TRUE(game.title()->isActive());
    EXPECT_FALSE(game.title()->isLevelRunning());
    EXPECT_EQ(game.title()->getSelectedLevel(), expected.level - 1);
    for (const char* type : {"LevelBuilder", "Player", "Obstacle", "Switch", "Light", "Door", "KeyGuide"}) {
        EXPECT_TRUE(GameHarness::objectsOfType(type).empty()) << type;
    }
    EXPECT_EQ(GameHarness::objectsOfType("Border").size(), 10u);
    // The burst is 100 particles living 15 to 44 steps; the replays quit some 15 steps after the door.
    const Vector mark(static_cast<float>(23 + 6 * (expected.level - 1)), 17);
    const int near_mark = countParticlesNear(mark, 5);
    EXPECT_GE(near_mark, 80);
    EXPECT_EQ(static_cast<size_t>(near_mark), GameHarness::objectsOfType("Particle").size());

    game.shutDown();
    EXPECT_EQ(vltest::countOccurrences(game.log(), "Game engine stopped"), 1);
}

INSTANTIATE_TEST_SUITE_P(Levels, LevelReplayTest,
                         ::testing::Values(LevelReplay{1, 1, 2}, LevelReplay{2, 0, 1}, LevelReplay{3, 2, 1},
                                           LevelReplay{4, 1, 2}, LevelReplay{5, 2, 2}, LevelReplay{6, 4, 4}),
                         [](const ::testing::TestParamInfo<LevelReplay>& param_info) {
                             return "Level" + std::to_string(param_info.param.level);
                         });

// The step numbers below are those of tests/game/replays/mechanics.txt: each checkpoint runs at
// the start of the iteration after the keys it checks.
TEST(MechanicsReplay, QuitRestartSwitchLeversAndLightsBehaveAsThePlayerSeesThem) {
    ReplayGame game("mechanics.txt");
    ASSERT_TRUE(game.started());
    Checkpoints& at = *game.checkpoints();

    // Level 1: the light is taken at (12, 12), put down at (17, 12), taken again.
    at.checks[50] = [] {
        EXPECT_TRUE(gametest::lightPlayer()->hasLight());
        EXPECT_TRUE(GameHarness::objectsOfType("Light").empty());
        EXPECT_EQ(gametest::lightPlayer()->getKeyGuide()->getFrame(), 3);
    };
    at.checks[58] = [] {
        EXPECT_FALSE(gametest::lightPlayer()->hasLight());
        vl::Object* p_light = gametest::objectAt("Light", 17, 12);
        ASSERT_NE(p_light, nullptr);
        EXPECT_EQ(p_light->getAltitude(), 2);
        EXPECT_NE(gametest::objectAt("Light", 17, 5), nullptr);
    };
    at.checks[60] = [] {
        EXPECT_TRUE(gametest::lightPlayer()->hasLight());
        EXPECT_TRUE(GameHarness::objectsOfType("Light").empty());
    };
    // Two world switches: control went to the shadow form and came back.
    at.checks[70] = [&game] {
        EXPECT_EQ(vltest::countOccurrences(game.log(), "SHADOW SWITCH"), 2);
        EXPECT_TRUE(gametest::lightPlayer()->isInControl());
        EXPECT_FALSE(gametest::shadowPlayer()->isInControl());
    };
    // R rebuilt level 1 as it was at the start: the light is back, the player carries nothing.
    at.checks[112] = [&game] {
        EXPECT_EQ(vltest::countOccurrences(game.log(), "Restarting level 1"), 1);
        EXPECT_NE(gametest::objectAt("Light", 12, 12), nullptr);
        EXPECT_EQ(GameHarness::objectsOfType("Light").size(), 2u);
        EXPECT_EQ(GameHarness::objectsOfType("Obstacle").size(), 2u * 66);
        EXPECT_EQ(GameHarness::objectsOfType("Player").size(), 2u);
        EXPECT_FALSE(gametest::lightPlayer()->hasLight());
        EXPECT_EQ(gametest::lightPlayer()->getPosition().getX(), 7);
    };
    // Q left level 1 for the title screen without completing it.
    at.checks[121] = [&game] {
        EXPECT_TRUE(game.title()->isActive());
        EXPECT_EQ(countParticlesNear(Vector(23, 17), 5), 0);
        EXPECT_TRUE(GameHarness::objectsOfType("LevelBuilder").empty());
    };
    // Levels 2 and 3: their lights carried along the floor and put down elsewhere.
    at.checks[182] = [] {
        EXPECT_TRUE(gametest::lightPlayer()->hasLight());
    };
    at.checks[195] = [] {
        EXPECT_NE(gametest::objectAt("Light", 50, 9), nullptr);
        EXPECT_NE(gametest::objectAt("Light", 50, 2), nullptr);
    };
    at.checks[265] = [] {
        EXPECT_TRUE(gametest::lightPlayer()->hasLight());
    };
    at.checks[278] = [] {
        EXPECT_NE(gametest::objectAt("Light", 30, 9), nullptr);
    };
    // Level 6: the two levers under the light raised both long platforms by one row.
    at.checks[395] = [&game] {
        EXPECT_EQ(vltest::countOccurrences(game.log(), "switched"), 2);
        EXPECT_NE(gametest::objectAt("Obstacle", 60, 6), nullptr);
        EXPECT_NE(gametest::objectAt("Obstacle", 66, 6), nullptr);
        EXPECT_NE(gametest::objectAt("Obstacle", 60, -1), nullptr);
        EXPECT_NE(gametest::objectAt("Obstacle", 66, -1), nullptr);
        for (vl::Object* p_lever : GameHarness::objectsOfType("Switch")) {
            if (p_lever->getPosition().getX() == 65) {
                EXPECT_TRUE(static_cast<Switch*>(p_lever)->isOn());
                EXPECT_EQ(gametest::frameOf(p_lever), 1);
            }
        }
    };
    at.checks[427] = [] {
        EXPECT_TRUE(gametest::lightPlayer()->hasLight());
    };

    game.run();
    EXPECT_EQ(at.reached, static_cast<int>(at.checks.size()));
    const std::string log = game.log();
    EXPECT_EQ(vltest::countOccurrences(log, "door entered"), 0);
    EXPECT_EQ(vltest::countOccurrences(log, "Restarting level"), 1);
    EXPECT_TRUE(vl::GameManager::getInstance().getGameOver());
    EXPECT_TRUE(game.title()->isActive());
    EXPECT_TRUE(GameHarness::objectsOfType("Particle").empty());  // quitting shows no completion burst
    game.shutDown();
    EXPECT_EQ(vltest::countOccurrences(game.log(), "Game engine stopped"), 1);
}
