// SPDX-License-Identifier: MIT
// Rules of the game world the replays do not reach: world switches, a lever's world and pace, who takes a
// light, a head bump, restarting, quitting and the title screen's choice.
#include "GameHarness.h"
#include "Switch.h"

using namespace gametest;
using WorldRules = GameTest;
using LevelFlow = GameTest;

TEST_F(WorldRules, SwitchFlipsEveryObstacleAndBorderAndHandsControlToTheOtherForm) {
    Player* p_light = game.playLevel(0);
    Player* p_shadow = p_light->getTwin();
    auto* p_floor = static_cast<Obstacle*>(objectAt("Obstacle", 20, 15));
    ASSERT_NE(p_floor, nullptr);
    auto* p_border = static_cast<Border*>(objectsOfType("Border").front());
    const Vector start = p_light->getPosition();
    for (bool shadow : {true, false}) {
        SCOPED_TRACE(shadow);
        const size_t particles = countType("Particle");
        game.tap(Keyboard::S);
        const vl::Solidness in_light = shadow ? vl::SPECTRAL : vl::HARD;
        const vl::Solidness in_shadow = shadow ? vl::HARD : vl::SPECTRAL;
        EXPECT_EQ(p_floor->getSolidness(), in_light);
        EXPECT_EQ(p_floor->getTwin()->getSolidness(), in_shadow);
        EXPECT_EQ(p_light->getSolidness(), in_light);
        EXPECT_EQ(p_shadow->getSolidness(), in_shadow);
        EXPECT_EQ(p_shadow->isInControl(), shadow);
        EXPECT_EQ(p_light->isInControl(), !shadow);
        EXPECT_EQ(p_border->isShadowShown(), shadow);
        EXPECT_EQ(p_border->getAnimation().getName().find("-border-shadow") != std::string::npos, shadow);
        // Back in the light world the shadow form jumps back above the light form, with 50 particles
        // where it leaves and 50 where it arrives.
        EXPECT_EQ(p_shadow->getPosition(), start - Vector(0, 7));
        EXPECT_EQ(countType("Particle"), particles + (shadow ? 0 : 100));
        game.press(Keyboard::D);
        game.step(5);
        // The shadow form's legs move with either form's walk; the light form's only with its own.
        EXPECT_GT(p_shadow->getAnimation().getSlowdownCount(), 0);
        EXPECT_EQ(p_light->getAnimation().getSlowdownCount() > 0, !shadow);
        game.release(Keyboard::D);
        game.step();
        EXPECT_EQ(p_light->getPosition().getX(), start.getX() + (shadow ? 0 : 5));
        EXPECT_EQ(p_shadow->getPosition().getX(), start.getX() + 5);
    }
    EXPECT_EQ(game.count("SHADOW SWITCH"), 2);
}

TEST_F(LevelFlow, HeldRRestartsOnceAndHeldQQuitsOnlyOnRelease) {
    game.startFromTitle();
    game.hold(Keyboard::R, 5);
    EXPECT_EQ(game.count("Restarting level 1"), 1);
    game.press(Keyboard::Q);
    game.step(5);
    EXPECT_EQ(countType("LevelBuilder"), 1u);
    game.release(Keyboard::Q);
    game.step();
    EXPECT_EQ(countType("LevelBuilder"), 0u);
}

TEST_F(LevelFlow, TitleSelectionStaysWithinTheSixLevelsAndHeldKeysDoNotRepeatIt) {
    GameStart* p_title = new GameStart();
    game.tap(Keyboard::A);
    EXPECT_EQ(p_title->getSelectedLevel(), 0);
    game.hold(Keyboard::NUM6, 4);
    game.hold(Keyboard::D, 4);
    EXPECT_EQ(p_title->getSelectedLevel(), 5);
    game.hold(Keyboard::A, 4);
    EXPECT_EQ(p_title->getSelectedLevel(), 4);
    EXPECT_EQ(p_title->getAnimation().getIndex(), 4);
}

TEST_F(WorldRules, ALeverWorksInItsOwnWorldOnlyAndMovesItsTargetHalfACellPerStep) {
    Obstacle* p_target = new Obstacle("long-platform", false, 22, 15);
    new Switch("lever", false, 50, 12, Vector(22, 15), Vector(22, 12), p_target);
    Player* p_player = new Player(false, Vector(50, 12));
    new LevelBuilder();  // owns the S key
    game.tap(Keyboard::S);
    p_player->getTwin()->setPosition(Vector(50, 12));  // the shadow form at the light form of the lever
    GameHarness::send(Keyboard::E, vl::KEY_RELEASED);
    game.tap(Keyboard::S);
    GameHarness::send(Keyboard::E, vl::KEY_RELEASED);  // back in the light world
    EXPECT_EQ(game.count("switched"), 1);
    p_player->setPosition(Vector(70, 30));  // out of the rising platform's way
    for (int i = 1; i <= 6; i++) {
        game.step();
        EXPECT_EQ(p_target->getPosition(), Vector(22, 15 - 0.5f * i)) << i;
    }
}

TEST_F(WorldRules, OnlyTheLightFormWithoutALightTakesOne) {
    Light* p_light = new Light(false, 40, 11);
    Player* p_player = new Player(false, Vector(40, 10));
    EXPECT_EQ(p_light->pickUp(p_player->getTwin()), -1);
    EXPECT_EQ(p_light->pickUp(p_player), 0);
    EXPECT_EQ(p_light->pickUp(p_player), -1);
}

// Walking right into a jump under a platform: the player drops straight down and stays.
TEST_F(WorldRules, AHeadBumpDropsThePlayerStraightDownAndEndsItsWalk) {
    for (int i = 0; i < 40; i++) {
        new Obstacle("platform", false, 2 * i, 15);
    }
    Player* p_player = new Player(false, Vector(30, 10));
    game.step(60);
    new Obstacle("long-platform", false, 33, 9);
    game.press(Keyboard::D);
    game.tap(Keyboard::W);
    game.step(40);
    EXPECT_FALSE(p_player->isInAir());
    EXPECT_EQ(p_player->getPosition().getX(), 32);
}
