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

namespace {

// Counts the "custom" events it handles.
class Listener : public vl::Object {
public:
    int handled = 0;
    int eventHandler(const vl::Event* p_e) override {
        if (p_e->getType() != "custom") {
            return vl::Object::eventHandler(p_e);
        }
        handled++;
        return 1;
    }
};

bool logged(const vltest::World& world, const std::string& text) {
    return world.log().find(text) != std::string::npos;
}

}  // namespace

TEST(Object, IdsComeFromOneCounterThatSetIdCanMovePast) {
    vltest::World world;
    vl::Object first;
    vl::Object second;
    EXPECT_EQ(second.getId(), first.getId() + 1);
    first.setModified(0);
    first.setId(10);
    EXPECT_EQ(first.getModified(), static_cast<unsigned int>(vl::ID));
    EXPECT_EQ(vl::Object().getId(), 11);
    second.setId(5);  // below the counter: the counter stays
    vl::Object fourth;
    EXPECT_EQ(fourth.getId(), 12);
    fourth.setModified(0);
    fourth.setId(12);
    EXPECT_FALSE(fourth.isModified());
    fourth.setId(2147483647);  // at the top the counter stops instead of overflowing
    EXPECT_EQ(vl::Object().getId(), 2147483647);
    EXPECT_EQ(vl::Object().getId(), 2147483647);
}

TEST(Object, RefusedAndUnchangedSettersLeaveObjectAndMaskAlone) {
    vltest::World world;
    vl::Object object;
    object.setModified(0);
    EXPECT_EQ(object.setAltitude(5), -1);
    EXPECT_EQ(object.setAltitude(-1), -1);
    EXPECT_TRUE(logged(world, "Object::setAltitude(): Altitude -1 not in range [0,4].  Ignored."));
    EXPECT_EQ(object.setSolidness(static_cast<vl::Solidness>(3)), -1);
    EXPECT_TRUE(logged(world, "Object::setSolidness(): Solidness 3 not one of HARD, SOFT or SPECTRAL."));
    EXPECT_EQ(object.getAltitude(), 2);
    EXPECT_EQ(object.getSolidness(), vl::HARD);
    EXPECT_EQ(object.setSolidness(vl::HARD) + object.setAltitude(2) + object.setActive(true), 0);
    EXPECT_EQ(object.setPosition(vl::Vector(1, 1)) + object.setVisible(true), 0);
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
    EXPECT_GT(scene_graph.checkConsistency(), 0);
    EXPECT_TRUE(logged(world, "is in a visible list 0 times, expected 1."));
}

TEST(Object, AcceptedSettersMarkTheirAttribute) {
    vltest::World world;
    vl::Object object;
    vl::Shape shape;
    shape.setType(vl::SQUARE);
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
        {"animation", [&] { object.setAnimation(vl::Animation(), false); }, vl::ANIMATION},
        {"shape", [&] { object.setShape(shape); }, vl::SHAPE},
    };
    for (const Case& c : cases) {
        object.setModified(0);
        c.change();
        EXPECT_EQ(object.getModified(), c.bits) << c.name;
    }
    EXPECT_EQ(object.getType(), "Thing");
    EXPECT_EQ(object.getPosition(), vl::Vector(4, 5));
    EXPECT_FALSE(object.isActive() || object.isVisible());
    EXPECT_EQ(object.getAltitude(), 4);
    EXPECT_EQ(object.getSolidness(), vl::SOFT);
    EXPECT_TRUE(object.getNoSoft() && object.getAvoidCollisions());
    EXPECT_EQ(object.getAcceleration(), vl::Vector(0, 0.1f));
    EXPECT_EQ(object.getShape().getType(), vl::SQUARE);
}

