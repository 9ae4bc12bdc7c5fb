// SPDX-License-Identifier: MIT
// Rules of the game world: two forms of every thing, world switches, levers and lights.
#include <gtest/gtest.h>

#include "Border.h"
#include "GameTestUtil.h"
#include "KeyGuide.h"
#include "LevelBuilder.h"
#include "Light.h"
#include "Obstacle.h"
#include "Player.h"
#include "Switch.h"

using gametest::GameHarness;
using vl::Vector;

namespace {

LevelBuilder* startLevel(int level) {
    LevelBuilder* p_builder = new LevelBuilder();
    p_builder->buildLevel(level);
    return p_builder;
}

}  // namespace

// ---- two forms, seven rows apart -------------------------------------------------------

TEST(TwoForms, ObstacleLightFormBuildsItsShadowFormSevenRowsAbove) {
    GameHarness game;
    ASSERT_TRUE(game.started());
    Obstacle* p_light = new Obstacle("long-platform", false, 22, 15);
    Obstacle* p_shadow = p_light->getTwin();
    ASSERT_NE(p_shadow, nullptr);
    EXPECT_EQ(p_shadow->getTwin(), p_light);
    EXPECT_FALSE(p_light->isShadow());
    EXPECT_TRUE(p_shadow->isShadow());
    EXPECT_EQ(p_light->getPosition(), Vector(22, 15));
    EXPECT_EQ(p_shadow->getPosition(), Vector(22, 8));
    EXPECT_EQ(p_light->getSolidness(), vl::HARD);
    EXPECT_EQ(p_shadow->getSolidness(), vl::SPECTRAL);
    EXPECT_EQ(p_light->getAltitude(), 4);
    EXPECT_EQ(p_shadow->getAltitude(), 1);
    EXPECT_EQ(gametest::spriteOf(p_light), "long-platform");
    EXPECT_EQ(gametest::spriteOf(p_shadow), "long-platform-shadow");
    EXPECT_EQ(p_shadow->getType(), "Obstacle");
    // The sprite gives the box: six cells wide, one high.
    EXPECT_EQ(p_light->getBox().getHorizontal(), 6);
    EXPECT_EQ(p_light->getBox().getVertical(), 1);
    EXPECT_EQ(GameHarness::objectsOfType("Obstacle").size(), 2u);
}

TEST(TwoForms, PlayerLightAndLeverAllHaveTheirShadowFormSevenRowsAbove) {
    GameHarness game;
    ASSERT_TRUE(game.started());
    Player* p_player = new Player(false, Vector(7, 10));
    Light* p_light = new Light(false, 12, 12);
    Obstacle* p_target = new Obstacle("platform", false, 30, 15);
    Switch* p_lever = new Switch("lever", false, 50, 12, Vector(30, 15), Vector(30, 12), p_target);

    Player* p_shadow_player = p_player->getTwin();
    ASSERT_NE(p_shadow_player, nullptr);
    EXPECT_EQ(p_shadow_player->getPosition(), Vector(7, 3));
    EXPECT_EQ(p_player->getSolidness(), vl::HARD);
    EXPECT_EQ(p_shadow_player->getSolidness(), vl::SPECTRAL);
    EXPECT_EQ(p_player->getAltitude(), 4);
    EXPECT_EQ(p_shadow_player->getAltitude(), 3);
    EXPECT_TRUE(p_player->isInControl());
    EXPECT_FALSE(p_shadow_player->isInControl());
    EXPECT_EQ(gametest::spriteOf(p_shadow_player), "player-shadow");
    ASSERT_EQ(GameHarness::objectsOfType("KeyGuide").size(), 1u);
    KeyGuide* p_guide = p_player->getKeyGuide();
    EXPECT_EQ(p_shadow_player->getKeyGuide(), p_guide);
    EXPECT_EQ(p_guide->getFrame(), 0);
    EXPECT_EQ(p_guide->getPosition(), Vector(40, 20));

    Light* p_shadow_light = p_light->getTwin();
    ASSERT_NE(p_shadow_light, nullptr);
    EXPECT_EQ(p_shadow_light->getPosition(), Vector(12, 5));
    EXPECT_EQ(p_light->getSolidness(), vl::SOFT);
    EXPECT_EQ(p_shadow_light->getSolidness(), vl::SOFT);
    EXPECT_EQ(p_light->getAltitude(), 3);
    EXPECT_EQ(p_shadow_light->getAltitude(), 2);
    EXPECT_EQ(gametest::spriteOf(p_shadow_light), "light-shadow");

    Switch* p_shadow_lever = p_lever->getTwin();
    ASSERT_NE(p_shadow_lever, nullptr);
    EXPECT_EQ(p_shadow_lever->getPosition(), Vector(50, 5));
    EXPECT_EQ(p_lever->getSolidness(), vl::SOFT);
    EXPECT_EQ(p_shadow_lever->getSolidness(), vl::SPECTRAL);
    EXPECT_EQ(p_lever->getAltitude(), 4);
    EXPECT_EQ(p_shadow_lever->getAltitude(), 1);
    EXPECT_TRUE(p_lever->isUsable());
    EXPECT_FALSE(p_shadow_lever->isUsable());
    EXPECT_EQ(gametest::frameOf(p_lever), 0);
    EXPECT_EQ(gametest::frameOf(p_shadow_lever), 0);
}

