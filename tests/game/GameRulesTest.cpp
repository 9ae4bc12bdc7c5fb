// SPDX-License-Identifier: MIT
// What no replay reaches: world switches, levers, lights, a head bump, the title's choice, what the player
// is shown (hints, passable pieces, a crush, finished levels) and faults found in play.
#include "GameHarness.h"
#include "Switch.h"

using namespace gametest;
using WorldRules = GameTest;
using LevelFlow = GameTest;
using PlayerCues = GameTest;
using PlayerFaults = GameTest;

TEST_F(WorldRules, SwitchingBackPutsTheShadowFormAboveTheLightFormAndOnlyTheFormInControlWalks) {
    Player* p_light = game.playLevel(0);
    Player* p_shadow = p_light->getTwin();
    const Vector start = p_light->getPosition();
    for (bool shadow : {true, false}) {
        SCOPED_TRACE(shadow);
        const size_t particles = countType("Particle");
        game.tap(Keyboard::S);
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

TEST_F(WorldRules, OnlyTheLightFormTakesALight) {
    Player* p_player = game.playLevel(0);
    p_player->setPosition(Vector(12, p_player->getPosition().getY()));  // at the light, its shadow above
    for (bool shadow : {true, false}) {
        game.tap(Keyboard::S);
        game.tap(Keyboard::SPACE);
        EXPECT_EQ(p_player->hasLight(), !shadow);
        EXPECT_EQ(countType("Light"), shadow ? 2u : 0u);
    }
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
