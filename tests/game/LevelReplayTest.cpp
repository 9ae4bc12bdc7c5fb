// SPDX-License-Identifier: MIT
// Every level is played from the title screen to its door by a replay file, in the real game
// loop, headless; and one replay exercises quitting, restarting, switching, levers and lights.
#include <cmath>
#include <functional>
#include <map>

#include "GameHarness.h"

using namespace gametest;
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

// Plays a replay file from the title screen with a fast loop.
class ReplayGame : public GameHarness {
public:
    explicit ReplayGame(const std::string& replay)
        : GameHarness(vltest::sourcePath("tests/game/replays/" + replay)) {
        if (started()) {
            p_title = new GameStart();
            p_checkpoints = new Checkpoints();
        }
    }
    void run() {
        vl::GameManager::getInstance().run();
        EXPECT_EQ(count("Replaying input from"), 1) << log();
        EXPECT_TRUE(vl::GameManager::getInstance().getGameOver());
        EXPECT_TRUE(p_title->isActive());
        EXPECT_FALSE(p_title->isLevelRunning());
    }
    // Every file loaded and every sprite and sound found, and a clean stop.
    void stop() {
        shutDown();
        EXPECT_EQ(count("Game engine stopped"), 1);
        EXPECT_EQ(count("Error"), 0) << log();
        EXPECT_EQ(count("Warning"), count("No audio device can be opened")) << log();
    }
    GameStart* p_title = nullptr;
    Checkpoints* p_checkpoints = nullptr;
};

int countParticlesNear(Vector where, float radius) {
    int count = 0;
    for (vl::Object* p_o : objectsOfType("Particle")) {
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
    EXPECT_EQ(game.count("door entered"), 1);
    EXPECT_EQ(game.count("switched"), expected.lever_pulls);
    EXPECT_EQ(game.count("SHADOW SWITCH"), expected.world_switches);
    EXPECT_EQ(game.count("Restarting level"), 0);
    // The level's number still selected, the level cleared away, the title's borders up, and the green
    // completion burst (100 particles living 15 to 44 steps, the replays quit 15 after the door) on its mark.
    EXPECT_EQ(game.p_title->getSelectedLevel(), expected.level - 1);
    for (const char* type : {"LevelBuilder", "Player", "Obstacle", "Switch", "Light", "Door", "KeyGuide"}) {
        EXPECT_EQ(countType(type), 0u) << type;
    }
    EXPECT_EQ(countType("Border"), 10u);
    const int near_mark =
        countParticlesNear(Vector(static_cast<float>(23 + 6 * (expected.level - 1)), 17), 5);
    EXPECT_GE(near_mark, 80);
    EXPECT_EQ(static_cast<size_t>(near_mark), countType("Particle"));
    game.stop();
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
    std::map<int, std::function<void()>>& at = game.p_checkpoints->checks;
    const auto carrying = [](bool carries) {
        EXPECT_EQ(player(false)->hasLight(), carries);
        EXPECT_EQ(countType("Light"), carries ? 0u : 2u);
    };
    // Level 1: the light is taken at (12, 12), put down at (17, 12), taken again.
    at[50] = [&] {
        carrying(true);
        EXPECT_EQ(player(false)->getKeyGuide()->getFrame(), 3);
    };
    at[58] = [&] {
        carrying(false);
        vl::Object* p_light = objectAt("Light", 17, 12);
        ASSERT_NE(p_light, nullptr);
        EXPECT_EQ(p_light->getAltitude(), 2);
        EXPECT_NE(objectAt("Light", 17, 5), nullptr);
    };
    // R rebuilt level 1 as it was at the start: the light is back, the player carries nothing.
    at[112] = [&] {
        carrying(false);
        EXPECT_NE(objectAt("Light", 12, 12), nullptr);
    };
    // Level 2: its light carried along the floor and put down elsewhere.
    at[195] = [] {
        EXPECT_NE(objectAt("Light", 50, 2), nullptr);
    };
    // Level 6: the two levers under the light raised both long platforms by one row.
    at[395] = [&] {
        EXPECT_EQ(game.count("switched"), 2);
        for (float y : {6.0f, -1.0f}) {
            EXPECT_NE(objectAt("Obstacle", 60, y), nullptr);
            EXPECT_NE(objectAt("Obstacle", 66, y), nullptr);
        }
    };

    game.run();
    EXPECT_EQ(game.p_checkpoints->reached, static_cast<int>(at.size()));
    EXPECT_EQ(game.count("door entered"), 0);
    EXPECT_EQ(game.count("Restarting level"), 1);
    EXPECT_EQ(countType("Particle"), 0u);  // quitting shows no completion burst
    game.stop();
}