TEST(TwoForms, RemovingEitherPlayerFormRemovesBothWithABurstEach) {
    GameHarness game;
    ASSERT_TRUE(game.started());
    Player* p_player = new Player(false, Vector(7, 10));
    vl::WorldManager::getInstance().markForDelete(p_player->getTwin());
    game.step();
    EXPECT_TRUE(GameHarness::objectsOfType("Player").empty());
    // A BURST of scale 2 is 100 particles, one for each form.
    EXPECT_EQ(GameHarness::objectsOfType("Particle").size(), 200u);
}

// ---- world switches ------------------------------------------------------------------------

TEST(WorldSwitch, FlipsSolidnessOfEveryObstacleAndTheBorderSprites) {
    GameHarness game;
    ASSERT_TRUE(game.started());
    startLevel(0);
    Obstacle* p_floor = static_cast<Obstacle*>(gametest::objectAt("Obstacle", 20, 15));
    ASSERT_NE(p_floor, nullptr);
    Obstacle* p_floor_shadow = p_floor->getTwin();
    Border* p_border = static_cast<Border*>(GameHarness::objectsOfType("Border").front());

    game.tap(vl::Keyboard::S);
    EXPECT_EQ(vltest::countOccurrences(game.log(), "SHADOW SWITCH"), 1);
    EXPECT_EQ(p_floor->getSolidness(), vl::SPECTRAL);
    EXPECT_EQ(p_floor_shadow->getSolidness(), vl::HARD);
    EXPECT_TRUE(p_border->isShadowShown());
    EXPECT_NE(gametest::spriteOf(p_border).find("-border-shadow"), std::string::npos);

    game.tap(vl::Keyboard::S);
    EXPECT_EQ(vltest::countOccurrences(game.log(), "SHADOW SWITCH"), 2);
    EXPECT_EQ(p_floor->getSolidness(), vl::HARD);
    EXPECT_EQ(p_floor_shadow->getSolidness(), vl::SPECTRAL);
    EXPECT_FALSE(p_border->isShadowShown());
    EXPECT_EQ(gametest::spriteOf(p_border).find("-border-shadow"), std::string::npos);
}

