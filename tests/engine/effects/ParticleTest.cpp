// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "HeadlessEngine.h"
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

// count particles at (x, y) moving right at speed, living lifetime, of opacity +- spread and grey rgb.
int add(int count, float x, float y, float speed, int lifetime, int opacity, int opacity_spread, int rgb,
        vl::ParticleType type = vl::PARTICLE) {
    return vl::addParticles(count, vl::Vector(x, y), 0, vl::Vector(1, 0), 0, 2, 0, speed, 0, lifetime, 0,
                            opacity, opacity_spread, rgb, rgb, rgb, 0, type);
}

class ParticleTest : public ::testing::Test {
protected:
    void SetUp() override { std::srand(20240601); }
    vltest::World m_world{80, 24};
};

TEST_F(ParticleTest, NoCountMakesNothingAndAnUndefinedTypeIsRefusedWhole) {
    EXPECT_EQ(add(0, 5, 5, 1, 5, 255, 0, 1), 0);
    EXPECT_EQ(add(-4, 5, 5, 1, 5, 255, 0, 1), 0);
    EXPECT_EQ(add(3, 5, 5, 1, 5, 255, 0, 1, static_cast<vl::ParticleType>(7)), -1);
    EXPECT_TRUE(particles().empty());
    EXPECT_EQ(vltest::countOccurrences(m_world.log(), "addParticles(): Type 7 not defined."), 1);
}

TEST_F(ParticleTest, WithoutSpreadsEveryParticleIsAlikeAndSpectralOnTop) {
    ASSERT_EQ(add(6, 10, 12, 0.5f, 9, 200, 0, 30), 0);
    const std::vector<vl::Particle*> made = particles();
    ASSERT_EQ(made.size(), 6u);
    for (const vl::Particle* p : made) {
        EXPECT_EQ(p->getVelocity(), vl::Vector(0.5f, 0));
        EXPECT_EQ(p->getPosition(), vl::Vector(10, 12));
        EXPECT_EQ(p->getLifetime(), 9);
        EXPECT_EQ(p->getShape().getOpacity(), 200);
        unsigned char r = 0, g = 0, b = 0;
        p->getShape().getRGB(r, g, b);
        EXPECT_TRUE(r == 30 && g == 30 && b == 30);
        EXPECT_TRUE(p->getSolidness() == vl::SPECTRAL && p->getAltitude() == vl::MAX_ALTITUDE);
    }
}

