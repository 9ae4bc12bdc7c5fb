// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "HeadlessEngine.h"
#include "TestSupport.h"
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

// Records its destruction and its draws; may mark another object for deletion when destroyed.
class Tracked : public vl::Object {
public:
    explicit Tracked(std::vector<int>* p_deaths, vl::Vector position = vl::Vector(1, 1))
        : m_p_deaths(p_deaths) {
        setPosition(position);
    }
    ~Tracked() override {
        m_p_deaths->push_back(getId());
        if (p_mark_on_death != nullptr) {
            vl::WorldManager::getInstance().markForDelete(p_mark_on_death);
        }
    }
    int draw() override {
        draws++;
        drawOrder().push_back(getId());
        return 0;
    }
    static std::vector<int>& drawOrder() {
        static std::vector<int> s_order;
        return s_order;
    }
    int draws = 0;
    vl::Object* p_mark_on_death = nullptr;

private:
    std::vector<int>* m_p_deaths;
};

}  // namespace

TEST(WorldManager, StartingTwiceIsRefused) {
    vltest::World world;
    EXPECT_EQ(vl::WorldManager::getInstance().startUp(), -1);
    EXPECT_NE(world.log().find("WorldManager::startup(): Warning! WorldManager already started."),
              std::string::npos);
}

TEST(WorldManager, ValidEventTypesForInterests) {
    vltest::World world;
    vl::WorldManager& wm = vl::WorldManager::getInstance();
    EXPECT_FALSE(wm.isValid(vl::COLLISION_EVENT));
    EXPECT_FALSE(wm.isValid(vl::OUT_EVENT));
    EXPECT_FALSE(wm.isValid(vl::STEP_EVENT));
    EXPECT_FALSE(wm.isValid(vl::KEYBOARD_EVENT));
    EXPECT_TRUE(wm.isValid("shadow"));
    EXPECT_TRUE(wm.isValid(vl::VIEW_EVENT));
    const std::string log = world.log();
    EXPECT_NE(log.find("WorldManager::isValid(): Event vl-collision handled automatically."),
              std::string::npos);
    EXPECT_NE(log.find("WorldManager::isValid(): Event vl-out handled automatically."), std::string::npos);
    EXPECT_NE(log.find("WorldManager::isValid(): WorldManager does not handle vl-step"), std::string::npos);
    EXPECT_NE(log.find("WorldManager::isValid(): WorldManager does not handle vl-keyboard"),
              std::string::npos);
    EXPECT_EQ(vltest::countOccurrences(log, "WorldManager::isValid()"), 4);
}

TEST(WorldManager, AllObjectsListsActiveThenInactive) {
    vltest::World world;
    vl::WorldManager& wm = vl::WorldManager::getInstance();
    Probe a;
    Probe b;
    Probe c;
    b.setActive(false);
    EXPECT_EQ(ids(wm.getAllObjects()), (std::vector<int>{a.getId(), c.getId()}));
    EXPECT_EQ(ids(wm.getAllObjects(true)), (std::vector<int>{a.getId(), c.getId(), b.getId()}));
}

TEST(WorldManager, ObjectsAtPositionMeetTheCellThere) {
    vltest::World world;
    vl::WorldManager& wm = vl::WorldManager::getInstance();
    Probe here(vl::Vector(10, 10), vl::SPECTRAL);
    Probe big(vl::Vector(12, 10), vl::HARD);
    big.setBox(vl::Box(vl::Vector(-2, -1), 4, 2));  // x 10..14
    Probe near(vl::Vector(11, 10));                 // x 10.5..11.49: misses the cell 9.5..10.49
    Probe off(vl::Vector(10, 10));
    off.setActive(false);
    EXPECT_EQ(ids(wm.objectsAtPosition(vl::Vector(10, 10))), (std::vector<int>{here.getId(), big.getId()}));
    EXPECT_TRUE(wm.objectsAtPosition(vl::Vector(40, 20)).isEmpty());
}