TEST(WorldSwitch, HandsControlAndTheKeyboardToTheOtherPlayerForm) {
    GameHarness game;
    ASSERT_TRUE(game.started());
    startLevel(0);
    gametest::settle(game);
    Player* p_light = gametest::lightPlayer();
    Player* p_shadow = gametest::shadowPlayer();
    ASSERT_NE(p_light, nullptr);
    const Vector light_start = p_light->getPosition();
    EXPECT_EQ(p_shadow->getPosition(), light_start - Vector(0, 7));

    game.tap(vl::Keyboard::S);
    EXPECT_TRUE(p_shadow->isInControl());
    EXPECT_FALSE(p_light->isInControl());
    EXPECT_EQ(p_shadow->getSolidness(), vl::HARD);
    EXPECT_EQ(p_light->getSolidness(), vl::SPECTRAL);

    // Walking now moves the shadow form only; the light form stays where it was.
    game.press(vl::Keyboard::D);
    game.step(5);
    game.release(vl::Keyboard::D);
    game.step();
    EXPECT_EQ(p_light->getPosition(), light_start);
    EXPECT_EQ(p_shadow->getPosition().getX(), light_start.getX() + 5);

    // Back in the light world the shadow form jumps back above the light form, with a black burst
    // where it left and where it arrives (scale 1: 50 particles each).
    const size_t particles_before = GameHarness::objectsOfType("Particle").size();
    game.press(vl::Keyboard::S);
    game.step();
    EXPECT_EQ(p_shadow->getPosition(), light_start - Vector(0, 7));
    EXPECT_EQ(GameHarness::objectsOfType("Particle").size(), particles_before + 100);
    game.release(vl::Keyboard::S);
    game.press(vl::Keyboard::A);
    game.step(3);
    EXPECT_EQ(p_light->getPosition().getX(), light_start.getX() - 3);
}

TEST(WorldSwitch, LeverListensToTheKeyboardOnlyInItsOwnWorld) {
    GameHarness game;
    ASSERT_TRUE(game.started());
    Obstacle* p_target = new Obstacle("platform", false, 30, 15);
    Switch* p_lever = new Switch("lever", false, 50, 12, Vector(30, 15), Vector(30, 12), p_target);
    Switch* p_shadow_lever = p_lever->getTwin();
    Player* p_player = new Player(false, Vector(10, 20));
    new LevelBuilder();  // owns the S key

    game.tap(vl::Keyboard::S);
    EXPECT_FALSE(p_lever->isUsable());
    EXPECT_TRUE(p_shadow_lever->isUsable());
    EXPECT_EQ(p_lever->getSolidness(), vl::SPECTRAL);
    EXPECT_EQ(p_shadow_lever->getSolidness(), vl::SOFT);

    // The shadow form in control cannot work the light form of the lever, only its shadow form.
    Player* p_shadow = p_player->getTwin();
    ASSERT_TRUE(p_shadow->isInControl());
    p_shadow->setPosition(Vector(50, 12));
    GameHarness::send(vl::Keyboard::E, vl::KEY_RELEASED);
    EXPECT_EQ(vltest::countOccurrences(game.log(), "switched"), 0);
    p_shadow->setPosition(Vector(50, 5));
    GameHarness::send(vl::Keyboard::E, vl::KEY_RELEASED);
    EXPECT_EQ(vltest::countOccurrences(game.log(), "switched"), 1);
    EXPECT_TRUE(p_lever->isOn());
    EXPECT_TRUE(p_shadow_lever->isOn());

    // Back in the light world the light form listens again.
    game.tap(vl::Keyboard::S);
    EXPECT_TRUE(p_lever->isUsable());
    EXPECT_FALSE(p_shadow_lever->isUsable());
    p_player->setPosition(Vector(50, 12));
    GameHarness::send(vl::Keyboard::E, vl::KEY_RELEASED);
    EXPECT_EQ(vltest::countOccurrences(game.log(), "switched"), 2);
    EXPECT_FALSE(p_lever->isOn());
}

// ---- levers ---------------------------------------------------------------------------------

