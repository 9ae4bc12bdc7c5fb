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

// count particles at (x, y) moving right at speed, living lifetime, of opacity +- spread and colour g +- 50.
int add(int count, float x, float y, float speed, int lifetime, int opacity, int opacity_spread, int g = 1,
        vl::ParticleType type = vl::PARTICLE) {
    return vl::addParticles(count, vl::Vector(x, y), 0, vl::Vector(1, 0), 0, 2, 0, speed, 0, lifetime, 0,
                            opacity, opacity_spread, 0, g, 0, 100, type);
}

class ParticleTest : public ::testing::Test {
protected:
    void SetUp() override { std::srand(20240601); }
    vltest::World m_world{80, 24};
};

TEST_F(ParticleTest, NoCountMakesNothingAndWhatIsNoTypeOrPresetIsRefusedWhole) {
    EXPECT_EQ(add(0, 5, 5, 1, 5, 255, 0), 0);
    EXPECT_EQ(add(-4, 5, 5, 1, 5, 255, 0), 0);
    EXPECT_EQ(add(3, 5, 5, 1, 5, 255, 0, 1, static_cast<vl::ParticleType>(7)), -1);
    vl::addParticles(static_cast<vl::ParticlePreset>(4), vl::Vector(40, 12), 3, vl::BLUE);
    vl::addParticles(static_cast<vl::ParticlePreset>(-1), vl::Vector(40, 12), 3, vl::BLUE);
    vl::addParticles(vl::BURST, vl::Vector(40, 12), std::nanf(""), vl::BLUE);
    EXPECT_TRUE(particles().empty());
    EXPECT_EQ(vltest::countOccurrences(m_world.log(), "addParticles(): Type 7 not defined."), 1);
    vl::addParticles(vl::BURST, vl::Vector(40, 12), 1, vl::BLUE);
    EXPECT_FALSE(particles().empty());
}

// Zero colour components stay zero (a black burst stays black); opacity is clamped, not wrapped.
TEST_F(ParticleTest, SpreadsVaryOnlyNonZeroColoursAndOpacityIsClampedToAByte) {
    ASSERT_EQ(add(300, 10, 10, 0.1f, 5, 255, 75, 200), 0);
    ASSERT_EQ(add(300, 10, 10, 0.1f, 5, 10, 75, 200), 0);
    std::set<int> greens;
    int at_top = 0;
    int at_bottom = 0;
    for (const vl::Particle* p : particles()) {
        unsigned char r = 0, g = 0, b = 0;
        p->getShape().getRGB(r, g, b);
        EXPECT_TRUE(r == 0 && b == 0 && g >= 150 && g <= 249) << int{g};
        greens.insert(g);
        at_top += p->getShape().getOpacity() == 255 ? 1 : 0;
        at_bottom += p->getShape().getOpacity() == 0 ? 1 : 0;
    }
    EXPECT_GT(greens.size(), 40u);  // the spread is used, not one value
    // 255 + (0..74) - 37 leaves the range half the time; 10 + (0..74) - 37 a third of the time.
    EXPECT_GT(at_top, 100);
    EXPECT_GT(at_bottom, 50);
}

// Lifetime 0 goes on its first step, the one leaving the world on its second.
TEST_F(ParticleTest, AParticleLeavesWhenItsLifetimeRunsOutOrItLeavesTheWorld) {
    add(1, 10, 10, 0, 0, 255, 0);
    add(1, 79.5f, 10, 1, 1000, 255, 0);
    for (const size_t left : {1u, 0u}) {
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
    EXPECT_EQ(sparks[0]->getVelocity(), vl::Vector(0, 0));
    // Left where the firework was when the step came; the firework then moved on.
    EXPECT_EQ(sparks[0]->getPosition(), vl::Vector(40, 20));
    EXPECT_LT(p_firework->getPosition().getY(), 20);
    // A firework of lifetime L leaves L sparks, each living 5 steps: 5 at most at a time, then none.
    step(19);
    EXPECT_TRUE(particles("Firework").empty());
    EXPECT_EQ(particles("Particle").size(), 5u);
    step(5);
    EXPECT_TRUE(particles().empty());
    EXPECT_EQ(vl::Object::getNextId(), next_id);  // the firework and its sparks used no ids
}

}  // namespace
