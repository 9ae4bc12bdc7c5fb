// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>

#include "WorldFixture.h"
#include <veltrane/world/WorldManager.h>

// Peers get only what is marked: refused or unchanged values mark nothing.
TEST(Object, RefusedAndUnchangedSettersLeaveObjectAndMaskAlone) {
    vltest::World world;
    vl::Object o;
    o.setModified(0);
    EXPECT_EQ(o.setAltitude(5) + o.setAltitude(-1) + o.setSolidness(static_cast<vl::Solidness>(3)) +
                  o.setSprite("nothing"),
              -4);
    EXPECT_NE(world.log().find("Object::setSprite(): Warning! Sprite 'nothing' not found"),
              std::string::npos);
    EXPECT_NE(world.log().find("Object::setAltitude(): Altitude -1 not in range [0,4].  Ignored."),
              std::string::npos);
    EXPECT_EQ(o.getAltitude(), 2);
    EXPECT_EQ(o.getSolidness(), vl::HARD);
    EXPECT_EQ(o.setSolidness(vl::HARD) + o.setAltitude(2) + o.setActive(true) + o.setVisible(true), 0);
    EXPECT_EQ(o.setPosition(vl::Vector(1, 1)), 0);
    o.setBox(o.getBox());
    o.setId(o.getId());
    EXPECT_EQ(o.getModified(), 0u);
    // A scene graph that cannot find the object where it should be refuses the change.
    vl::Object listed;
    listed.setModified(0);
    ASSERT_EQ(vl::WorldManager::getInstance().getSceneGraph().updateVisible(&listed, false), 0);
    EXPECT_EQ(listed.setVisible(false) + listed.setAltitude(3), -2);
    EXPECT_TRUE(listed.isVisible());
    EXPECT_EQ(listed.getAltitude(), 2);
    EXPECT_EQ(listed.getModified(), 0u);
}

TEST(Object, InterestsAreKeptOnceUpToTheLimitButNeverForCollisions) {
    vltest::World world;
    vl::Object o;
    ASSERT_EQ(o.registerInterest("custom") + o.registerInterest("custom"), 0);
    EXPECT_EQ(o.getEventCount(), 1);
    for (int i = 1; i < vl::MAX_OBJ_EVENTS; i++) {
        ASSERT_EQ(o.registerInterest("e" + std::to_string(i)), 0) << i;
    }
    EXPECT_EQ(o.registerInterest("one-too-many"), -1);
    EXPECT_EQ(o.unregisterInterest("e40"), 0);
    EXPECT_EQ(o.unregisterInterest("e40"), -1);
    EXPECT_EQ(o.registerInterest(vl::COLLISION_EVENT), -1);  // delivered directly, never by interest
}
