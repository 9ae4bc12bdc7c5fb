// SPDX-License-Identifier: MIT
// The player's movement, collisions, key guide hints and world-switch endurance.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "GameTestUtil.h"
#include "KeyGuide.h"
#include "LevelBuilder.h"
#include "Light.h"
#include "Obstacle.h"
#include "Player.h"

using gametest::GameHarness;
using vl::Vector;

namespace {

// A floor of platforms on row 15 (top at 14.5) from column 0 to 78, and a player standing on it.
Player* playerOnFloor(GameHarness& game, float x) {
    for (int i = 0; i < 40; i++) {
        new Obstacle("platform", false, 2 * i, 15);
    }
    Player* p_player = new Player(false, Vector(x, 10));
    gametest::settle(game);
    return p_player;
}

const float STANDING_Y = 14.5f - 0.1f - 1.5f;  // a 3-row player resting 0.1 above the floor

}  // namespace

TEST(Movement, PlayerFallsOntoTheFloorAndRestsJustAboveIt) {
    GameHarness game;
    ASSERT_TRUE(game.started());
    Player* p_player = playerOnFloor(game, 20);
    EXPECT_FALSE(p_player->isInAir());
    EXPECT_NEAR(p_player->getPosition().getY(), STANDING_Y, 1e-3);
    EXPECT_TRUE(p_player->getVelocity().isZero());
    EXPECT_EQ(p_player->getTwin()->getPosition(), p_player->getPosition() - Vector(0, 7));
}

TEST(Movement, JumpRisesFiveAndAHalfRowsAndLandsWhereItStarted) {
    GameHarness game;
    ASSERT_TRUE(game.started());
    Player* p_player = playerOnFloor(game, 20);
    const float start_y = p_player->getPosition().getY();
    game.press(vl::Keyboard::W);
    game.step();
    game.release(vl::Keyboard::W);
    std::vector<float> ys = {start_y, p_player->getPosition().getY()};
    EXPECT_TRUE(p_player->isInAir());
    for (int i = 0; i < 30; i++) {
        game.step();
        ys.push_back(p_player->getPosition().getY());
    }
    // Each step rises 0.1 less than the one before: 1.0, 0.9, ... 0.1.
    for (int i = 0; i < 10; i++) {
        EXPECT_NEAR(ys[i] - ys[i + 1], 1.0f - 0.1f * static_cast<float>(i), 1e-4) << "step " << i;
    }
    float peak = start_y;
    for (float y : ys) {
        peak = std::min(peak, y);
    }
    EXPECT_NEAR(start_y - peak, 5.5f, 1e-3);
    EXPECT_FALSE(p_player->isInAir());
    EXPECT_NEAR(p_player->getPosition().getY(), start_y, 1e-3);
}

TEST(Movement, HoldingAWalksOneCellPerStepAndLogsTheDirectionOnce) {
    GameHarness game;
    ASSERT_TRUE(game.started());
    Player* p_player = playerOnFloor(game, 30);
    game.press(vl::Keyboard::A);
    game.step(6);
    EXPECT_EQ(p_player->getPosition().getX(), 24);
    EXPECT_EQ(p_player->getVelocity(), Vector(-1, 0));
    EXPECT_EQ(vltest::countOccurrences(game.log(), "left\n"), 1);
    game.release(vl::Keyboard::A);
    game.step(3);
    EXPECT_EQ(p_player->getPosition().getX(), 24);
    game.press(vl::Keyboard::D);
    game.step(2);
    EXPECT_EQ(vltest::countOccurrences(game.log(), "right\n"), 1);
}

TEST(Movement, ReleasingJumpOrSpaceWhileWalkingStopsTheWalk) {
    GameHarness game;
    ASSERT_TRUE(game.started());
    Player* p_player = playerOnFloor(game, 30);
    game.press(vl::Keyboard::D);
    game.step(2);
    game.press(vl::Keyboard::SPACE);
    game.step();
    game.release(vl::Keyboard::SPACE);
    game.step();
    // The release stopped the walk; D is still held, so the next KEY_DOWN starts it again.
    EXPECT_EQ(p_player->getVelocity().getX(), 1);
    game.release(vl::Keyboard::D);
    game.step();
    const float x = p_player->getPosition().getX();
    game.step(3);
    EXPECT_EQ(p_player->getPosition().getX(), x);
}

TEST(Movement, HoldingJumpJumpsAgainRightAfterLanding) {
    GameHarness game;
    ASSERT_TRUE(game.started());
    Player* p_player = playerOnFloor(game, 30);
    const float standing_y = p_player->getPosition().getY();
    game.press(vl::Keyboard::W);
    // A jump starts in the iteration whose move has the velocity -1: it starts from the floor.
    std::vector<int> starts;
    for (int i = 0; i < 70; i++) {
        const float y_before = p_player->getPosition().getY();
        game.step();
        if (p_player->getVelocity().getY() == Player::JUMP_VELOCITY) {
            EXPECT_NEAR(y_before, standing_y, 1e-3) << "iteration " << i;
            starts.push_back(i);
        }
    }
    ASSERT_GE(starts.size(), 3u);
    // Up 5.5 rows and down again takes 21 iterations; the next jump follows at once.
    for (size_t i = 1; i < starts.size(); i++) {
        EXPECT_EQ(starts[i] - starts[i - 1], starts[1] - starts[0]);
        EXPECT_LE(starts[i] - starts[i - 1], 23);
    }
}

