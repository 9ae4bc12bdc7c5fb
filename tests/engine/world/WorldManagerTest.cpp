// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "WorldFixture.h"
#include <veltrane/world/WorldManager.h>

using vltest::Probe;

namespace {

std::vector<int> ids(const vl::ObjectList& list) {
    std::vector<int> result;
    for (int i = 0; i < list.getCount(); i++) {
        result.push_back(list[i]->getId());
    }
    return result;
}

std::vector<int>& deaths() {
    static std::vector<int> s_deaths;
    return s_deaths;
}

// Records its destruction and its draws; when destroyed may mark another object or leave a successor,
// as a game object bursting into particles does.
class Tracked : public vl::Object {
public:
    explicit Tracked(vl::Vector position = vl::Vector(1, 1), int generations = 0)
        : m_generations(generations) {
        setPosition(position);
    }
    ~Tracked() override {
        deaths().push_back(getId());
        if (p_mark_on_death != nullptr) {
            vl::WorldManager::getInstance().markForDelete(p_mark_on_death);
        }
        if (m_generations > 1 && !s_barren) {
            s_p_youngest = new Tracked(vl::Vector(1, 1), m_generations - 1);
        }
    }
    int draw() override {
        drawn.push_back(getId());
        return 0;
    }
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

TEST(WorldManager, ListsActiveThenInactiveObjectsAndThoseAtAPosition) {
    vltest::World world;
    vl::WorldManager& wm = vl::WorldManager::getInstance();
    Probe here(vl::Vector(10, 10), vl::SPECTRAL);
    Probe big(vl::Vector(12, 10), vl::HARD);
    big.setBox(vl::Box(vl::Vector(-2, -1), 4, 2));  // x 10..14
    Probe near(vl::Vector(11, 10));                 // x 10.5..11.49: misses the cell 9.5..10.49
    Probe off(vl::Vector(10, 10));
    off.setActive(false);
    EXPECT_EQ(ids(wm.getAllObjects(true)),
              (std::vector<int>{here.getId(), big.getId(), near.getId(), off.getId()}));
    EXPECT_EQ(ids(wm.objectsAtPosition(vl::Vector(10, 10))), (std::vector<int>{here.getId(), big.getId()}));
    // The loop, the input and the moves send these; objects cannot ask the world for them.
    for (const std::string& type :
         {vl::COLLISION_EVENT, vl::OUT_EVENT, vl::STEP_EVENT, vl::KEYBOARD_EVENT, vl::MSE_EVENT}) {
        EXPECT_FALSE(wm.isValid(type)) << type;
    }
    EXPECT_TRUE(wm.isValid("shadow"));
}

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
    new Tracked(vl::Vector(2, 2), 3);
    wm.markForDelete(new Tracked);  // marked but never updated: deleted with the rest, once
    wm.setViewFollowing(p_a);
    wm.shutDown();
    EXPECT_EQ(deaths().size(), 5u);
    EXPECT_EQ(wm.getViewFollowing(), nullptr);

