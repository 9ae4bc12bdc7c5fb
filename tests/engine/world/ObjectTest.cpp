// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "HeadlessEngine.h"
#include "TestSupport.h"
#include "WorldFixture.h"
#include <veltrane/game/GameManager.h>
#include <veltrane/graphics/Sprite.h>
#include <veltrane/network/NetworkManager.h>
#include <veltrane/resources/ResourceManager.h>
#include <veltrane/world/Object.h>
#include <veltrane/world/WorldManager.h>

using vltest::countOccurrences;

namespace {

// Counts the events it handles, by type.
class Listener : public vl::Object {
public:
    int handled = 0;
    int eventHandler(const vl::Event* p_e) override {
        if (p_e->getType() == "custom") {
            handled++;
            return 1;
        }
        return vl::Object::eventHandler(p_e);
    }
};

}  // namespace

TEST(Object, IdsComeFromOneCounterThatSetIdCanMovePast) {
    vltest::World world;
    vl::Object first;
    vl::Object second;
    EXPECT_EQ(first.getId(), 1);
    EXPECT_EQ(second.getId(), 2);
    EXPECT_EQ(vl::Object::getNextId(), 3);

    first.setModified(0);
    first.setId(10);
    EXPECT_EQ(first.getId(), 10);
    EXPECT_EQ(first.getModified(), static_cast<unsigned int>(vl::ID));
    vl::Object third;
    EXPECT_EQ(third.getId(), 11);

    second.setId(5);  // below the counter: the counter stays
    vl::Object fourth;
    EXPECT_EQ(fourth.getId(), 12);

    fourth.setModified(0);
    fourth.setId(12);  // unchanged: nothing marked
    EXPECT_FALSE(fourth.isModified());

    // At the top of the range the counter stops instead of overflowing.
    fourth.setId(2147483647);
    vl::Object fifth;
    vl::Object sixth;
    EXPECT_EQ(fifth.getId(), 2147483647);
    EXPECT_EQ(sixth.getId(), 2147483647);
}

TEST(Object, NewObjectHasTheDocumentedDefaultsAndEveryAttributeMarked) {
    vltest::World world;
    const vl::Object object;
    EXPECT_EQ(object.getType(), "(Undefined)");
    EXPECT_TRUE(object.isActive());
    EXPECT_TRUE(object.isVisible());
    EXPECT_EQ(object.getAltitude(), 2);
    EXPECT_EQ(object.getSolidness(), vl::HARD);
    EXPECT_TRUE(object.isSolid());
    EXPECT_EQ(object.getPosition(), vl::Vector(1, 1));
    EXPECT_EQ(object.getBox(), vl::Box(vl::Vector(-0.5f, -0.5f), 0.99f, 0.99f));
    EXPECT_EQ(object.getVelocity(), vl::Vector(0, 0));
    EXPECT_EQ(object.getAcceleration(), vl::Vector(0, 0));
    EXPECT_FALSE(object.getNoSoft());
    EXPECT_FALSE(object.getAvoidCollisions());
    EXPECT_FALSE(object.getFollowPath());
    EXPECT_EQ(object.getEventCount(), 0);
    EXPECT_EQ(object.getModified(), 0x3FFFFu);
    EXPECT_EQ(vl::ALL_OBJECT_ATTRIBUTES, 0x3FFFFu);
    EXPECT_TRUE(vl::WorldManager::getInstance().getAllObjects().contains(&object));
}

TEST(Object, RefusedSettersLeaveObjectAndMaskUnchanged) {
    vltest::World world;
    vl::Object object;
    object.setModified(0);

    EXPECT_EQ(object.setAltitude(5), -1);
    EXPECT_EQ(object.setAltitude(-1), -1);
    EXPECT_EQ(
        countOccurrences(world.log(), "Object::setAltitude(): Altitude 5 not in range [0,4].  Ignored."), 1);
    EXPECT_EQ(
        countOccurrences(world.log(), "Object::setAltitude(): Altitude -1 not in range [0,4].  Ignored."), 1);
    EXPECT_EQ(object.getAltitude(), 2);

    EXPECT_EQ(object.setSolidness(static_cast<vl::Solidness>(3)), -1);
    EXPECT_NE(world.log().find("Object::setSolidness(): Solidness 3 not one of HARD, SOFT or SPECTRAL."),
              std::string::npos);
    EXPECT_EQ(object.getSolidness(), vl::HARD);

    // Values equal to the current ones change nothing and mark nothing.
    EXPECT_EQ(object.setSolidness(vl::HARD), 0);
    EXPECT_EQ(object.setAltitude(2), 0);
    EXPECT_EQ(object.setPosition(vl::Vector(1, 1)), 0);
    EXPECT_EQ(object.setActive(true), 0);
    EXPECT_EQ(object.setVisible(true), 0);
    object.setBox(object.getBox());
    EXPECT_EQ(object.getModified(), 0u);

    // A scene graph that cannot find the object where it should be refuses the change.
    vl::SceneGraph& scene_graph = vl::WorldManager::getInstance().getSceneGraph();
    ASSERT_EQ(scene_graph.updateVisible(&object, false), 0);  // unlisted behind the object's back
    EXPECT_EQ(object.setVisible(false), -1);
    EXPECT_TRUE(object.isVisible());
    EXPECT_EQ(object.setAltitude(3), -1);
    EXPECT_EQ(object.getAltitude(), 2);
    EXPECT_EQ(object.getModified(), 0u);
    EXPECT_NE(world.log().find("SceneGraph::updateVisible(): unable to remove visible object ((Undefined))"),
              std::string::npos);
    // The consistency check sees what the refusals protected against.
    EXPECT_GT(scene_graph.checkConsistency(), 0);
    EXPECT_NE(world.log().find("is in a visible list 0 times, expected 1."), std::string::npos);
}

