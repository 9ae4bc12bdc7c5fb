// SPDX-License-Identifier: MIT
// Rules of the game world: two forms of every thing, world switches, levers and lights.
#include "GameHarness.h"

using namespace gametest;
using WorldRules = GameTest;

TEST_F(WorldRules, EveryThingHasItsShadowFormSevenRowsAboveAndOnePlayerControlsOneForm) {
    Obstacle* p_obstacle = new Obstacle("long-platform", false, 22, 15);
    Player* p_player = new Player(false, Vector(7, 10));
    Light* p_light = new Light(false, 12, 12);
    Switch* p_lever = new Switch("lever", false, 50, 12, Vector(22, 15), Vector(22, 12), p_obstacle);
    const struct {
        vl::Object* p_light;
        vl::Object* p_shadow;
        vl::Object* p_back;
    } forms[] = {{p_obstacle, p_obstacle->getTwin(), p_obstacle->getTwin()->getTwin()},
                 {p_player, p_player->getTwin(), p_player->getTwin()->getTwin()},
                 {p_light, p_light->getTwin(), p_light->getTwin()->getTwin()},
                 {p_lever, p_lever->getTwin(), p_lever->getTwin()->getTwin()}};
    for (const auto& form : forms) {
        SCOPED_TRACE(form.p_light->getType());
        EXPECT_EQ(form.p_back, form.p_light);
        EXPECT_EQ(form.p_shadow->getPosition(), form.p_light->getPosition() - Vector(0, 7));
    }
    EXPECT_EQ(p_player->getTwin()->getKeyGuide(), p_player->getKeyGuide());
    EXPECT_EQ(countType("KeyGuide"), 1u);
    EXPECT_TRUE(p_player->isInControl() && !p_player->getTwin()->isInControl());
    EXPECT_TRUE(p_lever->isUsable() && !p_lever->getTwin()->isUsable());
    // Removing either player form removes both, with a burst of 100 particles each.
    vl::WorldManager::getInstance().markForDelete(p_player->getTwin());
    game.step();
    EXPECT_EQ(countType("Player"), 0u);
    EXPECT_EQ(countType("Particle"), 200u);
}

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

TEST_F(WorldRules, LeverListensOnlyInItsOwnWorldToTheReleaseOfAPlayerBesideIt) {
    Obstacle* p_target = new Obstacle("platform", false, 30, 15);
    Switch* p_lever = new Switch("lever", false, 50, 12, Vector(30, 15), Vector(30, 12), p_target);
    Player* p_player = new Player(false, Vector(10, 20));
    new LevelBuilder();        // owns the S key
    GameHarness::pullLever();  // nobody at the lever
    game.tap(Keyboard::S);
    EXPECT_TRUE(!p_lever->isUsable() && p_lever->getTwin()->isUsable());
    EXPECT_EQ(p_lever->getSolidness(), vl::SPECTRAL);
    EXPECT_EQ(p_lever->getTwin()->getSolidness(), vl::SOFT);
    p_player->getTwin()->setPosition(Vector(50, 12));  // at the light form of the lever: nothing
    GameHarness::pullLever();
    p_player->getTwin()->setPosition(Vector(50, 5));
    GameHarness::send(Keyboard::E, vl::KEY_PRESSED);  // a press is not a pull
    EXPECT_EQ(game.count("switched"), 0);
    GameHarness::pullLever();
    EXPECT_EQ(game.count("switched"), 1);
    EXPECT_TRUE(p_lever->isOn() && p_lever->getTwin()->isOn());
    EXPECT_EQ(p_lever->getAnimation().getIndex() + p_lever->getTwin()->getAnimation().getIndex(), 2);
    game.tap(Keyboard::S);
    EXPECT_TRUE(p_lever->isUsable() && !p_lever->getTwin()->isUsable());
    p_player->setPosition(Vector(50, 12));
    GameHarness::pullLever();
    EXPECT_EQ(game.count("switched"), 2);
    EXPECT_FALSE(p_lever->isOn());
}

TEST_F(WorldRules, LeverMovesTheTargetPairHalfACellPerStepWhileSpectralAndASecondPullSendsItBack) {
    Obstacle* p_target = new Obstacle("long-platform", false, 22, 15);
    new Switch("lever", false, 50, 12, Vector(22, 15), Vector(22, 12), p_target);
    Player* p_player = new Player(false, Vector(50, 12));
    GameHarness::pullLever();
    p_player->setPosition(Vector(70, 30));  // out of the rising platform's way
    for (int i = 1; i <= 6; i++) {
        SCOPED_TRACE(i);
        game.step();
        EXPECT_EQ(p_target->getPosition(), Vector(22, 15 - 0.5f * i));
        EXPECT_EQ(p_target->getSolidness(), vl::SPECTRAL);
        EXPECT_EQ(p_target->getTwin()->getPosition(), Vector(22, 8 - 0.5f * i));
    }
    game.step();  // arrived: the move ends and the light form is solid again
    EXPECT_FALSE(p_target->isMoving());
    EXPECT_EQ(p_target->getSolidness(), vl::HARD);
    EXPECT_EQ(p_target->getTwin()->getSolidness(), vl::SPECTRAL);
    EXPECT_TRUE(p_target->getVelocity().isZero());
    p_player->setPosition(Vector(50, 12));
    GameHarness::pullLever();
    game.step(8);
    EXPECT_EQ(p_target->getPosition(), Vector(22, 15));
    EXPECT_EQ(p_target->getTwin()->getPosition(), Vector(22, 8));
}

TEST_F(WorldRules, ShadowLightDissolvesOnlyTheShadowObstaclesItOverlapsUntilPickedUp) {
    Light* p_light = new Light(false, 40, 11);
    Obstacle* p_under = new Obstacle("platform", false, 40, 12);  // its shadow form under the glow
    Obstacle* p_far = new Obstacle("platform", false, 50, 12);
    Obstacle* p_in_glow = new Obstacle("platform", false, 40, 4);  // a light form inside the glow
    EventShadow shadow;
    vl::WorldManager::getInstance().onEvent(&shadow);
    EXPECT_EQ(p_light->illuminate().getCount(), 0);  // the light form dissolves nothing
    const vl::ObjectList lit = p_light->getTwin()->illuminate();
    ASSERT_EQ(lit.getCount(), 1);
    EXPECT_EQ(lit[0], p_under->getTwin());
    EXPECT_TRUE(p_under->getTwin()->isLit());
    EXPECT_EQ(p_under->getTwin()->getSolidness(), vl::SPECTRAL);
    EXPECT_FALSE(p_far->getTwin()->isLit() || p_in_glow->isLit());
    EXPECT_EQ(p_far->getTwin()->getSolidness(), vl::HARD);
    // Lit, a shadow obstacle stays spectral through its steps; picking the light up gives it back.
    new Switch("lever", false, 4, 24, Vector(40, 12), Vector(40, 12), p_under);  // gives it steps
    game.step(3);
    EXPECT_EQ(p_under->getTwin()->getSolidness(), vl::SPECTRAL);
    Player* p_player = new Player(false, Vector(40, 10));
    EXPECT_EQ(p_light->pickUp(p_player->getTwin()), -1);  // not by the shadow form
    EXPECT_EQ(p_light->pickUp(p_player), 0);
    EXPECT_EQ(p_light->pickUp(p_player), -1);  // not by a carrier
    EXPECT_TRUE(p_player->hasLight());
    EXPECT_FALSE(p_under->getTwin()->isLit());
    game.step();
    EXPECT_EQ(p_under->getTwin()->getSolidness(), vl::HARD);
    EXPECT_EQ(countType("Light"), 0u);
}