TEST(WorldManager, MarkedTwiceIsDeletedOnceAtTheEndOfUpdate) {
    vltest::World world;
    vl::WorldManager& wm = vl::WorldManager::getInstance();
    std::vector<int> deaths;
    auto* p_a = new Tracked(&deaths);
    auto* p_b = new Tracked(&deaths);
    const int a_id = p_a->getId();
    EXPECT_EQ(wm.markForDelete(p_a), 0);
    EXPECT_EQ(wm.markForDelete(p_b), 0);
    EXPECT_EQ(wm.markForDelete(p_a), 0);
    EXPECT_TRUE(deaths.empty());
    wm.update();
    EXPECT_EQ(deaths, (std::vector<int>{a_id, a_id + 1}));  // marking order
    EXPECT_TRUE(wm.getAllObjects(true).isEmpty());
    wm.update();
    EXPECT_EQ(deaths.size(), 2u);
}

TEST(WorldManager, DestructorMarkingAnotherObjectExtendsTheSameDeletionWalk) {
    vltest::World world;
    vl::WorldManager& wm = vl::WorldManager::getInstance();
    std::vector<int> deaths;
    auto* p_first = new Tracked(&deaths);
    auto* p_second = new Tracked(&deaths);
    auto* p_third = new Tracked(&deaths);
    p_first->p_mark_on_death = p_third;
    p_third->p_mark_on_death = p_third;  // marking itself while being destroyed must not delete it twice
    const std::vector<int> expected{p_first->getId(), p_second->getId(), p_third->getId()};
    wm.markForDelete(p_first);
    wm.markForDelete(p_second);
    wm.update();
    EXPECT_EQ(deaths, expected);
    EXPECT_TRUE(wm.getAllObjects(true).isEmpty());
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
    EXPECT_EQ(first.collisions, 1);
    EXPECT_EQ(second.collisions, 1);
    EXPECT_EQ(second.p_last_other, p_target);
    EXPECT_EQ(second.getPosition(), vl::Vector(11.5f, 5));  // still blocked by the marked target
    EXPECT_FALSE(wm.getAllObjects(true).contains(p_target));

    wm.update();  // now the way is free
    EXPECT_EQ(first.getPosition(), vl::Vector(9.5f, 5));
    EXPECT_EQ(second.getPosition(), vl::Vector(10.5f, 5));
    EXPECT_EQ(second.collisions, 1);
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

    wm.update();
    EXPECT_EQ(faller.getPosition(), vl::Vector(6, 2));  // moved by the old velocity
    EXPECT_FLOAT_EQ(faller.getVelocity().getY(), 1);    // then accelerated
    wm.update();
    EXPECT_FLOAT_EQ(faller.getPosition().getX(), 7);
    EXPECT_FLOAT_EQ(faller.getPosition().getY(), 3);
    EXPECT_EQ(idle.getPosition(), vl::Vector(30, 2));

    // An object created by a handler during update waits for the next update.
    static Probe* s_p_spawned = nullptr;
    Probe spawner(vl::Vector(40.5f, 10));
    spawner.setVelocity(vl::Vector(1, 0));
    Probe wall(vl::Vector(42, 10));
    spawner.on_collision = [](Probe*, vl::Object*) {
        if (s_p_spawned == nullptr) {
            s_p_spawned = new Probe(vl::Vector(60, 10), vl::SPECTRAL);
            s_p_spawned->setVelocity(vl::Vector(1, 0));
        }
    };
    wm.update();
    ASSERT_NE(s_p_spawned, nullptr);
    EXPECT_EQ(s_p_spawned->getPosition(), vl::Vector(60, 10));
    wm.update();
    EXPECT_EQ(s_p_spawned->getPosition(), vl::Vector(61, 10));
}

TEST(WorldManager, ShutDownDeletesEveryObjectOnce) {
    vltest::World world;
    vl::WorldManager& wm = vl::WorldManager::getInstance();
    std::vector<int> deaths;
    auto* p_a = new Tracked(&deaths);
    auto* p_b = new Tracked(&deaths);
    auto* p_c = new Tracked(&deaths);
    p_b->setActive(false);
    wm.markForDelete(p_c);  // marked but never updated: deleted with the rest, once
    wm.setViewFollowing(p_a);
    wm.shutDown();
    EXPECT_EQ(deaths.size(), 3u);
    EXPECT_EQ(wm.getViewFollowing(), nullptr);
    ASSERT_EQ(wm.startUp(), 0);
    wm.update();
    EXPECT_EQ(deaths.size(), 3u);
}