TEST(Collisions, HeadBumpDropsThePlayerStraightDown) {
    GameHarness game;
    ASSERT_TRUE(game.started());
    Player* p_player = playerOnFloor(game, 30);
    new Obstacle("long-platform", false, 33, 9);  // underside at row 9.5, three rows over the head
    game.press(vl::Keyboard::D);
    game.press(vl::Keyboard::W);
    game.step();
    game.release(vl::Keyboard::W);
    float last_x = p_player->getPosition().getX();
    bool bumped = false;
    for (int i = 0; i < 6 && !bumped; i++) {
        game.step();
        if (p_player->getVelocity() == Vector(0, Player::GRAVITY)) {
            bumped = true;
        }
        last_x = p_player->getPosition().getX();
    }
    ASSERT_TRUE(bumped);
    // No more walking: the key has to be pressed again. The player falls back to the floor.
    game.step(20);
    EXPECT_EQ(p_player->getPosition().getX(), last_x);
    EXPECT_FALSE(p_player->isInAir());
    EXPECT_NEAR(p_player->getPosition().getY(), STANDING_Y, 1e-3);
}

TEST(Collisions, LowCeilingDoesNotHoldAJumpingPlayer) {
    GameHarness game;
    ASSERT_TRUE(game.started());
    Player* p_player = playerOnFloor(game, 30);
    new Obstacle("long-platform", false, 30, 9);  // straight above
    game.press(vl::Keyboard::W);
    game.step();
    game.release(vl::Keyboard::W);
    game.step(40);
    EXPECT_FALSE(p_player->isInAir());
    EXPECT_NEAR(p_player->getPosition().getY(), STANDING_Y, 1e-3);
}

TEST(Collisions, SideHitStopsTheWalkUntilTheKeyIsPressedAgain) {
    GameHarness game;
    ASSERT_TRUE(game.started());
    Player* p_player = playerOnFloor(game, 30);
    new Obstacle("wall", false, 35, 12);  // its left side at 34.5
    game.press(vl::Keyboard::D);
    game.step(8);
    EXPECT_EQ(p_player->getPosition().getX(), 32);
    EXPECT_EQ(p_player->getVelocity().getX(), 0);
    game.release(vl::Keyboard::D);
    game.step();
    game.press(vl::Keyboard::A);
    game.step(2);
    EXPECT_EQ(p_player->getPosition().getX(), 30);
}

TEST(Collisions, FallingPlayerOutsideEveryFloorKeepsFalling) {
    GameHarness game;
    ASSERT_TRUE(game.started());
    Player* p_player = new Player(false, Vector(10, 10));
    game.step(60);
    EXPECT_GT(p_player->getPosition().getY(), 100);
    EXPECT_GT(p_player->getVelocity().getY(), 5);
}

TEST(KeyGuide, ShowsTheHintForWhatThePlayerTouches) {
    GameHarness game;
    ASSERT_TRUE(game.started());
    LevelBuilder* p_builder = new LevelBuilder();
    p_builder->level1();
    gametest::settle(game);
    Player* p_player = gametest::lightPlayer();
    KeyGuide* p_guide = p_player->getKeyGuide();
    EXPECT_EQ(p_guide->getFrame(), 0);
    EXPECT_EQ(gametest::frameOf(p_guide), 7);  // in the first level, frame 0 with the two-worlds rule

    const float y = p_player->getPosition().getY();
    p_player->setPosition(Vector(12, y));  // the light
    game.step();
    EXPECT_EQ(p_guide->getFrame(), 4);
    game.tap(vl::Keyboard::SPACE);
    EXPECT_EQ(p_guide->getFrame(), 3);     // carrying
    p_player->setPosition(Vector(50, y));  // the lever
    game.step();
    EXPECT_EQ(p_guide->getFrame(), 1);
    p_player->setPosition(Vector(70, y));  // the door
    game.step();
    EXPECT_EQ(p_guide->getFrame(), 5);
    EXPECT_EQ(gametest::frameOf(p_guide), 5);
}

TEST(KeyGuide, AskingForTheFrameShownLeavesTheAnimationAlone) {
    GameHarness game;
    ASSERT_TRUE(game.started());
    KeyGuide* p_guide = new KeyGuide();
    EXPECT_EQ(gametest::frameOf(p_guide), 0);
    EXPECT_EQ(p_guide->getAnimation().getSlowdownCount(), -1);
    vl::Animation running = p_guide->getAnimation();
    running.setSlowdownCount(3);
    p_guide->setAnimation(running, true);
    p_guide->setFrame(0);
    EXPECT_EQ(p_guide->getAnimation().getSlowdownCount(), 3);
    p_guide->setFrame(4);
    EXPECT_EQ(gametest::frameOf(p_guide), 4);
    EXPECT_EQ(p_guide->getAnimation().getSlowdownCount(), -1);
}

TEST(WorldSwitchEndurance, PlayerStaysControllableAfterHundredsOfSwitches) {
    GameHarness game;
    ASSERT_TRUE(game.started());
    LevelBuilder* p_builder = new LevelBuilder();
    p_builder->level1();
    gametest::settle(game);
    for (int i = 0; i < 300; i++) {
        GameHarness::send(vl::Keyboard::S, vl::KEY_PRESSED);
    }
    Player* p_player = gametest::lightPlayer();
    ASSERT_TRUE(p_player->isInControl());
    EXPECT_LT(p_player->getEventCount(), 10);
    const float x = p_player->getPosition().getX();
    game.press(vl::Keyboard::D);
    game.step(3);
    EXPECT_EQ(p_player->getPosition().getX(), x + 3);
    EXPECT_EQ(game.log().find("maximum"), std::string::npos);
}