TEST(Lever, PullMovesTheTargetPairTwoStepsPerCellWhileSpectral) {
    GameHarness game;
    ASSERT_TRUE(game.started());
    Obstacle* p_target = new Obstacle("long-platform", false, 22, 15);
    Obstacle* p_target_shadow = p_target->getTwin();
    Switch* p_lever = new Switch("lever", false, 50, 12, Vector(22, 15), Vector(22, 12), p_target);
    gametest::EventCounter* p_levers = new gametest::EventCounter(LEVER_EVENT);
    Player* p_player = new Player(false, Vector(50, 12));
    p_player->setVelocity(Vector(0, 0));

    GameHarness::send(vl::Keyboard::E, vl::KEY_PRESSED);
    EXPECT_EQ(vltest::countOccurrences(game.log(), "switched"), 0);
    GameHarness::send(vl::Keyboard::E, vl::KEY_RELEASED);
    EXPECT_EQ(vltest::countOccurrences(game.log(), "switched"), 1);
    EXPECT_EQ(p_levers->count, 1);
    EXPECT_EQ(gametest::frameOf(p_lever), 1);
    EXPECT_EQ(gametest::frameOf(p_lever->getTwin()), 1);
    // Keep the player out of the way of the rising platform.
    vl::WorldManager::getInstance().markForDelete(p_player);

    // Three cells: six steps of half a cell, spectral all the way.
    for (int i = 1; i <= 6; i++) {
        game.step();
        EXPECT_EQ(p_target->getPosition(), Vector(22, 15 - 0.5f * i)) << "step " << i;
        EXPECT_EQ(p_target->getSolidness(), vl::SPECTRAL) << "step " << i;
        EXPECT_EQ(p_target_shadow->getPosition(), Vector(22, 8 - 0.5f * i)) << "step " << i;
    }
    // The next step finds it on the target: the move ends and the light form is solid again.
    game.step();
    EXPECT_EQ(p_target->getPosition(), Vector(22, 12));
    EXPECT_FALSE(p_target->isMoving());
    EXPECT_EQ(p_target->getSolidness(), vl::HARD);
    EXPECT_EQ(p_target_shadow->getSolidness(), vl::SPECTRAL);
    EXPECT_TRUE(p_target->getVelocity().isZero());
}

TEST(Lever, SecondPullSendsTheTargetBackAndOnlyAPlayerCanPull) {
    GameHarness game;
    ASSERT_TRUE(game.started());
    startLevel(0);
    gametest::settle(game);
    Obstacle* p_step = static_cast<Obstacle*>(gametest::objectAt("Obstacle", 22, 15, "long-platform"));
    ASSERT_NE(p_step, nullptr);
    Player* p_player = gametest::lightPlayer();

    GameHarness::send(vl::Keyboard::E, vl::KEY_RELEASED);  // nobody at the lever
    game.step(10);
    EXPECT_EQ(vltest::countOccurrences(game.log(), "switched"), 0);
    EXPECT_EQ(p_step->getPosition(), Vector(22, 15));

    p_player->setPosition(Vector(50, p_player->getPosition().getY()));
    GameHarness::send(vl::Keyboard::E, vl::KEY_RELEASED);
    game.step(10);
    EXPECT_EQ(p_step->getPosition(), Vector(22, 12));
    GameHarness::send(vl::Keyboard::E, vl::KEY_RELEASED);
    game.step(10);
    EXPECT_EQ(p_step->getPosition(), Vector(22, 15));
    EXPECT_EQ(vltest::countOccurrences(game.log(), "switched"), 2);
}

TEST(Lever, ArrivingOnAPlayerRemovesBothItsForms) {
    GameHarness game;
    ASSERT_TRUE(game.started());
    startLevel(0);
    gametest::settle(game);
    Player* p_player = gametest::lightPlayer();
    const float standing_y = p_player->getPosition().getY();

    // Pull the lever from the shadow world, with the light form standing where the platform stops.
    p_player->setPosition(Vector(22, standing_y));
    game.step();
    game.tap(vl::Keyboard::S);
    Player* p_shadow = gametest::shadowPlayer();
    p_shadow->setPosition(Vector(50, standing_y - 7));
    GameHarness::send(vl::Keyboard::E, vl::KEY_RELEASED);
    const size_t particles_before = GameHarness::objectsOfType("Particle").size();
    game.step(8);
    EXPECT_TRUE(GameHarness::objectsOfType("Player").empty());
    EXPECT_EQ(GameHarness::objectsOfType("Particle").size(), particles_before + 200);
    EXPECT_EQ(vltest::countOccurrences(game.log(), "switched"), 1);
}

TEST(Lever, TwoLeversAtOnePlaceArePulledByOneRelease) {
    GameHarness game;
    ASSERT_TRUE(game.started());
    startLevel(2);
    gametest::settle(game);
    game.tap(vl::Keyboard::S);
    Player* p_shadow = gametest::shadowPlayer();
    p_shadow->setPosition(Vector(5, 15.9f));
    GameHarness::send(vl::Keyboard::E, vl::KEY_RELEASED);
    EXPECT_EQ(vltest::countOccurrences(game.log(), "switched"), 2);
    game.step(75);
    EXPECT_NE(gametest::objectAt("Obstacle", 25, 22), nullptr);
    EXPECT_NE(gametest::objectAt("Obstacle", 25, 19), nullptr);
    EXPECT_NE(gametest::objectAt("Obstacle", 25, 15), nullptr);
    EXPECT_NE(gametest::objectAt("Obstacle", 25, 12), nullptr);
}