    // A destructor that never stops building is cut off, not looped on forever.
    ASSERT_EQ(wm.startUp(), 0);
    deaths().clear();
    new Tracked(vl::Vector(1, 1), 1000);
    wm.shutDown();
    EXPECT_LT(deaths().size(), 20u);
    EXPECT_TRUE(wm.getAllObjects(true).isEmpty());
    // Built after the world stopped: refused, and its setters must not slip it in later.
    auto* p_stray = new vl::Object;
    ASSERT_EQ(wm.startUp(), 0);
    wm.setBoundary(vl::Box(vl::Vector(0, 0), 80, 24));
    EXPECT_EQ(p_stray->setActive(false), 0);
    p_stray->setBox(vl::Box(vl::Vector(), 3, 3));
    p_stray->setType("Stray");
    EXPECT_FALSE(wm.getAllObjects(true).contains(p_stray));
    EXPECT_EQ(wm.checkConsistency(), 0);
    delete p_stray;  // its creator still owns it, as it owns the last one the destructors built
    Tracked::s_barren = true;
    delete Tracked::s_p_youngest;
    EXPECT_EQ(world.log().find("Error removing Object"), std::string::npos);
}

TEST(WorldManager, ObjectMarkedInACollisionHandlerLivesUntilTheEndOfUpdate) {
    vltest::World world;
    vl::WorldManager& wm = vl::WorldManager::getInstance();
    auto* p_target = new Probe(vl::Vector(10, 5));
    p_target->on_collision = [](Probe* p_self, vl::Object*) {
        vl::WorldManager::getInstance().markForDelete(p_self);
    };
    Probe first(vl::Vector(8.5f, 5));  // hits the target this step, which marks itself
    first.setVelocity(vl::Vector(1, 0));
    Probe second(vl::Vector(11.5f, 5));  // hits it too, later in the same step
    second.setVelocity(vl::Vector(-1, 0));
    wm.update();
    EXPECT_EQ(first.collisions + second.collisions, 2);
    EXPECT_EQ(second.p_last_other, p_target);
    EXPECT_EQ(second.getPosition(), vl::Vector(11.5f, 5));  // still blocked by the marked target
    wm.update();
    EXPECT_EQ(first.getPosition(), vl::Vector(9.5f, 5));
    EXPECT_EQ(second.getPosition(), vl::Vector(10.5f, 5));
}

TEST(WorldManager, UpdateMovesThenAcceleratesAndSkipsNewObjects) {
    vltest::World world;
    vl::WorldManager& wm = vl::WorldManager::getInstance();
    Probe faller(vl::Vector(5, 2), vl::SPECTRAL);
    faller.setVelocity(vl::Vector(1, 0));
    faller.setAcceleration(vl::Vector(0, 1));
    Probe idle(vl::Vector(30, 2));
    idle.setActive(false);
    idle.setVelocity(vl::Vector(1, 0));
    static Probe* s_p_spawned = nullptr;
    Probe spawner(vl::Vector(40.5f, 10));
    spawner.setVelocity(vl::Vector(1, 0));
    Probe wall(vl::Vector(42, 10));
    // Created by a handler during update: waits for the next update.
    spawner.on_collision = [](Probe*, vl::Object*) {
        if (s_p_spawned == nullptr) {
            s_p_spawned = new Probe(vl::Vector(60, 10), vl::SPECTRAL);
            s_p_spawned->setVelocity(vl::Vector(1, 0));
        }
    };
    wm.update();
    EXPECT_EQ(faller.getPosition(), vl::Vector(6, 2));  // moved by the old velocity
    ASSERT_NE(s_p_spawned, nullptr);
    EXPECT_EQ(s_p_spawned->getPosition(), vl::Vector(60, 10));
    wm.update();
    EXPECT_EQ(faller.getPosition(), vl::Vector(7, 3));  // then accelerated
    EXPECT_EQ(idle.getPosition(), vl::Vector(30, 2));
    EXPECT_EQ(s_p_spawned->getPosition(), vl::Vector(61, 10));
}

TEST(WorldManager, DrawsVisibleObjectsInsideTheViewByAltitude) {
    vltest::World world(200, 24);
    vl::WorldManager& wm = vl::WorldManager::getInstance();
    Tracked inside(vl::Vector(10, 10));
    Tracked edge(vl::Vector(80.4f, 10));  // box from 79.9: meets the view's edge at 80
    Tracked beyond(vl::Vector(120, 10));
    Tracked hidden(vl::Vector(20, 10));
    hidden.setVisible(false);
    Tracked asleep(vl::Vector(30, 10));
    asleep.setActive(false);
    Tracked top(vl::Vector(5, 5));
    top.setAltitude(4);
    Tracked bottom(vl::Vector(5, 5));
    bottom.setAltitude(0);
    wm.setView(vl::Box(vl::Vector(0, 0), 80, 24));
    wm.draw();
    EXPECT_EQ(Tracked::drawn, (std::vector<int>{bottom.getId(), inside.getId(), edge.getId(), top.getId()}));
    Tracked::drawn.clear();
    wm.setViewPosition(vl::Vector(120, 12));
    wm.draw();
    EXPECT_EQ(Tracked::drawn, (std::vector<int>{edge.getId(), beyond.getId()}));
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
    wm.markForDelete(p_hero);
    wm.update();
    // A new object at the same address (likely after a delete) must not be followed by accident.
    wm.moveObject(new Probe(vl::Vector(40, 12), vl::SPECTRAL), vl::Vector(150, 12));
    EXPECT_EQ(wm.getView().getCorner().getX(), 0);
    int not_an_object = 0;
    EXPECT_EQ(wm.setViewFollowing(reinterpret_cast<vl::Object*>(&not_an_object)), -1);
    EXPECT_NE(world.log().find("is not in the world; not following it."), std::string::npos);
}