TEST(Object, AcceptedSettersMarkTheirAttribute) {
    vltest::World world;
    vl::Object object;
    struct Case {
        const char* name;
        std::function<void()> change;
        unsigned int bits;
    };
    const Case cases[] = {
        {"type", [&] { object.setType("Thing"); }, vl::TYPE},
        {"type again", [&] { object.setType("Thing"); }, vl::TYPE},
        {"position", [&] { object.setPosition(vl::Vector(4, 5)); }, vl::POSITION},
        {"active", [&] { object.setActive(false); }, vl::ACTIVE},
        {"visible", [&] { object.setVisible(false); }, vl::VISIBLE},
        {"altitude", [&] { object.setAltitude(4); }, vl::ALTITUDE},
        {"solidness", [&] { object.setSolidness(vl::SOFT); }, vl::SOLIDNESS},
        {"box", [&] { object.setBox(vl::Box(vl::Vector(), 2, 2)); }, vl::BOX},
        {"speed", [&] { object.setSpeed(2); }, vl::SPEED},
        {"direction", [&] { object.setDirection(vl::Vector(0, 3)); }, vl::DIRECTION},
        {"velocity", [&] { object.setVelocity(vl::Vector(1, 0)); }, vl::SPEED | vl::DIRECTION},
        {"acceleration", [&] { object.setAcceleration(vl::Vector(0, 0.1f)); }, vl::ACCELERATION},
        {"no soft", [&] { object.setNoSoft(true); }, vl::NO_SOFT},
        {"avoid", [&] { object.setAvoidCollisions(true); }, vl::AVOID_COLLISIONS},
        {"follow path", [&] { object.setFollowPath(false); }, vl::FOLLOW_PATH},
        {"events", [&] { object.registerInterest("custom"); }, vl::EVENTS},
    };
    for (const Case& c : cases) {
        object.setModified(0);
        c.change();
        EXPECT_EQ(object.getModified(), c.bits) << c.name;
    }
    EXPECT_EQ(object.getType(), "Thing");
    EXPECT_EQ(object.getPosition(), vl::Vector(4, 5));
    EXPECT_FALSE(object.isActive());
    EXPECT_FALSE(object.isVisible());
    EXPECT_EQ(object.getAltitude(), 4);
    EXPECT_EQ(object.getSolidness(), vl::SOFT);
    EXPECT_TRUE(object.getNoSoft());
    EXPECT_TRUE(object.getAvoidCollisions());
    EXPECT_EQ(object.getDirection(), vl::Vector(1, 0));
    EXPECT_EQ(object.getAcceleration(), vl::Vector(0, 0.1f));
}

