// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"
#include "WorldFixture.h"
#include <veltrane/game/GameManager.h>
#include <veltrane/world/SceneGraph.h>
#include <veltrane/world/WorldManager.h>

using vltest::Probe;

namespace {

// Where the object is listed, as letters: a(ctive) i(nactive) s(olid) v<altitude> t(ype) g(rid).
std::string memberships(const vl::Object* p_o) {
    const vl::SceneGraph& sg = vl::WorldManager::getInstance().getSceneGraph();
    std::string where;
    where += sg.activeObjects().contains(p_o) ? "a" : "";
    where += sg.inactiveObjects().contains(p_o) ? "i" : "";
    where += sg.solidObjects().contains(p_o) ? "s" : "";
    for (int altitude = 0; altitude <= vl::MAX_ALTITUDE; altitude++) {
        where += sg.visibleObjects(altitude).contains(p_o) ? "v" + std::to_string(altitude) : "";
    }
    where += sg.objectsOfType(p_o->getType()).contains(p_o) ? "t" : "";
    // In the grid if another object placed on it would collide with it.
    Probe query(p_o->getPosition(), vl::SPECTRAL, "Query");
    query.setBox(p_o->getBox());
    where += sg.getCollisions(&query, p_o->getPosition()).contains(p_o) ? "g" : "";
    return where;
}

}  // namespace

TEST(SceneGraph, ActivityMovesAnObjectBetweenEveryListAndBack) {
    vltest::World world;
    Probe probe(vl::Vector(10, 10), vl::HARD);
    EXPECT_EQ(memberships(&probe), "asv2tg");

    ASSERT_EQ(probe.setActive(false), 0);
    EXPECT_EQ(memberships(&probe), "i");
    // Changes while inactive are indexed on reactivation.
    probe.setPosition(vl::Vector(50, 20));
    probe.setAltitude(3);
    probe.setType("Renamed");
    ASSERT_EQ(probe.setActive(true), 0);
    EXPECT_EQ(memberships(&probe), "asv3tg");
    EXPECT_TRUE(vl::WorldManager::getInstance().getSceneGraph().objectsOfType("Probe").isEmpty());
    EXPECT_EQ(world.log().find("SceneGraph::updateType()"), std::string::npos);  // nothing to complain about
    EXPECT_EQ(vl::WorldManager::getInstance().checkConsistency(), 0);
}

TEST(SceneGraph, AltitudeVisibilityAndSolidnessEditOnlyTheirLists) {
    vltest::World world;
    Probe probe(vl::Vector(10, 10), vl::HARD);
    ASSERT_EQ(probe.setAltitude(4), 0);
    EXPECT_EQ(memberships(&probe), "asv4tg");
    ASSERT_EQ(probe.setSolidness(vl::SOFT), 0);
    EXPECT_EQ(memberships(&probe), "asv4tg");
    ASSERT_EQ(probe.setSolidness(vl::SPECTRAL), 0);
    EXPECT_EQ(memberships(&probe), "av4t");
    ASSERT_EQ(probe.setVisible(false), 0);
    EXPECT_EQ(memberships(&probe), "at");
    ASSERT_EQ(probe.setAltitude(0), 0);  // invisible: no list changes
    EXPECT_EQ(memberships(&probe), "at");
    ASSERT_EQ(probe.setVisible(true), 0);
    EXPECT_EQ(memberships(&probe), "av0t");
    ASSERT_EQ(probe.setSolidness(vl::HARD), 0);
    EXPECT_EQ(memberships(&probe), "asv0tg");
    EXPECT_EQ(vl::WorldManager::getInstance().checkConsistency(), 0);
}

