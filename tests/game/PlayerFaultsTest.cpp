// SPDX-License-Identifier: MIT
// Faults found in play: keys after a level ends, dissolved walls, being left inside an obstacle.
#include <gtest/gtest.h>

#include "GameHarness.h"
#include "GameStart.h"
#include "LevelBuilder.h"
#include "Light.h"

using gametest::GameHarness;
namespace Keyboard = vl::Keyboard;

namespace {

// Holds a key until the form in control passes x (at most 80 iterations), then lets it go.
void walkTo(GameHarness& game, Keyboard::Key key, float x) {
    const float sign = key == Keyboard::A ? -1 : 1;
    Player* p_walker =
        gametest::player(false)->isInControl() ? gametest::player(false) : gametest::player(true);
    game.press(key);
    for (int i = 0; i < 80 && (p_walker->getPosition().getX() - x) * sign < 0; i++) {
        game.step();
    }
    game.release(key);
    game.step();
}

}  // namespace

TEST(PlayerFaults, KeysInTheIterationThatEndsOrRestartsALevelLeaveItsPlayerAlone) {
    for (const Keyboard::Key end_key : {Keyboard::Q, Keyboard::R}) {
        GameHarness game;
        new GameStart();
        game.tap(Keyboard::RETURN);
        game.step(60);
        walkTo(game, Keyboard::D, 12);
        game.tap(Keyboard::SPACE);
        ASSERT_TRUE(gametest::player(false)->hasLight());
        end_key == Keyboard::Q ? game.release(end_key) : game.press(end_key);
        game.press(Keyboard::SPACE);
        game.step(2);
        EXPECT_EQ(gametest::objectsOfType("Light").size(), end_key == Keyboard::Q ? 0u : 2u);
        EXPECT_TRUE(end_key == Keyboard::Q || !gametest::player(false)->hasLight());
    }
}

TEST(PlayerFaults, ADissolvedWallGivesWayToTheFirstPush) {
    struct Push {
        int level;
        vl::Vector carry_to;  // where the light is put down; (0, 0): walk up to the wall with it
        Keyboard::Key key;    // towards the wall
        float wall_x;
    };
    for (const Push& push : {Push{0, {0, 0}, Keyboard::D, 35}, Push{3, {41, 15.9f}, Keyboard::A, 38}}) {
        GameHarness game;
        (new LevelBuilder())->buildLevel(push.level);
        game.step(60);
        walkTo(game, Keyboard::D, 12);
        game.tap(Keyboard::SPACE);
        walkTo(game, push.key, push.wall_x);  // in level 4 the wall is behind: no step
        if (!push.carry_to.isZero()) {
            gametest::player(false)->setPosition(push.carry_to);
        }
        game.step(3);
        game.tap(Keyboard::SPACE);
        game.tap(Keyboard::S);
        const float sign = push.key == Keyboard::A ? -1 : 1;
        walkTo(game, push.key, push.wall_x + 2 * sign);
        EXPECT_GT((gametest::player(true)->getPosition().getX() - push.wall_x) * sign, 0) << push.level + 1;
    }
}

TEST(PlayerFaults, AWallThatSlidesOntoThePlayerLetsItWalkOut) {
    GameHarness game;
    (new LevelBuilder())->level3();
    game.step(60);
    game.tap(Keyboard::S);
    gametest::player(true)->setPosition(vl::Vector(4, 16.9f));
    game.tap(Keyboard::E);
    gametest::player(true)->setPosition(vl::Vector(25, 16.9f));
    game.step(80);
    walkTo(game, Keyboard::A, 20);
    EXPECT_LT(gametest::player(true)->getPosition().getX(), 21);
}

// A lever pulled in the shadow world moves a light-world piece onto the light form, off its centre.
TEST(PlayerFaults, APieceMovedOntoTheLightFormInTheOtherWorldLetsItWalkOut) {
    GameHarness game;
    (new LevelBuilder())->level1();
    game.step(60);
    gametest::player(false)->setPosition(vl::Vector(24, 12.9f));
    game.tap(Keyboard::S);
    static_cast<Obstacle*>(gametest::objectAt("Obstacle", 22, 15, "long-platform"))
        ->moveTo(vl::Vector(22, 12));
    game.step(20);
    game.tap(Keyboard::S);
    walkTo(game, Keyboard::D, 28);
    EXPECT_GT(gametest::player(false)->getPosition().getX(), 27);
}

TEST(PlayerFaults, TheLightFormFallingOutOfControlLandsOnAWallUnderItsEdge) {
    GameHarness game;
    (new LevelBuilder())->level1();
    game.step(60);
    gametest::player(false)->setPosition(vl::Vector(34, 4.4f));
    game.step(3);
    game.tap(Keyboard::S);
    EventLever lever;
    vl::WorldManager::getInstance().onEvent(&lever);
    game.step(40);
    EXPECT_FLOAT_EQ(gametest::player(false)->getPosition().getY(), 4.4f);
}

TEST(PlayerFaults, TheCompletionBurstStaysOnTheTitleScreen) {
    GameHarness game;
    new GameStart();
    game.tap(Keyboard::RETURN);
    EventEnd end;  // the door
    vl::WorldManager::getInstance().onEvent(&end);
    ASSERT_GT(gametest::objectsOfType("Particle").size(), 0u);
    game.tap(Keyboard::RETURN);
    EXPECT_EQ(gametest::objectsOfType("Particle").size(), 0u);
}
