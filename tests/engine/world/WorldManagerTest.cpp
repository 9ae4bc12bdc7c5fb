// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "WorldFixture.h"
#include <veltrane/world/WorldManager.h>

using vltest::Probe;

namespace {

std::vector<int>& deaths() {
    static std::vector<int> s_deaths;
    return s_deaths;
}

// Records its draws and its destruction; when destroyed may mark another object or leave a successor, as a
// game object bursting into particles does.
class Tracked : public vl::Object {
public:
    explicit Tracked(int generations = 0) : m_generations(generations) {}
    ~Tracked() override {
        deaths().push_back(getId());
        if (p_mark_on_death != nullptr) {
            EXPECT_EQ(0, vl::WorldManager::getInstance().markForDelete(p_mark_on_death));
        }
        if (m_generations > 1 && !s_barren) {
            s_p_youngest = new Tracked(m_generations - 1);
        }
    }
    int draw() override {
        drawn.push_back(getId());
        return 0;
    }
    using vl::Object::setDrawnOutOfView;
    static std::vector<int> drawn;
    static Tracked* s_p_youngest;
    static bool s_barren;
    vl::Object* p_mark_on_death = nullptr;

private:
    int m_generations;
};

std::vector<int> Tracked::drawn;
Tracked* Tracked::s_p_youngest = nullptr;
bool Tracked::s_barren = false;

}  // namespace

TEST(WorldManager, MarkedObjectsAreDeletedOnceInMarkingOrderAtTheEndOfUpdate) {
    vltest::World world;
    vl::WorldManager& wm = vl::WorldManager::getInstance();
    auto* p_first = new Tracked;
    auto* p_second = new Tracked;
    auto* p_third = new Tracked;
    p_first->p_mark_on_death = p_third;  // extends the same deletion walk
    p_third->p_mark_on_death = p_third;  // marking itself while being destroyed must not delete it twice
    const std::vector<int> expected{p_first->getId(), p_second->getId(), p_third->getId()};
    EXPECT_EQ(wm.markForDelete(p_first) + wm.markForDelete(p_second) + wm.markForDelete(p_first), 0);
    EXPECT_TRUE(deaths().empty());
    wm.update();
    EXPECT_EQ(deaths(), expected);
    EXPECT_TRUE(wm.getAllObjects(true).isEmpty());
}

TEST(WorldManager, ShutDownDeletesEveryObjectOnceAndThoseBuiltByDestructors) {
    vltest::World world;
    vl::WorldManager& wm = vl::WorldManager::getInstance();
    auto* p_a = new Tracked;
    new Tracked(3);
    EXPECT_EQ(0, wm.markForDelete(new Tracked));  // marked but never updated: deleted with the rest, once
    EXPECT_EQ(0, wm.setViewFollowing(p_a));
    wm.shutDown();
    EXPECT_EQ(deaths().size(), 5u);
    EXPECT_EQ(wm.getViewFollowing(), nullptr);
    // A destructor that never stops building is cut off, not looped on forever.
    ASSERT_EQ(wm.startUp(), 0);
    deaths().clear();
    new Tracked(1000);
    wm.shutDown();
    EXPECT_LT(deaths().size(), 20u);
    EXPECT_TRUE(wm.getAllObjects(true).isEmpty());
    Tracked::s_barren = true;
    delete Tracked::s_p_youngest;
    EXPECT_EQ(world.log().find("Error removing Object"), std::string::npos);
}

// An update moves by the old velocity, then accelerates; a target marked in a handler still blocks.
TEST(WorldManager, UpdateMovesThenAcceleratesAndAMarkedObjectLivesUntilItsEnd) {
    vltest::World world;
    vl::WorldManager& wm = vl::WorldManager::getInstance();
    Probe faller(vl::Vector(5, 2), vl::SPECTRAL);
    faller.setVelocity(vl::Vector(1, 0));
    faller.setAcceleration(vl::Vector(0, 1));
    auto* p_target = new Probe(vl::Vector(10, 5));
    p_target->on_collision = [](Probe* p_self, vl::Object*) {
        EXPECT_EQ(0, vl::WorldManager::getInstance().markForDelete(p_self));
    };
    Probe first(vl::Vector(8.5f, 5));  // hits the target this step, which marks itself
    first.setVelocity(vl::Vector(1, 0));
    Probe second(vl::Vector(11.5f, 5));  // hits it too, later in the same step
    second.setVelocity(vl::Vector(-1, 0));
    wm.update();
    EXPECT_EQ(faller.getPosition(), vl::Vector(6, 2));
    EXPECT_EQ(first.collisions + second.collisions, 2);
    EXPECT_EQ(second.p_last_other, p_target);
    EXPECT_EQ(second.getPosition(), vl::Vector(11.5f, 5));
    wm.update();
    EXPECT_EQ(faller.getPosition(), vl::Vector(7, 3));
    EXPECT_EQ(first.getPosition(), vl::Vector(9.5f, 5));
    EXPECT_EQ(second.getPosition(), vl::Vector(10.5f, 5));
}