TEST(SceneGraph, TypeChangesMoveBetweenTypeListsAndKeepTheOldEntry) {
    vltest::World world;
    const vl::SceneGraph& sg = vl::WorldManager::getInstance().getSceneGraph();
    Probe a(vl::Vector(1, 1), vl::HARD, "Rock");
    Probe b(vl::Vector(3, 1), vl::HARD, "Rock");
    a.setType("Gem");
    EXPECT_EQ(sg.objectsOfType("Rock").getCount(), 1);
    EXPECT_TRUE(sg.objectsOfType("Gem").contains(&a));
    b.setType("Gem");
    EXPECT_TRUE(sg.objectsOfType("Rock").isEmpty());
    EXPECT_EQ(sg.objectsOfType("Gem").getCount(), 2);
    EXPECT_TRUE(sg.objectsOfType("Nothing").isEmpty());
    EXPECT_EQ(vl::WorldManager::getInstance().checkConsistency(), 0);
}

TEST(SceneGraph, BadRequestsAreLoggedAndRefused) {
    vltest::World world;
    vl::SceneGraph& sg = vl::WorldManager::getInstance().getSceneGraph();
    EXPECT_TRUE(sg.visibleObjects(5).isEmpty());
    EXPECT_NE(world.log().find("SceneGraph::visibleObjects(): Warning! altitude 5 not in [0,4]."),
              std::string::npos);
    Probe probe(vl::Vector(5, 5));
    EXPECT_EQ(sg.updateAltitude(&probe, 7), -1);
    EXPECT_NE(world.log().find("SceneGraph::updateAltitude(): New altitude 7 not in [0,4]!  No update."),
              std::string::npos);

    vl::SceneGraph other;  // never told about the probe
    ASSERT_EQ(other.startUp(vl::WorldManager::getInstance().getBoundary(), 20, 8), 0);
    EXPECT_EQ(other.removeObject(&probe), -1);
    char expected[128];
    std::snprintf(expected, sizeof expected,
                  "SceneGraph::removeObject(): Error removing Object (id %d)! Pointer is %p.", probe.getId(),
                  static_cast<void*>(&probe));
    EXPECT_NE(world.log().find(expected), std::string::npos);
    EXPECT_EQ(other.updateVisible(&probe, false), -1);
    EXPECT_NE(world.log().find("SceneGraph::updateVisible(): unable to remove visible object (Probe)"),
              std::string::npos);
    EXPECT_EQ(other.updateType(&probe, "Else"), -1);
    EXPECT_NE(world.log().find("SceneGraph::updateType(): Error! Unable to remove Object"),
              std::string::npos);
}

TEST(SceneGraph, FailuresAreSilentOnceTheGameIsOver) {
    vltest::World world;
    Probe probe(vl::Vector(5, 5));
    vl::SceneGraph other;  // never told about the probe
    ASSERT_EQ(other.startUp(vl::WorldManager::getInstance().getBoundary(), 20, 8), 0);
    vl::GameManager::getInstance().setGameOver(true);
    const std::string before = world.log();
    EXPECT_EQ(other.updateVisible(&probe, false), 0);
    EXPECT_EQ(other.updateActive(&probe, false), -1);  // the type list failure still counts
    EXPECT_EQ(other.updateAltitude(&probe, 3), 0);
    EXPECT_EQ(world.log(), before);
    vl::GameManager::getInstance().setGameOver(false);
}

TEST(SceneGraph, ObjectsMadeBeforeABoundaryChangeStillCollideAndAreTyped) {
    vltest::World world(80, 24);
    vl::WorldManager& wm = vl::WorldManager::getInstance();
    Probe wall(vl::Vector(30, 10), vl::HARD, "Wall");
    Probe mover(vl::Vector(28, 10), vl::HARD, "Mover");
    wm.setBoundary(vl::Box(vl::Vector(0, 0), 200, 50));
    EXPECT_EQ(wm.getSceneGraph().getGrid().getNumCols(), 10);
    EXPECT_TRUE(wm.getSceneGraph().objectsOfType("Wall").contains(&wall));
    EXPECT_EQ(wm.moveObject(&mover, vl::Vector(29.5f, 10)), -1);
    EXPECT_EQ(mover.collisions, 1);
    EXPECT_EQ(wm.checkConsistency(), 0);
}
