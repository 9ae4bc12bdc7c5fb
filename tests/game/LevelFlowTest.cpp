// SPDX-License-Identifier: MIT
// Levels as a whole: restarting, completing and quitting, and the title screen.
#include <sstream>

#include "GameHarness.h"

using namespace gametest;
using LevelFlow = GameTest;

namespace {

// Every object of the level's types as text (type, position, solidness, altitude, sprite), sorted.
std::vector<std::string> levelSnapshot() {
    std::vector<std::string> lines;
    for (const char* type : {"Obstacle", "Switch", "Light", "Player", "Border", "Door", "KeyGuide"}) {
        for (vl::Object* p_o : objectsOfType(type)) {
            std::ostringstream line;
            line << type << " " << p_o->getPosition().toString() << " " << p_o->getSolidness() << " "
                 << p_o->getAltitude() << " " << p_o->getAnimation().getName();
            lines.push_back(line.str());
        }
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

}  // namespace

TEST_F(LevelFlow, RestartRebuildsExactlyTheSameObjectsInEveryLevelShowingTheOldPlayerGoingUp) {
    for (int level = 0; level < LevelBuilder::LEVEL_COUNT; level++) {
        SCOPED_TRACE(level + 1);
        (new LevelBuilder())->buildLevel(level);
        const std::vector<std::string> before = levelSnapshot();
        ASSERT_FALSE(before.empty());
        game.hold(Keyboard::D, 20);  // something for the restart to undo
        // The new objects appear in the input phase, the old ones go at the end of the update.
        game.press(Keyboard::R);
        game.step();
        game.release(Keyboard::R);
        EXPECT_EQ(levelSnapshot(), before);
        EXPECT_GE(countType("Particle"), 200u);
        EXPECT_EQ(game.count("Restarting level " + std::to_string(level + 1)), 1);
        game.release(Keyboard::Q);  // ends the level and clears it
        game.step();
        EXPECT_TRUE(levelSnapshot().empty());
    }
}

TEST_F(LevelFlow, DoorEnteredByTheShadowFormOnReleaseEndsTheLevelWithOnlyTheCompletionBurst) {
    game.startFromTitle(1);
    game.step(60);
    game.tap(Keyboard::S);
    player(true)->setPosition(Vector(72, 16.9f));  // on the lower floor at the door
    game.press(Keyboard::E);
    game.step();
    EXPECT_EQ(game.count("door entered"), 0);
    game.release(Keyboard::E);
    game.step();
    EXPECT_EQ(game.count("door entered"), 1);
    EXPECT_EQ(countType("Player"), 0u);
    EXPECT_EQ(countType("Particle"), 100u);  // no removal burst for the players
}

// Quitting and ending the game from the title are played by the mechanics replay.
TEST_F(LevelFlow, HeldRRestartsOnceAndHeldQQuitsOnlyOnRelease) {
    game.startFromTitle();
    game.hold(Keyboard::R, 5);
    EXPECT_EQ(game.count("Restarting level 1"), 1);
    game.press(Keyboard::Q);
    game.step(5);
    EXPECT_EQ(countType("LevelBuilder"), 1u);
    game.release(Keyboard::Q);
    game.step();
    EXPECT_EQ(countType("LevelBuilder"), 0u);
}

TEST_F(LevelFlow, TitleSelectionStaysWithinTheSixLevelsAndHeldKeysDoNotRepeatIt) {
    GameStart* p_title = new GameStart();
    game.tap(Keyboard::A);
    EXPECT_EQ(p_title->getSelectedLevel(), 0);
    game.hold(Keyboard::NUM6, 4);
    game.hold(Keyboard::D, 4);
    EXPECT_EQ(p_title->getSelectedLevel(), 5);
    game.hold(Keyboard::A, 4);
    EXPECT_EQ(p_title->getSelectedLevel(), 4);
    EXPECT_EQ(p_title->getAnimation().getIndex(), 4);
}