// ---- lights ---------------------------------------------------------------------------------

TEST(Light, ShadowFormDissolvesOnlyShadowObstaclesItOverlaps) {
    GameHarness game;
    ASSERT_TRUE(game.started());
    Light* p_light = new Light(false, 40, 11);
    Light* p_glow = p_light->getTwin();
    // A shadow floor under the glow (its light form below), one out of reach, and a light-form
    // obstacle placed inside the glow.
    Obstacle* p_under = new Obstacle("platform", false, 40, 12);
    Obstacle* p_far = new Obstacle("platform", false, 50, 12);
    Obstacle* p_light_form_in_glow = new Obstacle("platform", false, 40, 4);
    gametest::switchWorld();
    ASSERT_EQ(p_under->getTwin()->getSolidness(), vl::HARD);

    EXPECT_EQ(p_light->illuminate().getCount(), 0);  // the light form dissolves nothing
    EXPECT_EQ(p_under->getTwin()->getSolidness(), vl::HARD);
    EXPECT_FALSE(p_under->getTwin()->isLit());

    const vl::ObjectList lit = p_glow->illuminate();
    ASSERT_EQ(lit.getCount(), 1);
    EXPECT_EQ(lit[0], p_under->getTwin());
    EXPECT_TRUE(p_under->getTwin()->isLit());
    EXPECT_EQ(p_under->getTwin()->getSolidness(), vl::SPECTRAL);
    EXPECT_FALSE(p_far->getTwin()->isLit());
    EXPECT_EQ(p_far->getTwin()->getSolidness(), vl::HARD);
    EXPECT_FALSE(p_light_form_in_glow->isLit());
    // Found again, an obstacle is listed again.
    p_under->getTwin()->setSolidness(vl::HARD);
    EXPECT_EQ(p_glow->illuminate().getCount(), 2);
}

TEST(Light, ShadowPlayerWalkingIntoTheGlowOpensTheShadowFloor) {
    GameHarness game;
    ASSERT_TRUE(game.started());
    startLevel(1);
    gametest::settle(game);
    game.tap(vl::Keyboard::S);
    Player* p_shadow = gametest::shadowPlayer();
    Obstacle* p_floor = static_cast<Obstacle*>(gametest::objectAt("Obstacle", 40, 12));
    ASSERT_NE(p_floor, nullptr);
    EXPECT_EQ(p_floor->getTwin()->getSolidness(), vl::HARD);

    game.press(vl::Keyboard::D);
    game.step(30);
    EXPECT_EQ(p_floor->getTwin()->getSolidness(), vl::SPECTRAL);
    EXPECT_TRUE(p_floor->getTwin()->isLit());
    game.release(vl::Keyboard::D);
    game.step(40);
    // Through the hole down to the lower shadow floor (top at row 18.5).
    EXPECT_GT(p_shadow->getPosition().getY(), 15);
    EXPECT_EQ(p_floor->getSolidness(), vl::SPECTRAL);  // the light world's floor is untouched
}

TEST(Light, LightPlayerWalkingThroughTheGlowDissolvesNothing) {
    GameHarness game;
    ASSERT_TRUE(game.started());
    new Light(false, 40, 11);  // its glow at (40, 4)
    Obstacle* p_floor = new Obstacle("platform", false, 40, 12);
    // A light-world ledge at the glow's height for the light form to walk along.
    for (int x = 30; x <= 50; x += 2) {
        new Obstacle("platform", false, x, 7);
    }
    Player* p_player = new Player(false, Vector(32, 4));
    gametest::settle(game, 20);
    game.press(vl::Keyboard::D);
    game.step(14);
    ASSERT_GT(p_player->getPosition().getX(), 44);
    // In the light world the shadow obstacles are not solid, so the glow finds none to dissolve.
    EXPECT_FALSE(p_floor->getTwin()->isLit());
    EXPECT_EQ(p_floor->getTwin()->getSolidness(), vl::SPECTRAL);
    gametest::switchWorld();
    EXPECT_EQ(p_floor->getTwin()->getSolidness(), vl::HARD);
}

