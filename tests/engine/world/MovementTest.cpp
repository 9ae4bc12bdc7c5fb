// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>

#include "HeadlessEngine.h"
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

// Mover then object hit, for each object hit in the grid's order.
TEST(Movement, ThreeObjectsHitAtOnceAllHearOfItInListOrder) {
    vltest::World world;
    vl::WorldManager& wm = vl::WorldManager::getInstance();
    Probe soft1(vl::Vector(12, 5), vl::SOFT);
    Probe hard(vl::Vector(12, 6), vl::HARD);
    Probe soft2(vl::Vector(12, 7), vl::SOFT);
    Probe mover(vl::Vector(5, 6));
    mover.setBox(vl::Box(vl::Vector(-1, -1), 2, 2));  // reaches rows 5 to 7
    vltest::deliveryOrder().clear();
    EXPECT_EQ(wm.moveObject(&mover, vl::Vector(11, 6)), -1);
    EXPECT_EQ(mover.getPosition(), vl::Vector(5, 6));
    const std::string m = std::to_string(mover.getId());
    EXPECT_EQ(vltest::deliveryOrder(), m + "," + std::to_string(soft1.getId()) + "," + m + "," +
                                           std::to_string(hard.getId()) + "," + m + "," +
                                           std::to_string(soft2.getId()) + ",");
    EXPECT_EQ(mover.collisions, 3);

    // Handlers decide with the solidness they leave: a hard object turning spectral lets it pass.
    hard.on_collision = [](Probe* p_self, vl::Object*) {
        p_self->setSolidness(vl::SPECTRAL);
    };
    EXPECT_EQ(wm.moveObject(&mover, vl::Vector(11, 6)), 0);
    EXPECT_EQ(mover.collisions, 6);
    EXPECT_EQ(wm.checkConsistency(), 0);
}

TEST(Movement, OutEventOnceWhenCrossingOutOfTheWorld) {
    vltest::World world(80, 24);
    vl::WorldManager& wm = vl::WorldManager::getInstance();
    Probe probe(vl::Vector(78, 10), vl::SPECTRAL);
    // The box still meets the boundary at 80, then is wholly outside, stays out, comes back, leaves again.
    const struct {
        vl::Vector to;
        int outs;
    } moves[] = {{vl::Vector(80.4f, 10), 0},
                 {vl::Vector(81, 10), 1},
                 {vl::Vector(90, 10), 1},
                 {vl::Vector(40, 10), 1},
                 {vl::Vector(40, -3), 2}};
    for (const auto& m : moves) {
        wm.moveObject(&probe, m.to);
        EXPECT_EQ(probe.outs, m.outs) << m.to.toString();
    }
    // Solid objects get it too, and moves through update send it the same way.
    Probe rock(vl::Vector(1, 20), vl::HARD);
    rock.setVelocity(vl::Vector(-1, 0));
    for (const int outs : {0, 1, 1}) {
        wm.update();
        EXPECT_EQ(rock.outs, outs);
    }
    EXPECT_EQ(rock.getPosition(), vl::Vector(-2, 20));
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

TEST(Movement, AvoidingMoverSlidesAlongAFloorAtFullSpeed) {
    vltest::World world;
    vl::WorldManager& wm = vl::WorldManager::getInstance();
    Probe floor(vl::Vector(40, 12));
    floor.setBox(vl::Box(vl::Vector(-30, -0.5f), 60, 0.99f));  // x 10..70, y 11.5..12.49
    Probe mover(vl::Vector(20, 10.6f));
    mover.setAvoidCollisions(true);
    vl::Vector velocity(1, 1);
    velocity.normalize();
    velocity.scale(1.5f);
    mover.setVelocity(velocity);
    EXPECT_EQ(wm.moveObject(&mover, mover.predictPosition()), 0);
    EXPECT_FLOAT_EQ(mover.getPosition().getX(), 21.5f);
    EXPECT_FLOAT_EQ(mover.getPosition().getY(), 10.6f);
    EXPECT_EQ(mover.collisions, 0);  // the slide touched nothing
    EXPECT_EQ(floor.collisions, 0);

    // A soft object on the slide is passed onto, with events.
    Probe puddle(vl::Vector(23, 10.6f), vl::SOFT);
    EXPECT_EQ(wm.moveObject(&mover, mover.predictPosition()), 0);
    EXPECT_FLOAT_EQ(mover.getPosition().getX(), 23);
    EXPECT_EQ(puddle.collisions, 1);
    EXPECT_EQ(floor.collisions, 0);

    // A hard object where the slide would land: the mover stays and nobody hears of it.
    Probe wall(vl::Vector(25, 10.6f));
    EXPECT_EQ(wm.moveObject(&mover, mover.predictPosition()), -1);
    EXPECT_FLOAT_EQ(mover.getPosition().getX(), 23);
    EXPECT_EQ(wall.collisions, 0);
    EXPECT_EQ(floor.collisions, 0);
    EXPECT_EQ(puddle.collisions, 1);

    // Without the flag the floor simply stops it, with events.
    mover.setAvoidCollisions(false);
    EXPECT_EQ(wm.moveObject(&mover, vl::Vector(23, 11.2f)), -1);
    EXPECT_EQ(floor.collisions, 1);
    EXPECT_EQ(wm.checkConsistency(), 0);
}