TEST_F(ParticleTest, SpreadsVaryOnlyNonZeroColoursAndOpacityIsClampedToAByte) {
    ASSERT_EQ(vl::addParticles(200, vl::Vector(10, 10), 0, vl::Vector(0, 1), 0, 2, 0, 0.1f, 0, 5, 0, 255, 0,
                               0, 200, 0, 100, vl::PARTICLE),
              0);
    std::set<int> greens;
    for (const vl::Particle* p : particles()) {
        unsigned char r = 0, g = 0, b = 0;
        p->getShape().getRGB(r, g, b);
        EXPECT_TRUE(r == 0 && b == 0 && g >= 150 && g <= 249) << int{g};
        greens.insert(g);
        vl::WorldManager::getInstance().markForDelete(const_cast<vl::Particle*>(p));
    }
    EXPECT_GT(greens.size(), 40u);  // the spread is used, not one value
    vl::WorldManager::getInstance().update();

    ASSERT_EQ(add(300, 10, 10, 0.1f, 5, 255, 75, 9), 0);
    ASSERT_EQ(add(300, 10, 10, 0.1f, 5, 10, 75, 9), 0);
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

TEST_F(ParticleTest, APositionSpreadMovesEachParticleByItsOwnTwoDraws) {
    std::srand(99);
    std::vector<int> draws;
    for (int i = 0; i < 40; i++) {
        draws.push_back(vl::particleRandom());
    }
    std::srand(99);  // no other spread: the position takes every draw, x first
    ASSERT_EQ(vl::addParticles(20, vl::Vector(20, 10), 4, vl::Vector(1, 0), 0, 2, 0, 0, 0, 5, 0, 255, 0, 1, 1,
                               1, 0, vl::PARTICLE),
              0);
    const std::vector<vl::Particle*> made = particles();
    ASSERT_EQ(made.size(), 20u);
    for (size_t i = 0; i < made.size(); i++) {
        EXPECT_EQ(made[i]->getPosition().getX() > 20, draws[2 * i] > 16383) << i;
        EXPECT_EQ(made[i]->getPosition().getY() > 10, draws[2 * i + 1] > 16383) << i;
    }
}

TEST_F(ParticleTest, PresetsScaleTheirCountAndRefuseWhatIsNoPreset) {
    const struct {
        vl::ParticlePreset preset;
        float scale;
        size_t count;
    } cases[] = {{vl::BURST, 2, 100},
                 {vl::RING, 1, 50},
                 {vl::DRIFT, 1, 20},
                 {vl::FIREWORKS, 3, 12},
                 {static_cast<vl::ParticlePreset>(4), 3, 0},
                 {static_cast<vl::ParticlePreset>(-1), 3, 0},
                 {vl::BURST, std::nanf(""), 0}};
    for (const auto& c : cases) {
        vl::addParticles(c.preset, vl::Vector(40, 12), c.scale, vl::BLUE);
        const std::vector<vl::Particle*> made = particles();
        EXPECT_EQ(made.size(), c.count) << c.preset;
        for (vl::Particle* p : made) {
            EXPECT_EQ(p->getPosition(), vl::Vector(40, 12)) << c.preset;
            vl::WorldManager::getInstance().markForDelete(p);
        }
        vl::WorldManager::getInstance().update();
    }
}

TEST_F(ParticleTest, AParticleLeavesWhenItsLifetimeRunsOutOrItLeavesTheWorld) {
    add(1, 10, 10, 0, 3, 255, 0, 1);
    add(1, 10, 10, 0, 0, 255, 0, 1);
    add(1, 79.5f, 10, 1, 1000, 255, 0, 1);
    // Lifetime 0 goes on its first step, the one leaving the world on its second, lifetime 3 on its third.
    for (const size_t left : {2u, 1u, 0u}) {
        step();
        EXPECT_EQ(particles().size(), left);
    }
}

TEST_F(ParticleTest, AFireworkLeavesAStillSparkEveryStep) {
    const int next_id = vl::Object::getNextId();
    vl::addParticles(1, vl::Vector(40, 20), 0, vl::Vector(0, -1), 0, 4, 0, 0.5f, 0, 20, 0, 255, 0, 200, 100,
                     50, 0, vl::FIREWORK);
    const vl::Particle* p_firework = particles("Firework").at(0);
    step();
    const std::vector<vl::Particle*> sparks = particles("Particle");
    ASSERT_EQ(sparks.size(), 1u);
    EXPECT_EQ(sparks[0]->getLifetime(), 5);
    EXPECT_EQ(sparks[0]->getVelocity(), vl::Vector(0, 0));
    // Left where the firework was when the step came; the firework then moved on and slowed down.
    EXPECT_EQ(sparks[0]->getPosition(), vl::Vector(40, 20));
    EXPECT_LT(p_firework->getPosition().getY(), 20);
    EXPECT_NEAR(p_firework->getVelocity().getY(), -0.49f, 1e-6f);
    // A firework of lifetime L leaves L sparks, each living 5 steps: 5 at most at a time, then none.
    step(19);
    EXPECT_TRUE(particles("Firework").empty());
    EXPECT_EQ(particles("Particle").size(), 5u);
    step(5);
    EXPECT_TRUE(particles().empty());
    EXPECT_EQ(vl::Object::getNextId(), next_id);  // the firework and its sparks used no ids
}

}  // namespace