TEST(Light, PickUpIsRefusedToTheShadowFormAndToACarrier) {
    GameHarness game;
    ASSERT_TRUE(game.started());
    Light* p_light = new Light(false, 12, 12);
    Player* p_player = new Player(false, Vector(12, 12));
    EXPECT_EQ(p_light->pickUp(p_player->getTwin()), -1);
    p_player->setHasLight(true);
    EXPECT_EQ(p_light->pickUp(p_player), -1);
    game.step();
    EXPECT_EQ(GameHarness::objectsOfType("Light").size(), 2u);

    p_player->setHasLight(false);
    EXPECT_EQ(p_light->pickUp(p_player), 0);
    EXPECT_TRUE(p_player->hasLight());
    game.step();
    EXPECT_TRUE(GameHarness::objectsOfType("Light").empty());
}

TEST(Light, PickingUpGivesTheDissolvedObstaclesBack) {
    GameHarness game;
    ASSERT_TRUE(game.started());
    Light* p_light = new Light(false, 40, 11);
    Obstacle* p_floor = new Obstacle("platform", false, 40, 12);
    gametest::switchWorld();
    p_light->getTwin()->illuminate();
    ASSERT_TRUE(p_floor->getTwin()->isLit());
    gametest::switchWorld();
    Player* p_player = new Player(false, Vector(40, 10));
    EXPECT_EQ(p_light->pickUp(p_player), 0);
    EXPECT_FALSE(p_floor->getTwin()->isLit());
    EXPECT_TRUE(p_floor->getTwin()->isVisible());
}

TEST(Light, LitShadowFormStaysSpectralWhileSteppingUntilGivenBack) {
    GameHarness game;
    ASSERT_TRUE(game.started());
    new LevelBuilder();
    Obstacle* p_target = new Obstacle("wall", false, 60, 19);
    new Switch("lever", false, 4, 24, Vector(60, 19), Vector(25, 19), p_target);  // registers steps
    game.tap(vl::Keyboard::S);
    Obstacle* p_shadow = p_target->getTwin();
    ASSERT_EQ(p_shadow->getSolidness(), vl::HARD);
    p_shadow->setSolidness(vl::SPECTRAL);
    p_shadow->setLit(true);
    game.step(3);
    EXPECT_EQ(p_shadow->getSolidness(), vl::SPECTRAL);
    p_shadow->setLit(false);
    game.step();
    EXPECT_EQ(p_shadow->getSolidness(), vl::HARD);
}

TEST(Light, SpacePutsTheCarriedLightDownAtTheTruncatedPosition) {
    GameHarness game;
    ASSERT_TRUE(game.started());
    startLevel(0);
    gametest::settle(game);
    Player* p_player = gametest::lightPlayer();
    // Walk onto the light at (12, 12) and take it.
    game.press(vl::Keyboard::D);
    game.step(5);
    game.release(vl::Keyboard::D);
    game.step();
    ASSERT_EQ(p_player->getPosition().getX(), 12);
    game.tap(vl::Keyboard::SPACE);
    EXPECT_TRUE(p_player->hasLight());
    EXPECT_TRUE(GameHarness::objectsOfType("Light").empty());

    game.press(vl::Keyboard::D);
    game.step(8);
    game.release(vl::Keyboard::D);
    game.step();
    const Vector at = p_player->getPosition();
    game.tap(vl::Keyboard::SPACE);
    EXPECT_FALSE(p_player->hasLight());
    vl::Object* p_put = gametest::objectAt("Light", static_cast<float>(static_cast<int>(at.getX())),
                                           static_cast<float>(static_cast<int>(at.getY())));
    ASSERT_NE(p_put, nullptr);
    EXPECT_EQ(p_put->getAltitude(), 2);
    EXPECT_EQ(GameHarness::objectsOfType("Light").size(), 2u);
}
