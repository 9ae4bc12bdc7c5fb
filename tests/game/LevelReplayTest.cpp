// SPDX-License-Identifier: MIT
// Every level played from the title screen to its door by a replay file in the real game loop, headless;
// and one replay of quitting, restarting, switching, levers and lights.
#include <map>

#include "GameHarness.h"

using namespace gametest;

namespace {

// Plays a replay file from the title screen; checks run at the start of the iterations given.
class ReplayGame : public GameHarness {
public:
    explicit ReplayGame(const std::string& replay)
        : GameHarness(vltest::sourcePath("tests/game/replays/" + replay)) {}
    void run() {
        ASSERT_TRUE(started());
        new GameStart();
        new StepWatcher([this](int step) {
            auto found = checks.find(step);
            if (found != checks.end()) {
                SCOPED_TRACE("checkpoint at step " + std::to_string(step));
                found->second();
                reached++;
            }
        });
        vl::GameManager::getInstance().run();
        EXPECT_EQ(count("Replaying input from"), 1) << log();
        EXPECT_TRUE(vl::GameManager::getInstance().getGameOver());
        expectTitleOnly();
    }
    // Every file loaded, every sprite and sound found, and a clean stop.
    void stop() {
        shutDown();
        EXPECT_EQ(count("Game engine stopped"), 1);
        EXPECT_EQ(count("Error"), 0) << log();
        EXPECT_EQ(count("Warning"), count("No audio device can be opened")) << log();
    }
    std::map<int, std::function<void()>> checks;
    int reached = 0;
};

struct LevelReplay {
    int level;
    int lever_pulls;
    int world_switches;
};

class LevelReplayTest : public ::testing::TestWithParam<LevelReplay> {};

}  // namespace

TEST_P(LevelReplayTest, ReplayCompletesTheLevelAndReturnsToTheTitle) {
    const LevelReplay expected = GetParam();
    ReplayGame game("level-" + std::to_string(expected.level) + ".txt");
    game.run();
    EXPECT_EQ(game.count("door entered"), 1);
    EXPECT_EQ(game.count("switched"), expected.lever_pulls);
    EXPECT_EQ(game.count("SHADOW SWITCH"), expected.world_switches);
    EXPECT_EQ(game.count("Restarting level"), 0);
    auto* p_title = static_cast<GameStart*>(objectsOfType("GameStart").front());
    EXPECT_EQ(p_title->getSelectedLevel(), expected.level - 1);
    // The completion burst, all of it still alive 15 steps after the door, on the level's mark.
    const Vector mark(static_cast<float>(23 + 6 * (expected.level - 1)), 17);
    const std::vector<vl::Object*> particles = objectsOfType("Particle");
    EXPECT_GE(particles.size(), 80u);
    for (vl::Object* p_o : particles) {
        EXPECT_LE((p_o->getPosition() - mark).getMagnitude(), 5) << p_o->getPosition().toString();
    }
    game.stop();
}

INSTANTIATE_TEST_SUITE_P(Levels, LevelReplayTest,
                         ::testing::Values(LevelReplay{1, 1, 2}, LevelReplay{2, 0, 1}, LevelReplay{3, 2, 1},
                                           LevelReplay{4, 1, 2}, LevelReplay{5, 2, 2}, LevelReplay{6, 4, 4}),
                         [](const ::testing::TestParamInfo<LevelReplay>& param_info) {
                             return "Level" + std::to_string(param_info.param.level);
                         });

// Step numbers are those of tests/game/replays/mechanics.txt, one after the keys each checks.
TEST(MechanicsReplay, QuitRestartSwitchLeversAndLightsBehaveAsThePlayerSeesThem) {
    ReplayGame game("mechanics.txt");
    auto& at = game.checks;
    const auto carrying = [](bool carries) {
        EXPECT_EQ(player(false)->hasLight(), carries);
        EXPECT_EQ(countType("Light"), carries ? 0u : 2u);
    };
    // Level 1: the light taken at (12, 12), put down at (17, 12), taken again.
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
    // R rebuilt level 1 as it began: the light back, nothing carried.
    at[112] = [&] {
        carrying(false);
        EXPECT_NE(objectAt("Light", 12, 12), nullptr);
    };
    at[195] = [] {
        EXPECT_NE(objectAt("Light", 50, 2), nullptr);
    };  // level 2's light carried along
    // Level 6: the two levers under the light raised both long platforms by one row.
    at[395] = [&] {
        EXPECT_EQ(game.count("switched"), 2);
        for (float y : {6.0f, -1.0f}) {
            EXPECT_NE(objectAt("Obstacle", 60, y), nullptr);
            EXPECT_NE(objectAt("Obstacle", 66, y), nullptr);
        }
    };
    game.run();
    EXPECT_EQ(game.reached, static_cast<int>(at.size()));
    EXPECT_EQ(game.count("door entered"), 0);
    EXPECT_EQ(game.count("Restarting level"), 1);
    EXPECT_EQ(countType("Particle"), 0u);  // quitting shows no completion burst
    game.stop();
}
