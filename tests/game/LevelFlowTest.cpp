// SPDX-License-Identifier: MIT
// Levels as a whole: restarting, completing and quitting, and the title screen.
#include <sstream>

#include "GameHarness.h"

using namespace gametest;
namespace Keyboard = vl::Keyboard;
using Levels = GameTest;
using LevelEnd = GameTest;
using TitleScreen = GameTest;

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

GameStart* titleScreen() {
    const std::vector<vl::Object*> found = objectsOfType("GameStart");
    return found.empty() ? nullptr : static_cast<GameStart*>(found.front());
}

// Only the title's borders, in the shadow look, and nothing of a level.
void expectTitleOnly() {
    for (const char* type : {"Obstacle", "Switch", "Light", "Player", "Door", "KeyGuide", "LevelBuilder"}) {
        EXPECT_EQ(countType(type), 0u) << type;
    }
    ASSERT_EQ(countType("Border"), 10u);
    for (vl::Object* p_border : objectsOfType("Border")) {
        const float x = p_border->getPosition().getX();
        EXPECT_TRUE(x == 5 || x == 74) << x;
        EXPECT_NE(p_border->getAnimation().getName().find("-border-shadow"), std::string::npos);
    }
    ASSERT_NE(titleScreen(), nullptr);
    EXPECT_TRUE(titleScreen()->isActive());
    EXPECT_FALSE(titleScreen()->isLevelRunning());
}

}  // namespace

TEST_F(Levels, RestartRebuildsExactlyTheSameObjectsInEveryLevelShowingTheOldPlayerGoingUp) {
    for (int level = 0; level < LevelBuilder::LEVEL_COUNT; level++) {
        (new LevelBuilder())->buildLevel(level);
        const std::vector<std::string> before = levelSnapshot();
        ASSERT_FALSE(before.empty());
        game.hold(Keyboard::D, 20);  // something for the restart to undo
        // The rebuilt objects appear in the input phase and the old ones go at the end of the update.
        game.press(Keyboard::R);
        game.step();
        game.release(Keyboard::R);
        EXPECT_EQ(levelSnapshot(), before) << "level " << level + 1;
        EXPECT_GE(countType("Particle"), 200u) << "level " << level + 1;
        EXPECT_EQ(game.count("Restarting level " + std::to_string(level + 1)), 1);
        game.release(Keyboard::Q);  // ends the level and clears it
        game.step();
        EXPECT_TRUE(levelSnapshot().empty());
    }
}

TEST_F(LevelEnd, DoorEnteredByEitherFormOnReleaseCompletesTheLevelAndMarksTheSelector) {
    new GameStart();
    game.tap(Keyboard::NUM2);
    game.tap(Keyboard::RETURN);
    ASSERT_EQ(countType("LevelBuilder"), 1u);
    game.step(60);
    game.tap(Keyboard::S);
    player(true)->setPosition(vl::Vector(72, 16.9f));  // the shadow form on the lower floor at the door
    game.press(Keyboard::E);
    game.step();
    EXPECT_EQ(game.count("door entered"), 0);
    game.release(Keyboard::E);
    game.step();
    EXPECT_EQ(game.count("door entered"), 1);
    expectTitleOnly();
    EXPECT_EQ(titleScreen()->getSelectedLevel(), 1);
    EXPECT_EQ(countType("Particle"), 100u);  // the green mark only: no removal burst for the players
}

TEST_F(LevelEnd, HeldRRestartsOnceAndHeldQQuitsOnReleaseWithoutAMarkThenQOnTheTitleEndsTheGame) {
    new GameStart();
    game.tap(Keyboard::RETURN);
    game.hold(Keyboard::R, 5);
    EXPECT_EQ(game.count("Restarting level 1"), 1);
    game.step(45);  // the restart's bursts fade
    game.press(Keyboard::Q);
    game.step(5);
    EXPECT_EQ(countType("LevelBuilder"), 1u);
    game.release(Keyboard::Q);
    game.step();
    EXPECT_EQ(countType("Particle"), 0u);
    expectTitleOnly();
    EXPECT_FALSE(vl::GameManager::getInstance().getGameOver());
    game.tap(Keyboard::Q);
    EXPECT_TRUE(vl::GameManager::getInstance().getGameOver());
}

TEST_F(LevelEnd, KeysLaterInTheIterationThatEndedTheLevelAreIgnored) {
    new GameStart();
    game.tap(Keyboard::RETURN);
    game.step(60);
    game.release(Keyboard::Q);  // Q released and R pressed in one iteration
    game.press(Keyboard::R);
    game.step();
    game.release(Keyboard::R);
    game.step();
    EXPECT_EQ(game.count("Restarting level"), 0);
    expectTitleOnly();
}

TEST_F(TitleScreen, SelectionStaysWithinTheSixLevelsAndHeldKeysDoNotRepeatIt) {
    GameStart* p_title = new GameStart();
    expectTitleOnly();
    game.tap(Keyboard::A);
    EXPECT_EQ(p_title->getSelectedLevel(), 0);
    game.hold(Keyboard::NUM6, 4);
    game.hold(Keyboard::D, 4);
    EXPECT_EQ(p_title->getSelectedLevel(), 5);
    game.hold(Keyboard::A, 4);
    EXPECT_EQ(p_title->getSelectedLevel(), 4);
    EXPECT_EQ(p_title->getAnimation().getIndex(), 4);
}