TEST(Object, VelocityIsDirectionTimesSpeed) {
    vltest::World world;
    vl::Object object;
    object.setVelocity(vl::Vector(3, 4));
    EXPECT_FLOAT_EQ(object.getSpeed(), 5);
    EXPECT_FLOAT_EQ(object.getDirection().getX(), 0.6f);
    EXPECT_FLOAT_EQ(object.getDirection().getY(), 0.8f);
    EXPECT_FLOAT_EQ(object.getVelocity().getX(), 3);
    EXPECT_FLOAT_EQ(object.getVelocity().getY(), 4);
    EXPECT_FLOAT_EQ(object.predictPosition().getX(), 4);
    EXPECT_FLOAT_EQ(object.predictPosition().getY(), 5);
    EXPECT_EQ(object.getPosition(), vl::Vector(1, 1));  // predicting moves nothing

    object.setVelocity(vl::Vector(0, 0));
    EXPECT_EQ(object.getSpeed(), 0);
    EXPECT_EQ(object.getDirection(), vl::Vector(0, 0));

    object.setSpeed(2);
    object.setDirectionTo(vl::Vector(1, -9));  // straight up from (1, 1)
    EXPECT_EQ(object.getDirection(), vl::Vector(0, -1));
    EXPECT_EQ(object.getVelocity(), vl::Vector(0, -2));

    // Acceleration changes speed and direction together.
    object.setVelocity(vl::Vector(1, 0));
    object.setAcceleration(vl::Vector(0, 1));
    object.setModified(0);
    object.applyAcceleration();
    EXPECT_FLOAT_EQ(object.getVelocity().getX(), 1);
    EXPECT_FLOAT_EQ(object.getVelocity().getY(), 1);
    EXPECT_EQ(object.getModified(), static_cast<unsigned int>(vl::SPEED | vl::DIRECTION));
    object.setAcceleration(vl::Vector(0, 0));
    object.setModified(0);
    object.applyAcceleration();
    EXPECT_FALSE(object.isModified());
}

TEST(Object, InterestsAreLimitedAndKeptOncePerType) {
    vltest::World world;
    vl::Object object;
    for (int i = 0; i < vl::MAX_OBJ_EVENTS; i++) {
        ASSERT_EQ(object.registerInterest("custom-" + std::to_string(i)), 0) << i;
    }
    EXPECT_EQ(object.registerInterest("one-too-many"), -1);
    EXPECT_NE(world.log().find("Object::registerInterest(): maximum (100) reached, cannot register for event "
                               "'one-too-many'"),
              std::string::npos);
    EXPECT_EQ(object.getEventCount(), 100);
    EXPECT_EQ(object.unregisterInterest("custom-40"), 0);
    EXPECT_EQ(object.registerInterest("one-too-many"), 0);
    EXPECT_EQ(object.getEventCount(), 100);

    EXPECT_EQ(object.unregisterInterest("never"), -1);
    EXPECT_NE(world.log().find("Object::unregisterInterest(): event 'never' not previously registered"),
              std::string::npos);
    EXPECT_EQ(object.unregisterInterest("custom-40"), -1);
}

TEST(Object, RegisteringTwiceThenUnregisteringOnceLeavesNoStaleInterest) {
    vltest::World world;
    Listener listener;
    ASSERT_EQ(listener.registerInterest("custom"), 0);
    ASSERT_EQ(listener.registerInterest("custom"), 0);
    EXPECT_EQ(listener.getEventCount(), 1);
    vl::Event event;
    event.setType("custom");
    EXPECT_EQ(vl::WorldManager::getInstance().onEvent(&event), 1);
    EXPECT_EQ(listener.unregisterInterest("custom"), 0);
    EXPECT_EQ(listener.getEventCount(), 0);
    EXPECT_EQ(vl::WorldManager::getInstance().onEvent(&event), 0);
    EXPECT_EQ(listener.handled, 1);
}

TEST(Object, InterestsAreRoutedToTheManagerThatSendsTheType) {
    vltest::World world;
    vl::Object object;
    vl::NetworkManager& network = vl::NetworkManager::getInstance();
    vl::GameManager& game = vl::GameManager::getInstance();
    vl::WorldManager& world_manager = vl::WorldManager::getInstance();

    ASSERT_EQ(object.registerInterest(vl::NETWORK_SYNC_EVENT), 0);
    EXPECT_EQ(network.getEventCount(), 1);
    ASSERT_EQ(object.registerInterest(vl::STEP_EVENT), 0);
    EXPECT_EQ(game.getEventCount(), 1);
    ASSERT_EQ(object.registerInterest("lever"), 0);
    EXPECT_EQ(world_manager.getEventCount(), 1);
    EXPECT_EQ(object.unregisterInterest(vl::NETWORK_SYNC_EVENT), 0);
    EXPECT_EQ(network.getEventCount(), 0);

    // Collision and out events are delivered directly, never through interests.
    EXPECT_EQ(object.registerInterest(vl::COLLISION_EVENT), -1);
    EXPECT_NE(world.log().find("WorldManager::isValid(): Event vl-collision handled automatically."),
              std::string::npos);
    EXPECT_EQ(object.getEventCount(), 2);
}

