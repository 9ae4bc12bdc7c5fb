// SPDX-License-Identifier: MIT
// What the player is shown beyond the layout: where the form in control is, what is passable, a crush,
// and which levels are finished.
#include <gtest/gtest.h>

#include <string>

#include "GameHarness.h"
#include "GameStart.h"
#include "KeyGuide.h"
#include "LevelBuilder.h"
#include "Obstacle.h"
#include "TestSupport.h"

using gametest::GameHarness;

TEST(PlayerCues, TheFormInControlOutOfSightIsMarkedAtTheScreenEdge) {
    GameHarness game;
    (new LevelBuilder())->level2();
    game.step(60);
    game.tap(vl::Keyboard::S);
    struct Case {
        vl::Vector at;
        char marker;
        vl::Vector where;
    };
    for (const Case& c : {Case{{30, 10}, 0, {}}, Case{{-4, 10}, '<', {0, 10}},
                          Case{{85, 12.5f}, '>', {79, 12.5f}}, Case{{30, -5}, '^', {30, 0}}}) {
        gametest::player(true)->setPosition(c.at);
        vl::Vector where;
        EXPECT_EQ(gametest::player(true)->edgeMarker(&where), c.marker) << c.at.toString();
        EXPECT_TRUE(c.marker == 0 || where == c.where) << where.toString();
    }
}

TEST(PlayerCues, PassablePiecesCarriedLightsAndACrushAreShown) {
    GameHarness game;
    (new LevelBuilder())->level1();
    game.step(60);
    Player* p_player = gametest::player(false);
    const float y = p_player->getPosition().getY();
    p_player->setPosition(vl::Vector(12, y));  // the light
    game.tap(vl::Keyboard::SPACE);
    EXPECT_TRUE(p_player->showsLight() && p_player->getTwin()->showsLight());
    p_player->setPosition(vl::Vector(32, y));  // by the wall: the glow covers its shadow
    game.tap(vl::Keyboard::SPACE);
    EXPECT_FALSE(p_player->showsLight() || p_player->getTwin()->showsLight());
    auto* p_wall = static_cast<Obstacle*>(gametest::objectAt("Obstacle", 35, 5, "wall-shadow"));
    auto* p_floor = static_cast<Obstacle*>(gametest::objectAt("Obstacle", 30, 8, "platform-shadow"));
    auto* p_step = static_cast<Obstacle*>(gametest::objectAt("Obstacle", 22, 8, "long-platform-shadow"));
    game.tap(vl::Keyboard::S);
    game.tap(vl::Keyboard::D);
    EXPECT_TRUE(p_wall->looksPassable());
    EXPECT_FALSE(p_floor->looksPassable());
    // From the shadow lever, the platform at (22, 15) slides up onto the light form standing there.
    game.tap(vl::Keyboard::S);
    p_player->setPosition(vl::Vector(22, y));
    game.step();
    game.tap(vl::Keyboard::S);
    gametest::player(true)->setPosition(vl::Vector(50, y - 7));
    GameHarness::send(vl::Keyboard::E, vl::KEY_RELEASED);
    game.step(2);
    EXPECT_TRUE(p_step->isMoving() && p_step->looksPassable());
    game.step(10);
    const std::vector<vl::Object*> guides = gametest::objectsOfType("KeyGuide");
    ASSERT_EQ(guides.size(), 1u);
    EXPECT_EQ(static_cast<KeyGuide*>(guides.front())->getFrame(), KeyGuide::CRUSHED);
    EXPECT_EQ(vltest::countOccurrences(game.log(), "Player crushed: R restarts the level"), 1);
}

TEST(PlayerCues, FinishedLevelsAreRememberedAndADamagedRecordMeansNone) {
    GameHarness game;
    const std::string record = std::string(std::getenv("XDG_DATA_HOME")) + "/veltrane/finished";
    GameStart* p_title = new GameStart();
    EXPECT_FALSE(p_title->isFinished(1));  // no record yet
    game.tap(vl::Keyboard::NUM2);
    game.tap(vl::Keyboard::RETURN);
    EventEnd end;  // the door of level 2
    vl::WorldManager::getInstance().onEvent(&end);
    game.step();
    EXPECT_EQ(vltest::readFile(record), "010000\n");
    EXPECT_TRUE((new GameStart())->isFinished(1));
    vltest::writeFile(record, "01x000\n");
    EXPECT_FALSE((new GameStart())->isFinished(1));
}
