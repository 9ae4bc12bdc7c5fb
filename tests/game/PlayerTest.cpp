// SPDX-License-Identifier: MIT
// The player's movement against obstacles, its key guide hints and world-switch endurance.
#include "GameHarness.h"

using namespace gametest;
using PlayerRules = GameTest;

// A player at x = 30 on a floor (row 15), an obstacle near it, and the keys pressed: where it comes to
// rest, and the top of its jump. A jump rises 1.0, 0.9, ... 0.1 rows: 5.5 in all. A head bump drops the
// player straight down and stops its walk until the key is pressed again; so does a side hit.
TEST(PlayerMoves, EndAtRestOnTheFloor) {
    const float standing_y = 14.5f - 0.1f - 1.5f;  // a 3-row player resting 0.1 above a floor on row 15
    const float head_at_row_9_5 = 9.5f + 1.5f;     // its head against the underside of a platform on row 9
    const struct {
        const char* sprite;  // of the obstacle, none if empty
        int obstacle_x;
        int obstacle_y;
        bool walk_right;
        bool jump;
        float end_x;
        float peak_y;
    } moves[] = {{"", 0, 0, false, true, 30, standing_y - 5.5f},
                 {"long-platform", 30, 9, false, true, 30, head_at_row_9_5},
                 {"long-platform", 33, 9, true, true, 32, head_at_row_9_5},
                 {"wall", 35, 12, true, false, 32, standing_y}};
    for (const auto& move : moves) {
        SCOPED_TRACE(std::string(move.sprite) + " at x " + std::to_string(move.obstacle_x));
        GameHarness game;
        for (int i = 0; i < 40; i++) {
            new Obstacle("platform", false, 2 * i, 15);
        }
        Player* p_player = new Player(false, Vector(30, 10));
        game.step(60);
        if (*move.sprite != '\0') {
            new Obstacle(move.sprite, false, move.obstacle_x, move.obstacle_y);
        }
        move.walk_right ? game.press(Keyboard::D) : game.step();
        move.jump ? game.tap(Keyboard::W) : game.step(2);
        float peak_y = standing_y;
        for (int i = 0; i < 40; i++) {
            peak_y = std::min(peak_y, p_player->getPosition().getY());
            game.step();
        }
        EXPECT_FALSE(p_player->isInAir());
        EXPECT_NEAR(p_player->getPosition().getY(), standing_y, 1e-3);
        EXPECT_EQ(p_player->getPosition().getX(), move.end_x);
        EXPECT_NEAR(peak_y, move.peak_y, 1e-3);
        EXPECT_EQ(p_player->getTwin()->getPosition(), p_player->getPosition() - Vector(0, 7));
    }
}

TEST_F(PlayerRules, KeyGuideShowsTheHintForWhatThePlayerTouches) {
    Player* p_player = game.playLevel(0);
    const float y = p_player->getPosition().getY();
    // Frame 0 in the first level is shown with the two-worlds rule added: picture 7.
    const struct {
        float x;
        bool take_light;
        int frame;
        int picture;
    } hints[] = {{7, false, 0, 7}, {12, false, 4, 4}, {12, true, 3, 3}, {50, false, 1, 1}, {70, false, 5, 5}};
    for (const auto& hint : hints) {
        SCOPED_TRACE(hint.x);
        p_player->setPosition(Vector(hint.x, y));
        hint.take_light ? game.tap(Keyboard::SPACE) : game.step();
        EXPECT_EQ(p_player->getKeyGuide()->getFrame(), hint.frame);
        EXPECT_EQ(p_player->getKeyGuide()->getAnimation().getIndex(), hint.picture);
    }
}

TEST_F(PlayerRules, StaysControllableAfterHundredsOfWorldSwitches) {
    Player* p_player = game.playLevel(0);
    for (int i = 0; i < 300; i++) {
        GameHarness::send(Keyboard::S, vl::KEY_PRESSED);
    }
    ASSERT_TRUE(p_player->isInControl());
    EXPECT_LT(p_player->getEventCount(), 10);
    const float x = p_player->getPosition().getX();
    game.press(Keyboard::D);
    game.step(3);
    EXPECT_EQ(p_player->getPosition().getX(), x + 3);
    EXPECT_EQ(game.log().find("maximum"), std::string::npos);
}
