// SPDX-License-Identifier: MIT
// The player's movement against obstacles, its key guide hints and world-switch endurance.
#include "GameHarness.h"

using namespace gametest;
namespace Keyboard = vl::Keyboard;
using vl::Vector;
using PlayerRules = GameTest;

namespace {

const float STANDING_Y = 14.5f - 0.1f - 1.5f;  // a 3-row player resting 0.1 above a floor on row 15
const float HEAD_AT_ROW_9_5 = 9.5f + 1.5f;     // its head against the underside of a platform on row 9

// A player at x = 30 on a floor of platforms (row 15, columns 0 to 78), an obstacle put near it, and
// the keys pressed: where it ends at rest on the floor, and its height at the top of a jump.
struct Move {
    const char* name;
    const char* sprite;  // of the obstacle, none if empty
    int obstacle_x;
    int obstacle_y;
    bool walk_right;
    bool jump;
    float end_x;
    float peak_y;  // the top of the jump, or the standing height without one
};

class PlayerMoves : public ::testing::TestWithParam<Move> {};

}  // namespace

TEST_P(PlayerMoves, EndsAtRestOnTheFloor) {
    const Move& move = GetParam();
    GameHarness game;
    ASSERT_TRUE(game.started());
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
    float peak_y = STANDING_Y;
    for (int i = 0; i < 40; i++) {
        peak_y = std::min(peak_y, p_player->getPosition().getY());
        game.step();
    }
    EXPECT_FALSE(p_player->isInAir());
    EXPECT_NEAR(p_player->getPosition().getY(), STANDING_Y, 1e-3);
    EXPECT_EQ(p_player->getPosition().getX(), move.end_x);
    EXPECT_NEAR(peak_y, move.peak_y, 1e-3);
    EXPECT_EQ(p_player->getTwin()->getPosition(), p_player->getPosition() - Vector(0, 7));
}

// A jump rises 1.0, 0.9, ... 0.1 rows: 5.5 in all. A head bump drops the player straight down and
// stops its walk until the key is pressed again; so does a side hit.
INSTANTIATE_TEST_SUITE_P(
    Player, PlayerMoves,
    ::testing::Values(Move{"Stand", "", 0, 0, false, false, 30, STANDING_Y},
                      Move{"Jump", "", 0, 0, false, true, 30, STANDING_Y - 5.5f},
                      Move{"LowCeilingAbove", "long-platform", 30, 9, false, true, 30, HEAD_AT_ROW_9_5},
                      Move{"HeadBumpWhileWalking", "long-platform", 33, 9, true, true, 32, HEAD_AT_ROW_9_5},
                      Move{"SideHitByAWall", "wall", 35, 12, true, false, 32, STANDING_Y}),
    [](const ::testing::TestParamInfo<Move>& param_info) { return param_info.param.name; });

TEST_F(PlayerRules, KeyGuideShowsTheHintForWhatThePlayerTouches) {
    (new LevelBuilder())->level1();
    game.step(60);
    Player* p_player = player(false);
    const float y = p_player->getPosition().getY();
    const struct {
        float x;
        bool take_light;
        int frame;
    } hints[] = {{7, false, 0}, {12, false, 4}, {12, true, 3}, {50, false, 1}, {70, false, 5}};
    for (const auto& hint : hints) {
        p_player->setPosition(Vector(hint.x, y));
        hint.take_light ? game.tap(Keyboard::SPACE) : game.step();
        EXPECT_EQ(p_player->getKeyGuide()->getFrame(), hint.frame) << "at x " << hint.x;
        // The first level shows frame 0 with the two-worlds rule added: picture 7.
        const int picture = hint.frame == 0 ? 7 : hint.frame;
        EXPECT_EQ(p_player->getKeyGuide()->getAnimation().getIndex(), picture) << "at x " << hint.x;
    }
}

TEST_F(PlayerRules, StaysControllableAfterHundredsOfWorldSwitches) {
    (new LevelBuilder())->level1();
    game.step(60);
    for (int i = 0; i < 300; i++) {
        GameHarness::send(Keyboard::S, vl::KEY_PRESSED);
    }
    Player* p_player = player(false);
    ASSERT_TRUE(p_player->isInControl());
    EXPECT_LT(p_player->getEventCount(), 10);
    const float x = p_player->getPosition().getX();
    game.press(Keyboard::D);
    game.step(3);
    EXPECT_EQ(p_player->getPosition().getX(), x + 3);
    EXPECT_EQ(game.log().find("maximum"), std::string::npos);
}
