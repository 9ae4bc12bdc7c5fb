// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <veltrane/core/Box.h>
#include <veltrane/core/Vector.h>
#include <veltrane/graphics/DisplayManager.h>
#include <veltrane/world/EventCollision.h>
#include <veltrane/world/EventOut.h>
#include <veltrane/world/Geometry.h>
#include <veltrane/world/WorldManager.h>

TEST(Vector, ArithmeticNormaliseAndText) {
    vl::Vector v(3, 4);
    EXPECT_FLOAT_EQ(v.getMagnitude(), 5);
    v.normalize();
    EXPECT_FLOAT_EQ(v.getX(), 0.6f);
    EXPECT_FLOAT_EQ(v.getY(), 0.8f);
    vl::Vector zero;
    zero.normalize();
    EXPECT_TRUE(zero.isZero());
    vl::Vector a(1, 2);
    a += vl::Vector(0.5f, -1);
    EXPECT_EQ(a, vl::Vector(1.5f, 1));
    EXPECT_EQ(a - vl::Vector(1, 1), vl::Vector(0.5f, 0));
    a.scale(2);
    EXPECT_EQ(a, vl::Vector(3, 2));
    EXPECT_NE(a, vl::Vector(3, 2.0001f));
    EXPECT_EQ(vl::Vector(1.5f, 2).toString(), "(1.5,2)");
}

TEST(Box, EqualityAndText) {
    const vl::Box box(vl::Vector(-0.5f, -0.5f), 0.99f, 0.99f);
    EXPECT_EQ(box.toString(), "(-0.5,-0.5) h: 0.99 v: 0.99");
    EXPECT_EQ(box, vl::Box(vl::Vector(-0.5f, -0.5f), 0.99f, 0.99f));
    EXPECT_NE(box, vl::Box(vl::Vector(-0.5f, -0.5f), 0.99f, 1));
    EXPECT_EQ(vl::Box(), vl::Box(vl::Vector(), 0, 0));
}

TEST(Geometry, ClosedIntervalsTouchingEdgesIntersect) {
    const vl::Box a(vl::Vector(0, 0), 1, 1);
    EXPECT_TRUE(vl::boxIntersectsBox(a, vl::Box(vl::Vector(1, 1), 1, 1)));
    EXPECT_FALSE(vl::boxIntersectsBox(vl::Box(vl::Vector(0, 0), 0.99f, 0.99f),
                                      vl::Box(vl::Vector(1, 1), 0.99f, 0.99f)));
    EXPECT_TRUE(
        vl::boxIntersectsBox(vl::Box(vl::Vector(-5, 0.5f), 20, 0.1f), a));  // crossing, no corner inside
    EXPECT_FALSE(vl::boxIntersectsBox(vl::Box(vl::Vector(2, 0), 1, 1), a));
    EXPECT_TRUE(vl::boxContainsPosition(a, vl::Vector(1, 1)));
    EXPECT_TRUE(vl::boxContainsPosition(a, vl::Vector(0, 0.5f)));
    EXPECT_FALSE(vl::boxContainsPosition(a, vl::Vector(1.01f, 0.5f)));
    EXPECT_FLOAT_EQ(vl::distance(vl::Vector(1, 1), vl::Vector(4, 5)), 5);
}

TEST(Geometry, WorldAndViewCoordinatesRoundTrip) {
    vl::WorldManager::getInstance().setView(vl::Box(vl::Vector(10, 4), 80, 24));
    const vl::Vector world(12.5f, 7);
    EXPECT_EQ(vl::worldToView(world), vl::Vector(2.5f, 3));
    EXPECT_EQ(vl::viewToWorld(vl::worldToView(world)), world);
}

TEST(WorldEvents, CollisionKeepsObjectsInOrderAndOutHasItsType) {
    auto* p_mover = reinterpret_cast<vl::Object*>(static_cast<uintptr_t>(16));
    auto* p_hit = reinterpret_cast<vl::Object*>(static_cast<uintptr_t>(32));
    vl::EventCollision collision(p_mover, p_hit, vl::Vector(3, 4));
    EXPECT_EQ(collision.getType(), "vl-collision");
    collision.setType("renamed");
    EXPECT_EQ(collision.getType(), "renamed");
    EXPECT_EQ(collision.getObject1(), p_mover);
    EXPECT_EQ(collision.getObject2(), p_hit);
    EXPECT_EQ(collision.getPosition(), vl::Vector(3, 4));
    EXPECT_EQ(vl::EventOut().getType(), "vl-out");
}