// Leaves a successor behind when deleted, as a game object bursting into particles does.
class Parent : public vl::Object {
public:
    Parent(std::vector<int>* p_deaths, int generations) : m_p_deaths(p_deaths), m_generations(generations) {
        s_p_youngest = this;
    }
    ~Parent() override {
        m_p_deaths->push_back(m_generations);
        if (m_generations > 0 && !s_barren) {
            new Parent(m_p_deaths, m_generations - 1);
        }
    }
    static Parent* s_p_youngest;
    static bool s_barren;

private:
    std::vector<int>* m_p_deaths;
    int m_generations;
};

Parent* Parent::s_p_youngest = nullptr;
bool Parent::s_barren = false;

TEST(WorldManager, ShutDownAlsoDeletesObjectsBuiltByDestructors) {
    vltest::World world;
    vl::WorldManager& wm = vl::WorldManager::getInstance();
    std::vector<int> deaths;
    new Parent(&deaths, 3);
    wm.shutDown();
    EXPECT_EQ(deaths, (std::vector<int>{3, 2, 1, 0}));
    EXPECT_TRUE(wm.getAllObjects(true).isEmpty());

    // A destructor that never stops building is cut off, not looped on forever.
    ASSERT_EQ(wm.startUp(), 0);
    deaths.clear();
    new Parent(&deaths, 1000);
    wm.shutDown();
    EXPECT_LT(deaths.size(), 20u);
    EXPECT_TRUE(wm.getAllObjects(true).isEmpty());
    // The one built after the world stopped was refused, so it is still ours to delete.
    Parent::s_barren = true;
    delete Parent::s_p_youngest;
}

TEST(WorldManager, DrawsVisibleObjectsInsideTheViewByAltitude) {
    vltest::World world(200, 24);
    vl::WorldManager& wm = vl::WorldManager::getInstance();
    std::vector<int> deaths;
    Tracked inside(&deaths, vl::Vector(10, 10));
    Tracked edge(&deaths, vl::Vector(80.4f, 10));  // box from 79.9: meets the view's edge at 80
    Tracked beyond(&deaths, vl::Vector(120, 10));
    Tracked hidden(&deaths, vl::Vector(20, 10));
    hidden.setVisible(false);
    Tracked asleep(&deaths, vl::Vector(30, 10));
    asleep.setActive(false);
    Tracked top(&deaths, vl::Vector(5, 5));
    top.setAltitude(4);
    Tracked bottom(&deaths, vl::Vector(5, 5));
    bottom.setAltitude(0);
    wm.setView(vl::Box(vl::Vector(0, 0), 80, 24));
    wm.draw();
    // Altitude 0 first, 4 last; creation order within an altitude.
    EXPECT_EQ(Tracked::drawOrder(),
              (std::vector<int>{bottom.getId(), inside.getId(), edge.getId(), top.getId()}));
    EXPECT_EQ(inside.draws, 1);
    EXPECT_EQ(edge.draws, 1);
    EXPECT_EQ(beyond.draws, 0);
    EXPECT_EQ(hidden.draws, 0);
    EXPECT_EQ(asleep.draws, 0);
    wm.setViewPosition(vl::Vector(120, 12));
    wm.draw();
    EXPECT_EQ(inside.draws, 1);
    EXPECT_EQ(beyond.draws, 1);
}

TEST(WorldManager, ViewPositionIsClampedToTheBoundary) {
    vltest::World world(200, 50);
    vl::WorldManager& wm = vl::WorldManager::getInstance();
    wm.setView(vl::Box(vl::Vector(0, 0), 80, 24));
    wm.setViewPosition(vl::Vector(100, 25));
    EXPECT_EQ(wm.getView(), vl::Box(vl::Vector(60, 13), 80, 24));
    wm.setViewPosition(vl::Vector(190, 49));
    EXPECT_EQ(wm.getView().getCorner(), vl::Vector(120, 26));
    wm.setViewPosition(vl::Vector(3, -10));
    EXPECT_EQ(wm.getView().getCorner(), vl::Vector(0, 0));
    // A view larger than the world sticks to the origin.
    wm.setView(vl::Box(vl::Vector(0, 0), 300, 24));
    wm.setViewPosition(vl::Vector(150, 25));
    EXPECT_EQ(wm.getView().getCorner().getX(), 0);
}