TEST(Object, DestructorUnregistersEveryInterestAndLeavesTheWorld) {
    vltest::World world;
    vl::WorldManager& world_manager = vl::WorldManager::getInstance();
    auto* p_listener = new Listener;
    Listener bystander;
    ASSERT_EQ(p_listener->registerInterest(vl::STEP_EVENT), 0);
    ASSERT_EQ(p_listener->registerInterest("custom"), 0);
    ASSERT_EQ(p_listener->registerInterest(vl::NETWORK_EVENT), 0);
    ASSERT_EQ(bystander.registerInterest("custom"), 0);

    world_manager.markForDelete(p_listener);
    world_manager.update();

    EXPECT_EQ(vl::GameManager::getInstance().getEventCount(), 0);
    EXPECT_EQ(vl::NetworkManager::getInstance().getEventCount(), 0);
    vl::Event event;
    event.setType("custom");
    EXPECT_EQ(world_manager.onEvent(&event), 1);  // only the bystander is left
    EXPECT_EQ(bystander.handled, 1);
    EXPECT_FALSE(world_manager.getAllObjects(true).contains(p_listener));
    EXPECT_EQ(world_manager.checkConsistency(), 0);
}

TEST(Object, ObjectRefusedByAStoppedWorldStaysOutOfEveryList) {
    vltest::World world;
    vl::WorldManager& world_manager = vl::WorldManager::getInstance();
    world_manager.shutDown();
    auto* p_stray = new vl::Object;
    ASSERT_EQ(world_manager.startUp(), 0);
    world_manager.setBoundary(vl::Box(vl::Vector(0, 0), 80, 24));

    // Its setters must not slip it into the world the manager never accepted.
    EXPECT_EQ(p_stray->setActive(false), 0);
    p_stray->setBox(vl::Box(vl::Vector(), 3, 3));
    p_stray->setType("Stray");
    EXPECT_FALSE(world_manager.getAllObjects(true).contains(p_stray));
    EXPECT_EQ(world_manager.checkConsistency(), 0);
    delete p_stray;  // its creator still owns it
    EXPECT_EQ(world.log().find("Error removing Object"), std::string::npos);
}

TEST(Object, SpriteGivesTheAnimationAndTheBoxButAMissingOneChangesNothing) {
    vltest::World world;
    vl::ResourceManager& resources = vl::ResourceManager::getInstance();
    ASSERT_EQ(resources.startUp(), 0);
    ASSERT_EQ(resources.loadSprite(vltest::dataPath("sprites/good-robust.txt"), "thing"), 0);
    vl::Object object;
    object.setPosition(vl::Vector(10, 10));
    object.setModified(0);

    EXPECT_EQ(object.setSprite("nothing"), -1);
    EXPECT_NE(world.log().find("Object::setSprite(): Warning! Sprite 'nothing' not found"),
              std::string::npos);
    EXPECT_EQ(object.getAnimation().getSprite(), nullptr);
    EXPECT_EQ(object.getBox(), vl::Box(vl::Vector(-0.5f, -0.5f), 0.99f, 0.99f));
    EXPECT_FALSE(object.isModified());

    ASSERT_EQ(object.setSprite("thing"), 0);
    EXPECT_EQ(object.getAnimation().getSprite(), resources.getSprite("thing"));
    EXPECT_EQ(object.getBox(), object.getAnimation().getBox());
    EXPECT_EQ(object.getBox().getHorizontal(), 3);
    EXPECT_EQ(object.getBox().getVertical(), 2);
    EXPECT_EQ(object.getModified(), static_cast<unsigned int>(vl::BOX));  // the box, not the animation
    // The grid knows the new extent: a neighbour two cells away now touches it.
    vltest::Probe neighbour(vl::Vector(12, 10));
    EXPECT_EQ(vl::WorldManager::getInstance().getCollisions(&neighbour, neighbour.getPosition()).getCount(),
              1);

    // Drawing plays the animation: the frame advances after the sprite's slowdown.
    const int slowdown = resources.getSprite("thing")->getSlowdown();
    for (int i = 0; i < slowdown; i++) {
        EXPECT_EQ(object.getAnimation().getIndex(), 0);
        object.draw();
    }
    EXPECT_EQ(object.getAnimation().getIndex(), 1);
    resources.shutDown();
}

TEST(Object, AnimationAndShapeAreCopiedAndMarked) {
    vltest::World world;
    vl::Object object;
    EXPECT_EQ(object.getShape().getType(), vl::UNDEFINED);
    object.setModified(0);
    vl::Animation animation;
    animation.setIndex(3);
    object.setAnimation(animation, false);
    EXPECT_EQ(object.getModified(), static_cast<unsigned int>(vl::ANIMATION));
    EXPECT_EQ(object.getAnimation().getIndex(), 3);
    EXPECT_EQ(object.getBox(), vl::Box(vl::Vector(-0.5f, -0.5f), 0.99f, 0.99f));

    vl::Shape shape;
    shape.setType(vl::SQUARE);
    object.setModified(0);
    object.setShape(shape);
    EXPECT_EQ(object.getModified(), static_cast<unsigned int>(vl::SHAPE));
    EXPECT_EQ(object.getShape().getType(), vl::SQUARE);
}