TEST(WorldManager, DrawsVisibleObjectsInsideTheViewByAltitude) {
    vltest::World world(200, 24);
    Tracked top, middle, hidden, beyond, bottom, asking;
    top.setAltitude(4);
    hidden.setVisible(false);
    beyond.setPosition(vl::Vector(120, 10));
    bottom.setAltitude(0);
    asking.setPosition(vl::Vector(120, 10));  // out of view too, but asks to be drawn
    asking.setDrawnOutOfView();
    vl::WorldManager::getInstance().setView(vl::Box(vl::Vector(0, 0), 80, 24));
    vl::WorldManager::getInstance().draw();
    EXPECT_EQ(Tracked::drawn,
              (std::vector<int>{bottom.getId(), middle.getId(), asking.getId(), top.getId()}));
}

TEST(WorldManager, TheViewIsClampedToTheBoundaryAndFollowsBeyondTheSlack) {
    vltest::World world(200, 50);
    vl::WorldManager& wm = vl::WorldManager::getInstance();
    wm.setView(vl::Box(vl::Vector(0, 0), 80, 24));
    wm.setViewPosition(vl::Vector(100, 25));
    EXPECT_EQ(wm.getView(), vl::Box(vl::Vector(60, 13), 80, 24));
    wm.setViewPosition(vl::Vector(190, 49));
    EXPECT_EQ(wm.getView().getCorner(), vl::Vector(120, 26));
    wm.setViewPosition(vl::Vector(3, -10));
    EXPECT_EQ(wm.getView().getCorner(), vl::Vector(0, 0));
    wm.setViewSlack(vl::Vector(1.0f / 3.0f, 1.0f / 3.0f));
    auto* p_hero = new Probe(vl::Vector(40, 12), vl::SPECTRAL);
    ASSERT_EQ(wm.setViewFollowing(p_hero), 0);
    EXPECT_EQ(wm.getView().getCorner(), vl::Vector(0, 0));
    wm.moveObject(p_hero, vl::Vector(50, 14));  // inside the slack region (26.67 to 53.33 across)
    EXPECT_EQ(wm.getView().getCorner(), vl::Vector(0, 0));
    wm.moveObject(p_hero, vl::Vector(60, 12));  // beyond it: just enough to hold it on the edge
    EXPECT_NEAR(wm.getView().getCorner().getX(), 60 - 40 - 80.0f / 6, 1e-4);
    wm.moveObject(p_hero, vl::Vector(199, 12));
    Probe other(vl::Vector(100, 12), vl::SPECTRAL);
    wm.moveObject(&other, vl::Vector(10, 12));  // moves of other objects leave the view alone
    EXPECT_EQ(wm.getView().getCorner().getX(), 120);
    EXPECT_EQ(wm.setViewFollowing(nullptr), 0);
    wm.moveObject(p_hero, vl::Vector(10, 12));
    EXPECT_EQ(wm.getView().getCorner().getX(), 120);
    ASSERT_EQ(wm.setViewFollowing(p_hero), 0);
    EXPECT_EQ(0, wm.markForDelete(p_hero));
    wm.update();
    // A new object at the same address (likely after a delete) must not be followed by accident.
    wm.moveObject(new Probe(vl::Vector(40, 12), vl::SPECTRAL), vl::Vector(150, 12));
    EXPECT_EQ(wm.getView().getCorner().getX(), 0);
    int not_an_object = 0;
    EXPECT_EQ(wm.setViewFollowing(reinterpret_cast<vl::Object*>(&not_an_object)), -1);
    EXPECT_NE(world.log().find("is not in the world; not following it."), std::string::npos);
}