TEST(WorldManager, ViewSlackOutOfRangeWarnsButIsKept) {
    vltest::World world;
    vl::WorldManager& wm = vl::WorldManager::getInstance();
    wm.setViewSlack(vl::Vector(0.5f, 0.5f));
    EXPECT_EQ(world.log().find("view slack"), std::string::npos);
    wm.setViewSlack(vl::Vector(2, 0));
    EXPECT_NE(world.log().find("WorldManager::setViewSlack(): Warning! view slack units out of range [0-1]"),
              std::string::npos);
    EXPECT_EQ(wm.getViewSlack(), vl::Vector(2, 0));
}

TEST(WorldManager, FollowedObjectMovesTheViewOnlyBeyondTheSlackRegion) {
    vltest::World world(200, 24);
    vl::WorldManager& wm = vl::WorldManager::getInstance();
    wm.setView(vl::Box(vl::Vector(0, 0), 80, 24));
    wm.setViewSlack(vl::Vector(1.0f / 3.0f, 1.0f / 3.0f));
    Probe hero(vl::Vector(40, 12), vl::SPECTRAL);
    ASSERT_EQ(wm.setViewFollowing(&hero), 0);
    EXPECT_EQ(wm.getView().getCorner(), vl::Vector(0, 0));

    // Inside the slack region (about 26.67 to 53.33 across): the view stays.
    wm.moveObject(&hero, vl::Vector(50, 14));
    EXPECT_EQ(wm.getView().getCorner(), vl::Vector(0, 0));
    // Beyond it: the view moves just enough to hold the object on the region's edge.
    wm.moveObject(&hero, vl::Vector(60, 12));
    EXPECT_NEAR(wm.getView().getCorner().getX(), 60 - 40 - 80.0f / 6, 1e-4);
    EXPECT_NEAR(wm.getView().getCorner().getX(), 6.67f, 0.01f);
    EXPECT_EQ(wm.getView().getCorner().getY(), 0);
    // And never past the boundary.
    wm.moveObject(&hero, vl::Vector(199, 12));
    EXPECT_EQ(wm.getView().getCorner().getX(), 120);
    wm.moveObject(&hero, vl::Vector(1, 12));
    EXPECT_EQ(wm.getView().getCorner().getX(), 0);

    // Moves of other objects leave the view alone.
    Probe other(vl::Vector(100, 12), vl::SPECTRAL);
    wm.moveObject(&other, vl::Vector(190, 12));
    EXPECT_EQ(wm.getView().getCorner().getX(), 0);
}

TEST(WorldManager, DeletingTheFollowedObjectStopsTheFollowing) {
    vltest::World world(200, 24);
    vl::WorldManager& wm = vl::WorldManager::getInstance();
    wm.setView(vl::Box(vl::Vector(0, 0), 80, 24));
    auto* p_hero = new Probe(vl::Vector(40, 12), vl::SPECTRAL);
    ASSERT_EQ(wm.setViewFollowing(p_hero), 0);
    EXPECT_EQ(wm.getViewFollowing(), p_hero);
    wm.markForDelete(p_hero);
    wm.update();
    EXPECT_EQ(wm.getViewFollowing(), nullptr);

    // A new object at the same address (likely after a delete) must not be followed by accident.
    auto* p_next = new Probe(vl::Vector(40, 12), vl::SPECTRAL);
    wm.moveObject(p_next, vl::Vector(150, 12));
    EXPECT_EQ(wm.getView().getCorner().getX(), 0);

    // Following can be stopped explicitly, and only objects of the world can be followed.
    ASSERT_EQ(wm.setViewFollowing(p_next), 0);
    EXPECT_EQ(wm.getView().getCorner().getX(), 110);  // centred at once
    ASSERT_EQ(wm.setViewFollowing(nullptr), 0);
    wm.moveObject(p_next, vl::Vector(10, 12));
    EXPECT_EQ(wm.getView().getCorner().getX(), 110);
    int not_an_object = 0;
    EXPECT_EQ(wm.setViewFollowing(reinterpret_cast<vl::Object*>(&not_an_object)), -1);
    EXPECT_EQ(wm.getViewFollowing(), nullptr);
    EXPECT_NE(world.log().find("is not in the world; not following it."), std::string::npos);
}
