// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>

#include "WorldFixture.h"
#include <veltrane/core/Utility.h>
#include <veltrane/world/Geometry.h>
#include <veltrane/world/WorldManager.h>

using vltest::Probe;

TEST(Movement, CollisionRulesByMoverAndObjectHit) {
    struct Case {
        vl::Solidness mover;
        bool no_soft;
        vl::Solidness hit;
        bool moves;
        int events;  // received by each of the two
    };
    const Case cases[] = {
        {vl::HARD, false, vl::HARD, false, 1},    {vl::HARD, false, vl::SOFT, true, 1},
        {vl::HARD, true, vl::SOFT, false, 1},     {vl::SOFT, false, vl::HARD, true, 1},
        {vl::SOFT, false, vl::SOFT, true, 1},     {vl::SOFT, true, vl::SOFT, false, 1},
        {vl::SOFT, true, vl::HARD, true, 1},      {vl::SPECTRAL, false, vl::HARD, true, 0},
        {vl::SPECTRAL, true, vl::SOFT, true, 0},  {vl::HARD, false, vl::SPECTRAL, true, 0},
        {vl::SOFT, false, vl::SPECTRAL, true, 0},
    };
    vltest::World world;
    vl::WorldManager& wm = vl::WorldManager::getInstance();
    int row = 1;
    for (const Case& c : cases) {
        const std::string name = vl::solidnessToString(c.mover) + (c.no_soft ? " (no soft)" : "") + " onto " +
                                 vl::solidnessToString(c.hit);
        Probe mover(vl::Vector(10, static_cast<float>(row)), c.mover);
        mover.setNoSoft(c.no_soft);
        Probe hit(vl::Vector(11, static_cast<float>(row)), c.hit);
        const vl::Vector target(10.5f, static_cast<float>(row));
        EXPECT_EQ(wm.moveObject(&mover, target), c.moves ? 0 : -1) << name;
        EXPECT_EQ(mover.getPosition(), c.moves ? target : vl::Vector(10, static_cast<float>(row))) << name;
        EXPECT_EQ(mover.collisions, c.events) << name;
        EXPECT_EQ(hit.collisions, c.events) << name;
        if (c.events > 0) {
            EXPECT_TRUE(mover.last_was_mover) << name;
            EXPECT_FALSE(hit.last_was_mover) << name;
            EXPECT_EQ(mover.p_last_other, &hit) << name;
            EXPECT_EQ(hit.last_position, target) << name;
        }
        row += 2;
    }
    EXPECT_EQ(wm.checkConsistency(), 0);
}

// A collision handler that places the mover elsewhere is obeyed, whether the move went ahead or not.
TEST(Movement, ACollisionHandlerThatPlacesTheMoverHasTheLastWord) {
    vltest::World world;
    for (const vl::Solidness hit : {vl::SOFT, vl::HARD}) {
        Probe mover(vl::Vector(10, 5));
        mover.on_collision = [](Probe* p_self, vl::Object*) {
            p_self->setPosition(vl::Vector(30, 7));
        };
        Probe other(vl::Vector(11, 5), hit);
        EXPECT_EQ(vl::WorldManager::getInstance().moveObject(&mover, vl::Vector(10.5f, 5)),
                  hit == vl::SOFT ? 0 : -1);
        EXPECT_EQ(mover.getPosition(), vl::Vector(30, 7)) << vl::solidnessToString(hit);
    }
    EXPECT_EQ(vl::WorldManager::getInstance().checkConsistency(), 0);
}

TEST(Movement, OutEventOnceWhenCrossingOutOfTheWorld) {
    vltest::World world(80, 24);
    vl::WorldManager& wm = vl::WorldManager::getInstance();
    Probe probe(vl::Vector(78, 10), vl::SPECTRAL);
    // The box still meets the boundary at 80, then is wholly outside, stays out, comes back, leaves again.
    const float moves[][3] = {
        {80.4f, 10, 0}, {81, 10, 1}, {90, 10, 1}, {40, 10, 1}, {40, -3, 2}};  // x, y, outs
    for (const auto& m : moves) {
        wm.moveObject(&probe, vl::Vector(m[0], m[1]));
        EXPECT_EQ(probe.outs, static_cast<int>(m[2])) << m[0] << "," << m[1];
    }
}

TEST(Movement, NormalTellsWhichSideWasMet) {
    vltest::World world;
    Probe block(vl::Vector(20, 10));
    block.setBox(vl::Box(vl::Vector(-2, -1), 4, 2));  // x 18..22, y 9..11
    struct Case {
        vl::Vector from;
        vl::Vector velocity;
        vl::Vector normal;
    };
    const Case cases[] = {
        {vl::Vector(20, 8), vl::Vector(0, 1), vl::Vector(0, -1)},          // falling onto it
        {vl::Vector(20, 12), vl::Vector(0, -1), vl::Vector(0, 1)},         // rising into it
        {vl::Vector(17, 10), vl::Vector(1, 0), vl::Vector(-1, 0)},         // from the left
        {vl::Vector(23, 10), vl::Vector(-1, 0), vl::Vector(1, 0)},         // from the right
        {vl::Vector(17, 8), vl::Vector(1, 1), vl::Vector(-1, -1)},         // at the top-left corner
        {vl::Vector(23.2f, 12.2f), vl::Vector(-1, -1), vl::Vector(1, 1)},  // at the bottom-right corner
    };
    for (const Case& c : cases) {
        Probe mover(c.from, vl::SPECTRAL);
        mover.setVelocity(c.velocity);
        EXPECT_EQ(vl::getNormal(&mover, &block), c.normal) << c.from.toString();
    }
    // Nothing near: no side.
    Probe far(vl::Vector(60, 20), vl::SPECTRAL);
    far.setVelocity(vl::Vector(1, 0));
    EXPECT_EQ(vl::getNormal(&far, &block), vl::Vector(0, 0));

    EXPECT_EQ(vl::getWorldBox(&block), vl::Box(vl::Vector(18, 9), 4, 2));
    EXPECT_EQ(vl::getWorldBox(&block, vl::Vector(0, 0)), vl::Box(vl::Vector(-2, -1), 4, 2));
}
