// SPDX-License-Identifier: MIT
// What the player is shown beyond the layout: key hints, where the form in control is, what is passable,
// a crush, and which levels are finished.
#include "GameHarness.h"

using namespace gametest;
using PlayerCues = GameTest;

TEST_F(PlayerCues, TheFormInControlOutOfSightIsMarkedAtTheScreenEdge) {
    game.playLevel(1);
    game.tap(Keyboard::S);
    const struct {
        Vector at;
        char marker;
        Vector where;
    } cases[] = {{{30, 10}, 0, {}},
                 {{-4, 10}, '<', {0, 10}},
                 {{85, 12.5f}, '>', {79, 12.5f}},
                 {{30, -5}, '^', {30, 0}}};
    for (const auto& c : cases) {
        player(true)->setPosition(c.at);
        Vector where;
        EXPECT_EQ(player(true)->edgeMarker(&where), c.marker) << c.at.toString();
        EXPECT_TRUE(c.marker == 0 || where == c.where) << where.toString();
    }
}

// Ends with a lever-moved platform crushing the light form: both forms go.
TEST_F(PlayerCues, PassablePiecesCarriedLightsAndACrushAreShown) {
    Player* p_player = game.playLevel(0);
    const float y = p_player->getPosition().getY();
    p_player->setPosition(Vector(12, y));  // the light
    game.tap(Keyboard::SPACE);
    EXPECT_TRUE(p_player->showsLight() && p_player->getTwin()->showsLight());
    p_player->setPosition(Vector(32, y));  // by the wall: the glow covers its shadow
    game.tap(Keyboard::SPACE);
    EXPECT_FALSE(p_player->showsLight() || p_player->getTwin()->showsLight());
    auto* p_wall = static_cast<Obstacle*>(objectAt("Obstacle", 35, 5, "wall-shadow"));
    auto* p_floor = static_cast<Obstacle*>(objectAt("Obstacle", 30, 8, "platform-shadow"));
    auto* p_step = static_cast<Obstacle*>(objectAt("Obstacle", 22, 8, "long-platform-shadow"));
    game.tap(Keyboard::S);
    game.tap(Keyboard::D);
    EXPECT_TRUE(p_wall->looksPassable());
    EXPECT_FALSE(p_floor->looksPassable());
    // From the shadow lever, the platform at (22, 15) slides up onto the light form standing there.
    game.tap(Keyboard::S);
    p_player->setPosition(Vector(22, y));
    game.step();
    game.tap(Keyboard::S);
    player(true)->setPosition(Vector(50, y - 7));
    GameHarness::send(Keyboard::E, vl::KEY_RELEASED);
    game.step(2);
    EXPECT_TRUE(p_step->isMoving() && p_step->looksPassable());
    game.step(10);
    EXPECT_EQ(countType("Player"), 0u);
    const std::vector<vl::Object*> guides = objectsOfType("KeyGuide");
    ASSERT_EQ(guides.size(), 1u);
    EXPECT_EQ(static_cast<KeyGuide*>(guides.front())->getFrame(), KeyGuide::CRUSHED);
    EXPECT_EQ(game.count("Player crushed: R restarts the level"), 1);
}

TEST_F(PlayerCues, FinishedLevelsAreRememberedAndADamagedRecordMeansNone) {
    const std::string record = std::string(std::getenv("XDG_DATA_HOME")) + "/veltrane/finished";
    EXPECT_FALSE(game.startFromTitle(1)->isFinished(1));  // no record yet
    EventEnd end;                                         // the door of level 2
    vl::WorldManager::getInstance().onEvent(&end);
    game.step();
    EXPECT_EQ(vltest::readFile(record), "010000\n");
    EXPECT_TRUE((new GameStart())->isFinished(1));
    vltest::writeFile(record, "01x000\n");
    EXPECT_FALSE((new GameStart())->isFinished(1));
}

TEST_F(PlayerCues, KeyGuideShowsTheHintForWhatThePlayerTouches) {
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
