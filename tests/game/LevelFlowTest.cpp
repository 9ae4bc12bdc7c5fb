// SPDX-License-Identifier: MIT
// Levels as a whole: their contents, restarting, completing and quitting, and the title screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "GameStart.h"
#include "GameTestUtil.h"
#include "LevelBuilder.h"
#include "Obstacle.h"
#include "Player.h"
#include <veltrane/game/GameManager.h>

using gametest::GameHarness;
using vl::Vector;

namespace {

// Every object of the level's types as text (type, position, solidness, altitude, sprite), sorted.
std::vector<std::string> levelSnapshot() {
    std::vector<std::string> lines;
    for (const char* type : {"Obstacle", "Switch", "Light", "Player", "Border", "Door", "KeyGuide"}) {
        for (vl::Object* p_o : GameHarness::objectsOfType(type)) {
            std::ostringstream line;
            line << type << " " << p_o->getPosition().toString() << " " << p_o->getSolidness() << " "
                 << p_o->getAltitude() << " " << gametest::spriteOf(p_o);
            lines.push_back(line.str());
        }
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

size_t countType(const std::string& type) {
    return GameHarness::objectsOfType(type).size();
}

GameStart* titleScreen() {
    const std::vector<vl::Object*> found = GameHarness::objectsOfType("GameStart");
    return found.empty() ? nullptr : static_cast<GameStart*>(found.front());
}

}  // namespace

TEST(Levels, LevelOneHoldsTheObjectsOfItsTable) {
    GameHarness game;
    ASSERT_TRUE(game.started());
    LevelBuilder* p_builder = new LevelBuilder();
    p_builder->level1();
    EXPECT_EQ(p_builder->getLevel(), 0);
    EXPECT_EQ(countType("Obstacle"), 2u * (54 + 12));
    EXPECT_EQ(countType("Border"), 10u);
    EXPECT_EQ(countType("Light"), 2u);
    EXPECT_EQ(countType("Switch"), 2u);
    EXPECT_EQ(countType("Player"), 2u);
    EXPECT_EQ(countType("KeyGuide"), 1u);
    EXPECT_EQ(countType("Door"), 1u);
    EXPECT_NE(gametest::objectAt("Obstacle", 79, 20), nullptr);
    EXPECT_NE(gametest::objectAt("Border", 78, 21), nullptr);
    EXPECT_NE(gametest::objectAt("Door", 70, 13), nullptr);
}

TEST(Levels, RestartRebuildsExactlyTheSameObjectsInEveryLevel) {
    GameHarness game;
    ASSERT_TRUE(game.started());
    for (int level = 0; level < LevelBuilder::LEVEL_COUNT; level++) {
        LevelBuilder* p_builder = new LevelBuilder();
        p_builder->buildLevel(level);
        const std::vector<std::string> before = levelSnapshot();
        ASSERT_FALSE(before.empty());
        // Let the level run a while, so that the restart has something to undo.
        game.press(vl::Keyboard::D);
        game.step(20);
        game.release(vl::Keyboard::D);
        game.step();
        // The rebuilt objects appear in the input phase and the old ones go at the end of the update.
        game.press(vl::Keyboard::R);
        game.step();
        game.release(vl::Keyboard::R);
        const std::vector<std::string> after = levelSnapshot();
        std::vector<std::string> changed;
        std::set_symmetric_difference(before.begin(), before.end(), after.begin(), after.end(),
                                      std::back_inserter(changed));
        EXPECT_TRUE(changed.empty()) << "level " << level + 1 << ": " << ::testing::PrintToString(changed);
        std::ostringstream line;
        line << "Restarting level " << level + 1;
        EXPECT_EQ(vltest::countOccurrences(game.log(), line.str()), 1);
        // Leave for the next level: quitting clears everything the level built.
        game.release(vl::Keyboard::Q);
        game.step();
        EXPECT_TRUE(levelSnapshot().empty());
    }
}

TEST(Levels, RestartShowsTheOldPlayerFormsGoingUp) {
    GameHarness game;
    ASSERT_TRUE(game.started());
    LevelBuilder* p_builder = new LevelBuilder();
    p_builder->level3();
    gametest::settle(game);
    GameHarness::send(vl::Keyboard::R, vl::KEY_PRESSED);
    game.step();
    EXPECT_EQ(vltest::countOccurrences(game.log(), "Restarting level 3"), 1);
    EXPECT_EQ(countType("Player"), 2u);
    EXPECT_EQ(countType("Particle"), 200u);
}

TEST(Levels, HoldingRRestartsOnceAndHoldingQQuitsOnlyOnRelease) {
    GameHarness game;
    ASSERT_TRUE(game.started());
    new GameStart();
    game.tap(vl::Keyboard::RETURN);
    game.press(vl::Keyboard::R);
    game.step(5);
    game.release(vl::Keyboard::R);
    game.step();
    EXPECT_EQ(vltest::countOccurrences(game.log(), "Restarting level 1"), 1);
    game.press(vl::Keyboard::Q);
    game.step(5);
    EXPECT_EQ(countType("LevelBuilder"), 1u);
    game.release(vl::Keyboard::Q);
    game.step();
    EXPECT_EQ(countType("LevelBuilder"), 0u);
    EXPECT_FALSE(vl::GameManager::getInstance().getGameOver());
}

TEST(Levels, LeverOfLevelOneRaisesTheLongPlatformAndLowersItAgain) {
    GameHarness game;
    ASSERT_TRUE(game.started());
    LevelBuilder* p_builder = new LevelBuilder();
    p_builder->level1();
    gametest::settle(game);
    Obstacle* p_step = static_cast<Obstacle*>(gametest::objectAt("Obstacle", 22, 15, "long-platform"));
    ASSERT_NE(p_step, nullptr);
    Player* p_player = gametest::lightPlayer();
    p_player->setPosition(Vector(50, p_player->getPosition().getY()));
    game.step();
    game.tap(vl::Keyboard::E);
    game.step(8);
    EXPECT_EQ(p_step->getPosition(), Vector(22, 12));
    EXPECT_EQ(p_step->getTwin()->getPosition(), Vector(22, 5));
    game.tap(vl::Keyboard::E);
    game.step(8);
    EXPECT_EQ(p_step->getPosition(), Vector(22, 15));
}

// ---- ending a level ---------------------------------------------------------------------

TEST(LevelEnd, DoorCompletesTheLevelAndMarksItOnTheSelector) {
    GameHarness game;
    ASSERT_TRUE(game.started());
    new GameStart();
    game.tap(vl::Keyboard::NUM2);
    game.tap(vl::Keyboard::RETURN);
    ASSERT_EQ(countType("LevelBuilder"), 1u);
    gametest::settle(game);
    // The shadow form may enter the door too: put it on the lower shadow floor at the door.
    game.tap(vl::Keyboard::S);
    Player* p_shadow = gametest::shadowPlayer();
    p_shadow->setPosition(Vector(72, 16.9f));
    game.press(vl::Keyboard::E);
    game.step();
    EXPECT_EQ(vltest::countOccurrences(game.log(), "door entered"), 0);  // a press is not enough
    game.release(vl::Keyboard::E);
    game.step();
    EXPECT_EQ(vltest::countOccurrences(game.log(), "door entered"), 1);

    GameStart* p_title = titleScreen();
    ASSERT_NE(p_title, nullptr);
    EXPECT_TRUE(p_title->isActive());
    EXPECT_FALSE(p_title->isLevelRunning());
    EXPECT_EQ(p_title->getSelectedLevel(), 1);
    for (const char* type : {"Obstacle", "Switch", "Light", "Player", "Door", "KeyGuide", "LevelBuilder"}) {
        EXPECT_EQ(countType(type), 0u) << type;
    }
    // Only the title's borders: five a side at columns 5 and 74.
    ASSERT_EQ(countType("Border"), 10u);
    for (vl::Object* p_border : GameHarness::objectsOfType("Border")) {
        const float x = p_border->getPosition().getX();
        EXPECT_TRUE(x == 5 || x == 74);
    }
    // No removal burst for the players (the level was over); a green burst of 100 at (29, 17).
    const std::vector<vl::Object*> particles = GameHarness::objectsOfType("Particle");
    EXPECT_EQ(particles.size(), 100u);
}

TEST(LevelEnd, QuittingReturnsToTheTitleWithoutACompletionMark) {
    GameHarness game;
    ASSERT_TRUE(game.started());
    new GameStart();
    game.tap(vl::Keyboard::RETURN);
    gametest::settle(game);
    game.tap(vl::Keyboard::Q);
    EXPECT_EQ(vltest::countOccurrences(game.log(), "door entered"), 0);
    EXPECT_EQ(countType("Particle"), 0u);
    EXPECT_EQ(countType("Player"), 0u);
    GameStart* p_title = titleScreen();
    EXPECT_TRUE(p_title->isActive());
    EXPECT_FALSE(vl::GameManager::getInstance().getGameOver());
    // Back on the title, Q quits the game.
    game.tap(vl::Keyboard::Q);
    EXPECT_TRUE(vl::GameManager::getInstance().getGameOver());
}

// ---- the title screen -------------------------------------------------------------------

TEST(TitleScreen, StartsOnLevelOneWithItsBordersInTheShadowLook) {
    GameHarness game;
    ASSERT_TRUE(game.started());
    GameStart* p_title = new GameStart();
    EXPECT_EQ(p_title->getSelectedLevel(), 0);
    EXPECT_EQ(gametest::frameOf(p_title), 0);
    EXPECT_EQ(p_title->getPosition(), Vector(40, 12));
    ASSERT_EQ(countType("Border"), 10u);
    int left = 0;
    for (vl::Object* p_border : GameHarness::objectsOfType("Border")) {
        const std::string sprite = gametest::spriteOf(p_border);
        EXPECT_NE(sprite.find("-border-shadow"), std::string::npos);
        if (p_border->getPosition().getX() == 5) {
            left++;
        }
        const int row = static_cast<int>(p_border->getPosition().getY());
        EXPECT_EQ((row - 1) % 5, 0);
    }
    EXPECT_EQ(left, 5);
}

TEST(TitleScreen, SelectionKeysMoveWithinTheSixLevels) {
    GameHarness game;
    ASSERT_TRUE(game.started());
    GameStart* p_title = new GameStart();
    game.tap(vl::Keyboard::A);
    EXPECT_EQ(p_title->getSelectedLevel(), 0);
    for (int i = 0; i < 5; i++) {
        game.tap(vl::Keyboard::D);
    }
    EXPECT_EQ(p_title->getSelectedLevel(), 5);
    EXPECT_EQ(gametest::frameOf(p_title), 5);
    game.tap(vl::Keyboard::D);
    EXPECT_EQ(p_title->getSelectedLevel(), 5);
    // Held keys repeat as KEY_DOWN, which A and D ignore and digits obey harmlessly.
    game.press(vl::Keyboard::NUM4);
    game.step(4);
    game.release(vl::Keyboard::NUM4);
    game.step();
    EXPECT_EQ(p_title->getSelectedLevel(), 3);
    EXPECT_EQ(gametest::frameOf(p_title), 3);
    game.press(vl::Keyboard::A);
    game.step(4);
    EXPECT_EQ(p_title->getSelectedLevel(), 2);
}

TEST(TitleScreen, EnterStartsTheSelectedLevelAndQDuringALevelGoesToTheBuilder) {
    GameHarness game;
    ASSERT_TRUE(game.started());
    GameStart* p_title = new GameStart();
    game.tap(vl::Keyboard::NUM4);
    game.press(vl::Keyboard::RETURN);
    game.step();
    EXPECT_FALSE(p_title->isActive());
    EXPECT_TRUE(p_title->isLevelRunning());
    EXPECT_EQ(countType("LevelBuilder"), 1u);
    // Level 4's door stands at (70, 16); the title borders are gone, the level's are there.
    EXPECT_NE(gametest::objectAt("Door", 70, 16), nullptr);
    EXPECT_EQ(countType("Border"), 10u);
    EXPECT_EQ(gametest::objectAt("Border", 5, 1), nullptr);
    game.release(vl::Keyboard::RETURN);
    game.step();
    game.tap(vl::Keyboard::Q);
    EXPECT_FALSE(vl::GameManager::getInstance().getGameOver());
    EXPECT_TRUE(p_title->isActive());
}

TEST(LevelEnd, KeysLaterInTheIterationThatEndedTheLevelAreIgnored) {
    GameHarness game;
    ASSERT_TRUE(game.started());
    new GameStart();
    game.tap(vl::Keyboard::RETURN);
    gametest::settle(game);
    // Q released and R pressed in one iteration: the level ends and nothing is rebuilt behind the title.
    game.release(vl::Keyboard::Q);
    game.press(vl::Keyboard::R);
    game.step();
    game.release(vl::Keyboard::R);
    game.step();
    EXPECT_EQ(vltest::countOccurrences(game.log(), "Restarting level"), 0);
    for (const char* type : {"Obstacle", "Player", "LevelBuilder", "KeyGuide"}) {
        EXPECT_EQ(countType(type), 0u) << type;
    }
    EXPECT_EQ(countType("Border"), 10u);
    EXPECT_TRUE(titleScreen()->isActive());
}
