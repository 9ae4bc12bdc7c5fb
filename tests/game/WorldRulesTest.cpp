// SPDX-License-Identifier: MIT
// Rules of the game world: world switches, restarting, quitting and the title screen's choice; the two
// forms, levers, lights, doors and restarts' rebuilding are played by the replays.
#include "GameHarness.h"

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