TEST(Object, InterestsAreLimitedKeptOnceAndRoutedToTheirManager) {
    vltest::World world;
    Listener listener;
    ASSERT_EQ(listener.registerInterest("custom"), 0);
    ASSERT_EQ(listener.registerInterest("custom"), 0);  // twice is kept once
    EXPECT_EQ(listener.getEventCount(), 1);
    vl::Event event;
    event.setType("custom");
    EXPECT_EQ(vl::WorldManager::getInstance().onEvent(&event), 1);
    EXPECT_EQ(listener.unregisterInterest("custom"), 0);
    EXPECT_EQ(vl::WorldManager::getInstance().onEvent(&event), 0);
    EXPECT_EQ(listener.handled, 1);

    vl::Object object;
    for (int i = 0; i < vl::MAX_OBJ_EVENTS; i++) {
        ASSERT_EQ(object.registerInterest("custom-" + std::to_string(i)), 0) << i;
    }
    EXPECT_EQ(object.registerInterest("one-too-many"), -1);
    EXPECT_TRUE(logged(world, "maximum (100) reached, cannot register for event 'one-too-many'"));
    EXPECT_EQ(object.unregisterInterest("custom-40"), 0);
    EXPECT_EQ(object.unregisterInterest("custom-40"), -1);
    EXPECT_TRUE(logged(world, "Object::unregisterInterest(): event 'custom-40' not previously registered"));
    EXPECT_EQ(object.registerInterest("one-too-many"), 0);

    vl::Object routed;
    ASSERT_EQ(routed.registerInterest(vl::NETWORK_SYNC_EVENT), 0);
    EXPECT_EQ(vl::NetworkManager::getInstance().getEventCount(), 1);
    ASSERT_EQ(routed.registerInterest(vl::STEP_EVENT), 0);
    EXPECT_EQ(vl::GameManager::getInstance().getEventCount(), 1);
    EXPECT_EQ(routed.unregisterInterest(vl::NETWORK_SYNC_EVENT), 0);
    EXPECT_EQ(vl::NetworkManager::getInstance().getEventCount(), 0);
    EXPECT_EQ(routed.registerInterest(vl::COLLISION_EVENT), -1);  // delivered directly, never by interest
    EXPECT_EQ(routed.getEventCount(), 1);
}

TEST(Object, DestructorUnregistersEveryInterestAndLeavesTheWorld) {
    vltest::World world;
    vl::WorldManager& world_manager = vl::WorldManager::getInstance();
    auto* p_listener = new Listener;
    Listener bystander;
    for (const std::string& type : {vl::STEP_EVENT, std::string("custom"), vl::NETWORK_EVENT}) {
        ASSERT_EQ(p_listener->registerInterest(type), 0);
    }
    ASSERT_EQ(bystander.registerInterest("custom"), 0);
    world_manager.markForDelete(p_listener);
    world_manager.update();
    EXPECT_EQ(vl::GameManager::getInstance().getEventCount(), 0);
    EXPECT_EQ(vl::NetworkManager::getInstance().getEventCount(), 0);
    vl::Event event;
    event.setType("custom");
    EXPECT_EQ(world_manager.onEvent(&event), 1);  // only the bystander is left
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
    EXPECT_FALSE(logged(world, "Error removing Object"));
}

TEST(Object, SpriteGivesTheAnimationAndTheBoxButAMissingOneChangesNothing) {
    vltest::World world;
    vl::ResourceManager& resources = vl::ResourceManager::getInstance();
    ASSERT_EQ(resources.startUp(), 0);
    ASSERT_EQ(resources.loadSprite(vltest::dataPath("sprites/good-robust.txt"), "thing"), 0);
    vl::Object object;
    object.setPosition(vl::Vector(10, 10));
    const vl::Box before = object.getBox();
    object.setModified(0);
    EXPECT_EQ(object.setSprite("nothing"), -1);
    EXPECT_TRUE(logged(world, "Object::setSprite(): Warning! Sprite 'nothing' not found"));
    EXPECT_EQ(object.getBox(), before);
    EXPECT_FALSE(object.isModified());

    ASSERT_EQ(object.setSprite("thing"), 0);
    EXPECT_EQ(object.getAnimation().getSprite(), resources.getSprite("thing"));
    EXPECT_EQ(object.getBox(), object.getAnimation().getBox());
    EXPECT_EQ(object.getBox().getHorizontal(), 3);
    EXPECT_EQ(object.getModified(), static_cast<unsigned int>(vl::BOX));  // the box, not the animation
    // The grid knows the new extent: a neighbour two cells away now touches it.
    vltest::Probe neighbour(vl::Vector(12, 10));
    EXPECT_EQ(vl::WorldManager::getInstance().getCollisions(&neighbour, neighbour.getPosition()).getCount(),
              1);
    for (int i = 0; i < resources.getSprite("thing")->getSlowdown(); i++) {
        object.draw();  // drawing plays the animation: the frame advances after the sprite's slowdown
    }
    EXPECT_EQ(object.getAnimation().getIndex(), 1);
    resources.shutDown();
}
