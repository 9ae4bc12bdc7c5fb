// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "WorldFixture.h"
#include <veltrane/core/EventStep.h>
#include <veltrane/effects/Particle.h>
#include <veltrane/game/GameManager.h>
#include <veltrane/world/WorldManager.h>

namespace {

std::vector<vl::Particle*> particles(const std::string& type = "") {
    std::vector<vl::Particle*> found;
    const vl::ObjectList all = vl::WorldManager::getInstance().getAllObjects(true);
    for (int i = 0; i < all.getCount(); i++) {
        auto* p_particle = dynamic_cast<vl::Particle*>(all[i]);
        if (p_particle != nullptr && (type.empty() || p_particle->getType() == type)) {
            found.push_back(p_particle);
        }
    }
    return found;
}

// One loop iteration as far as particles care: the step event, then the world's update.
void step(int count = 1) {
    for (int i = 0; i < count; i++) {
        const vl::EventStep event(i);
        vl::GameManager::getInstance().onEvent(&event);
        vl::WorldManager::getInstance().update();
    }
}

struct Rgb {
    unsigned char r, g, b;
};

Rgb rgbOf(const vl::Object* p_o) {
    Rgb c{};
    p_o->getShape().getRGB(c.r, c.g, c.b);
    return c;
}

class ParticleTest : public ::testing::Test {
protected:
    void SetUp() override { std::srand(20240601); }
    vltest::World m_world{80, 24};
};

TEST_F(ParticleTest, NoCountMakesNothingAndAnUndefinedTypeIsRefusedWhole) {
    EXPECT_EQ(vl::addParticles(0, vl::Vector(5, 5), 0, vl::Vector(1, 0), 0, 1, 0, 1, 0, 5, 0, 255, 0, 1, 1, 1,
                               0, vl::PARTICLE),
              0);
    EXPECT_EQ(vl::addParticles(-4, vl::Vector(5, 5), 0, vl::Vector(1, 0), 0, 1, 0, 1, 0, 5, 0, 255, 0, 1, 1,
                               1, 0, vl::PARTICLE),
              0);
    EXPECT_EQ(vl::addParticles(3, vl::Vector(5, 5), 0, vl::Vector(1, 0), 0, 1, 0, 1, 0, 5, 0, 255, 0, 1, 1, 1,
                               0, static_cast<vl::ParticleType>(7)),
              -1);
    EXPECT_TRUE(particles().empty());
    const std::string log = m_world.log();
    size_t count = 0;
    for (size_t at = log.find("addParticles(): Type 7 not defined."); at != std::string::npos;
         at = log.find("addParticles(): Type 7 not defined.", at + 1)) {
        count++;
    }
    EXPECT_EQ(count, 1u);
}

TEST_F(ParticleTest, WithoutSpreadsEveryParticleIsAlike) {
    ASSERT_EQ(vl::addParticles(6, vl::Vector(10, 12), 0, vl::Vector(1, 0), 0, 3, 0, 0.5f, 0, 9, 0, 200, 0, 10,
                               20, 30, 0, vl::PARTICLE),
              0);
    const std::vector<vl::Particle*> made = particles();
    ASSERT_EQ(made.size(), 6u);
    for (const vl::Particle* p : made) {
        EXPECT_EQ(p->getVelocity(), vl::Vector(0.5f, 0));
        EXPECT_EQ(p->getPosition(), vl::Vector(10, 12));
        EXPECT_EQ(p->getLifetime(), 9);
        EXPECT_EQ(p->getShape().getSize(), 3.0f);
        EXPECT_EQ(p->getShape().getOpacity(), 200);
        EXPECT_EQ(p->getShape().getType(), vl::CIRCLE);
        EXPECT_EQ(p->getShape().getColor(), vl::CUSTOM);
        const Rgb c = rgbOf(p);
        EXPECT_EQ(c.r, 10);
        EXPECT_EQ(c.g, 20);
        EXPECT_EQ(c.b, 30);
        EXPECT_EQ(p->getSolidness(), vl::SPECTRAL);
        EXPECT_EQ(p->getAltitude(), vl::MAX_ALTITUDE);
        EXPECT_EQ(p->getType(), "Particle");
    }
}

TEST_F(ParticleTest, AColourSpreadMovesOnlyTheComponentsThatAreNotZero) {
    ASSERT_EQ(vl::addParticles(200, vl::Vector(10, 10), 0, vl::Vector(0, 1), 0, 2, 0, 0.1f, 0, 5, 0, 255, 0,
                               0, 200, 0, 100, vl::PARTICLE),
              0);
    std::set<int> greens;
    for (const vl::Particle* p : particles()) {
        const Rgb c = rgbOf(p);
        EXPECT_EQ(c.r, 0);
        EXPECT_EQ(c.b, 0);
        EXPECT_GE(c.g, 150);
        EXPECT_LE(c.g, 249);
        greens.insert(c.g);
    }
    EXPECT_GT(greens.size(), 40u);  // the spread is used, not one value
}

TEST_F(ParticleTest, TheRandomDrawsComeInTheDesignedOrder) {
    const unsigned int seed = 777;
    std::srand(seed);
    ASSERT_EQ(vl::addParticles(1, vl::Vector(20, 10), 4, vl::Vector(0, -1), 2, 3, 1, 0.5f, 0.2f, 30, 10, 100,
                               40, 100, 100, 100, 20, vl::PARTICLE),
              0);
    // The same draws by hand: opacity, lifetime, size, colour, direction x and y, speed, position x and y.
    std::srand(seed);
    std::vector<int> d;
    for (int i = 0; i < 9; i++) {
        d.push_back(vl::particleRandom());
    }
    auto u = [](int draw) {
        return static_cast<float>(draw) / 32767.0f;
    };
    const vl::Particle* p = particles().at(0);
    EXPECT_EQ(p->getShape().getOpacity(), 100 + d[0] % 40 - 20);
    EXPECT_EQ(p->getLifetime(), 30 + d[1] % 10 - 5);
    EXPECT_FLOAT_EQ(p->getShape().getSize(), 3 + u(d[2]) * 1 - 0.5f);
    EXPECT_EQ(rgbOf(p).g, 100 + d[3] % 20 - 10);
    vl::Vector direction(0 + u(d[4]) * 2 - 1, -1 + u(d[5]) * 2 - 1);
    direction.normalize();
    direction.scale(0.5f + u(d[6]) * 0.2f - 0.1f);
    EXPECT_FLOAT_EQ(p->getVelocity().getX(), direction.getX());
    EXPECT_FLOAT_EQ(p->getVelocity().getY(), direction.getY());
    EXPECT_FLOAT_EQ(p->getPosition().getX(), 20 + u(d[7]) * 4 - 2);
    EXPECT_FLOAT_EQ(p->getPosition().getY(), 10 + u(d[8]) * 4 - 2);
    // Nothing else was drawn.
    std::srand(seed);
    for (int i = 0; i < 9; i++) {
        vl::particleRandom();
    }
    const int next = vl::particleRandom();
    std::srand(seed);
    vl::addParticles(1, vl::Vector(20, 10), 4, vl::Vector(0, -1), 2, 3, 1, 0.5f, 0.2f, 30, 10, 100, 40, 100,
                     100, 100, 20, vl::PARTICLE);
    EXPECT_EQ(vl::particleRandom(), next);
}

TEST_F(ParticleTest, RandomNumbersStayInTheDesignedRange) {
    int largest = 0;
    for (int i = 0; i < 100000; i++) {
        const int draw = vl::particleRandom();
        ASSERT_GE(draw, 0);
        ASSERT_LE(draw, 32767);
        largest = std::max(largest, draw);
    }
    EXPECT_GT(largest, 32000);
}

TEST_F(ParticleTest, OpacityOutsideTheByteRangeIsClamped) {
    ASSERT_EQ(vl::addParticles(300, vl::Vector(10, 10), 0, vl::Vector(1, 0), 0, 2, 0, 0.1f, 0, 5, 0, 255, 75,
                               9, 9, 9, 0, vl::PARTICLE),
              0);
    ASSERT_EQ(vl::addParticles(300, vl::Vector(10, 10), 0, vl::Vector(1, 0), 0, 2, 0, 0.1f, 0, 5, 0, 10, 75,
                               9, 9, 9, 0, vl::PARTICLE),
              0);
    int at_top = 0;
    int at_bottom = 0;
    for (const vl::Particle* p : particles()) {
        at_top += p->getShape().getOpacity() == 255 ? 1 : 0;
        at_bottom += p->getShape().getOpacity() == 0 ? 1 : 0;
    }
    // 255 + (0..74) - 37 leaves the range half the time; 10 + (0..74) - 37 a third of the time.
    EXPECT_GT(at_top, 100);
    EXPECT_GT(at_bottom, 50);
}

TEST_F(ParticleTest, ABurstOfScaleTwoMakesAHundredParticles) {
    vl::addParticles(vl::BURST, vl::Vector(40, 12), 2.0f, vl::CUSTOM);
    const std::vector<vl::Particle*> made = particles();
    ASSERT_EQ(made.size(), 100u);
    std::set<int> lifetimes;
    for (const vl::Particle* p : made) {
        EXPECT_GE(p->getLifetime(), 15);
        EXPECT_LE(p->getLifetime(), 44);
        lifetimes.insert(p->getLifetime());
        EXPECT_EQ(p->getShape().getSize(), 3.0f);
        const Rgb c = rgbOf(p);
        EXPECT_EQ(c.r, 255);
        EXPECT_EQ(c.g, 69);
        EXPECT_EQ(c.b, 0);
        EXPECT_LE(p->getSpeed(), (0.25f * 2 + 1) * 0.08f * 1.5f + 1e-6f);
        EXPECT_EQ(p->getPosition(), vl::Vector(40, 12));
    }
    EXPECT_GT(lifetimes.size(), 20u);
}

TEST_F(ParticleTest, PresetsFollowTheirTables) {
    vl::addParticles(vl::RING, vl::Vector(40, 12), 1.0f, vl::BLUE);
    std::vector<vl::Particle*> made = particles();
    ASSERT_EQ(made.size(), 50u);
    for (vl::Particle* p : made) {
        EXPECT_NEAR(p->getSpeed(), 0.1f, 1e-6f);
        EXPECT_EQ(p->getLifetime(), 10);
        EXPECT_EQ(p->getShape().getSize(), 2.5f);
        const Rgb c = rgbOf(p);
        EXPECT_EQ(c.r, 0);
        EXPECT_EQ(c.g, 0);
        EXPECT_EQ(c.b, 255);
        vl::WorldManager::getInstance().markForDelete(p);
    }
    vl::WorldManager::getInstance().update();
    ASSERT_TRUE(particles().empty());

    vl::addParticles(vl::DRIFT, vl::Vector(40, 12), 1.0f, vl::CUSTOM);
    made = particles();
    ASSERT_EQ(made.size(), 20u);
    for (vl::Particle* p : made) {
        EXPECT_LT(p->getVelocity().getY(), 0);
        EXPECT_NEAR(p->getShape().getSize(), 5 / 1.5f, 0.075f + 1e-5f);
        EXPECT_GE(p->getShape().getOpacity(), 103);
        EXPECT_LE(p->getShape().getOpacity(), 152);
        EXPECT_GE(p->getLifetime(), 18);
        EXPECT_LE(p->getLifetime(), 22);
        const Rgb c = rgbOf(p);
        EXPECT_TRUE(c.r == c.g && c.g == c.b && c.r >= 103 && c.r <= 152);
        vl::WorldManager::getInstance().markForDelete(p);
    }
    vl::WorldManager::getInstance().update();

    vl::addParticles(vl::FIREWORKS, vl::Vector(40, 20), 3.0f, vl::CUSTOM);
    made = particles();
    ASSERT_EQ(made.size(), 12u);
    for (vl::Particle* p : made) {
        EXPECT_EQ(p->getType(), "Firework");
        EXPECT_EQ(p->getAcceleration(), vl::Vector(0, 0.01f));
        EXPECT_GE(p->getSpeed(), 0.1f - 1e-6f);
        EXPECT_LE(p->getSpeed(), 0.3f + 1e-6f);
        EXPECT_EQ(p->getShape().getSize(), 6.0f);
        vl::WorldManager::getInstance().markForDelete(p);
    }
    vl::WorldManager::getInstance().update();

    vl::addParticles(static_cast<vl::ParticlePreset>(4), vl::Vector(40, 20), 3.0f, vl::CUSTOM);
    vl::addParticles(static_cast<vl::ParticlePreset>(-1), vl::Vector(40, 20), 3.0f, vl::CUSTOM);
    vl::addParticles(vl::BURST, vl::Vector(40, 20), std::nanf(""), vl::CUSTOM);
    EXPECT_TRUE(particles().empty());
}

TEST_F(ParticleTest, AParticleLeavesOnTheStepItsLifetimeRunsOut) {
    vl::addParticles(1, vl::Vector(10, 10), 0, vl::Vector(1, 0), 0, 2, 0, 0, 0, 3, 0, 255, 0, 1, 1, 1, 0,
                     vl::PARTICLE);
    vl::addParticles(1, vl::Vector(10, 10), 0, vl::Vector(1, 0), 0, 2, 0, 0, 0, 0, 0, 255, 0, 1, 1, 1, 0,
                     vl::PARTICLE);
    ASSERT_EQ(particles().size(), 2u);
    step();  // the one with lifetime 0 goes on its first step
    ASSERT_EQ(particles().size(), 1u);
    step();
    EXPECT_EQ(particles().size(), 1u);
    step();  // its third step
    EXPECT_TRUE(particles().empty());
}

TEST_F(ParticleTest, AParticleLeavingTheWorldIsDeleted) {
    vl::addParticles(1, vl::Vector(78.5f, 10), 0, vl::Vector(1, 0), 0, 2, 0, 1, 0, 1000, 0, 255, 0, 1, 1, 1,
                     0, vl::PARTICLE);
    ASSERT_EQ(particles().size(), 1u);
    step(4);
    EXPECT_TRUE(particles().empty());
}

TEST_F(ParticleTest, AFireworkLeavesAStillSparkEveryStep) {
    vl::addParticles(1, vl::Vector(40, 20), 0, vl::Vector(0, -1), 0, 4, 0, 0.5f, 0, 20, 0, 255, 0, 200, 100,
                     50, 0, vl::FIREWORK);
    ASSERT_EQ(particles("Firework").size(), 1u);
    const vl::Particle* p_firework = particles("Firework")[0];
    step();
    std::vector<vl::Particle*> sparks = particles("Particle");
    ASSERT_EQ(sparks.size(), 1u);
    EXPECT_EQ(sparks[0]->getShape().getSize(), 2.0f);
    EXPECT_EQ(sparks[0]->getLifetime(), 5);
    EXPECT_EQ(sparks[0]->getShape().getOpacity(), 255);
    EXPECT_EQ(rgbOf(sparks[0]).r, 200);
    EXPECT_EQ(sparks[0]->getVelocity(), vl::Vector(0, 0));
    // Left where the firework was when the step came; the firework then moved on and slowed down.
    EXPECT_EQ(sparks[0]->getPosition(), vl::Vector(40, 20));
    EXPECT_LT(p_firework->getPosition().getY(), 20);
    EXPECT_NEAR(p_firework->getVelocity().getY(), -0.49f, 1e-6f);
    step();
    EXPECT_EQ(particles("Particle").size(), 2u);
    // A firework of lifetime L leaves L sparks, each living 5 steps: 5 at most at a time, then none.
    step(18);
    EXPECT_TRUE(particles("Firework").empty());
    EXPECT_EQ(particles("Particle").size(), 5u);
    step(5);
    EXPECT_TRUE(particles().empty());
}

TEST_F(ParticleTest, ParticlesHaveIdZeroAndUseNoIds) {
    const int next = vl::Object::getNextId();
    vl::addParticles(vl::FIREWORKS, vl::Vector(40, 20), 2.0f, vl::RED);
    step(3);
    for (const vl::Particle* p : particles()) {
        EXPECT_EQ(p->getId(), 0);
    }
    EXPECT_EQ(vl::Object::getNextId(), next);
    auto* p_plain = new vltest::Probe(vl::Vector(2, 2), vl::SPECTRAL);
    EXPECT_EQ(p_plain->getId(), next);
}

}  // namespace
