// SPDX-License-Identifier: MIT
// Faults found in play: keys after a level ends, dissolved walls, being left inside an obstacle.
#include "GameHarness.h"

using namespace gametest;
using PlayerFaults = GameTest;

TEST(PlayerFaultsOnEnd, KeysInTheIterationThatEndsOrRestartsALevelLeaveItAlone) {
    for (const Keyboard::Key end_key : {Keyboard::Q, Keyboard::R}) {
        SCOPED_TRACE(end_key);
        GameHarness game;
        game.startFromTitle();
        game.step(60);
        game.walkTo(Keyboard::D, 12);
        game.tap(Keyboard::SPACE);
        ASSERT_TRUE(player(false)->hasLight());
        // Q released (quits) or not, then R and SPACE pressed, all in one iteration.
        if (end_key == Keyboard::Q) {
            game.release(Keyboard::Q);
        }
        game.press(Keyboard::R);
        game.press(Keyboard::SPACE);
        game.step(2);
        if (end_key == Keyboard::Q) {
            EXPECT_EQ(game.count("Restarting level"), 0);
            expectTitleOnly();
        } else {
            EXPECT_EQ(countType("Light"), 2u);
            EXPECT_FALSE(player(false)->hasLight());
        }
    }
}

TEST(PlayerFaultsOnWalls, ADissolvedWallGivesWayToTheFirstPush) {
    struct Push {
        int level;
        Vector carry_to;    // where the light is put down; (0, 0): walk up to the wall with it
        Keyboard::Key key;  // towards the wall
        float wall_x;
    };
    for (const Push& push : {Push{0, {0, 0}, Keyboard::D, 35}, Push{3, {41, 15.9f}, Keyboard::A, 38}}) {
        SCOPED_TRACE(push.level + 1);
        GameHarness game;
        game.playLevel(push.level);
        game.walkTo(Keyboard::D, 12);
        game.tap(Keyboard::SPACE);
        game.walkTo(push.key, push.wall_x);  // in level 4 the wall is behind: no step
        if (!push.carry_to.isZero()) {
            player(false)->setPosition(push.carry_to);
        }
        game.step(3);
        game.tap(Keyboard::SPACE);
        game.tap(Keyboard::S);
        const float sign = push.key == Keyboard::A ? -1 : 1;
        game.walkTo(push.key, push.wall_x + 2 * sign);
        EXPECT_GT((player(true)->getPosition().getX() - push.wall_x) * sign, 0);
    }
}

TEST_F(PlayerFaults, AWallThatSlidesOntoThePlayerLetsItWalkOut) {
    game.playLevel(2);
    game.tap(Keyboard::S);
    player(true)->setPosition(Vector(4, 16.9f));
    game.tap(Keyboard::E);
    player(true)->setPosition(Vector(25, 16.9f));
    game.step(80);
    game.walkTo(Keyboard::A, 20);
    EXPECT_LT(player(true)->getPosition().getX(), 21);
}

// A lever pulled in the shadow world moves a light-world piece onto the light form, off its centre.
TEST_F(PlayerFaults, APieceMovedOntoTheLightFormInTheOtherWorldLetsItWalkOut) {
    game.playLevel(0)->setPosition(Vector(24, 12.9f));
    game.tap(Keyboard::S);
    static_cast<Obstacle*>(objectAt("Obstacle", 22, 15, "long-platform"))->moveTo(Vector(22, 12));
    game.step(20);
    game.tap(Keyboard::S);
    game.walkTo(Keyboard::D, 28);
    EXPECT_GT(player(false)->getPosition().getX(), 27);
}

TEST_F(PlayerFaults, TheLightFormFallingOutOfControlLandsOnAWallUnderItsEdge) {
    game.playLevel(0)->setPosition(Vector(34, 4.4f));
    game.step(3);
    game.tap(Keyboard::S);
    EventLever lever;
    vl::WorldManager::getInstance().onEvent(&lever);
    game.step(40);
    EXPECT_FLOAT_EQ(player(false)->getPosition().getY(), 4.4f);
}

TEST_F(PlayerFaults, TheCompletionBurstStaysOnTheTitleScreen) {
    game.startFromTitle();
    EventEnd end;  // the door
    vl::WorldManager::getInstance().onEvent(&end);
    ASSERT_GT(countType("Particle"), 0u);
    game.tap(Keyboard::RETURN);
    EXPECT_EQ(countType("Particle"), 0u);
}
