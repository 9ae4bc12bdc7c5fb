// SPDX-License-Identifier: MIT
// Faults found in play: keys after a level ends, being left inside an obstacle, the door's key and burst.
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

TEST_F(PlayerFaults, TheDoorOpensOnReleaseAndItsBurstStaysOnTheTitleScreen) {
    game.startFromTitle(1);
    game.step(60);
    game.tap(Keyboard::S);
    player(true)->setPosition(Vector(72, 16.9f));  // on the lower floor at the door
    game.press(Keyboard::E);
    game.step();
    EXPECT_EQ(game.count("door entered"), 0);
    game.release(Keyboard::E);
    game.step();
    ASSERT_EQ(game.count("door entered"), 1);
    ASSERT_GT(countType("Particle"), 0u);
    game.tap(Keyboard::RETURN);
    EXPECT_EQ(countType("Particle"), 0u);
}
