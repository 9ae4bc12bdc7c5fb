// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "WorldFixture.h"
#include <veltrane/paths/PathManager.h>

TEST(PathTargetSearch, ATargetStartingItsOwnSearchIsStillTouchedNotEntered) {
    vltest::World world;
    vl::PathManager::getInstance().startUp();
    auto* p_target = new vltest::Probe(vl::Vector(10, 5), vl::SPECTRAL);
    p_target->setBox(vl::Box(vl::Vector(-1, -1), 3, 3));
    auto* p_walker = new vltest::Probe(vl::Vector(2, 5));
    ASSERT_EQ(p_walker->findPath(p_target), 0);
    ASSERT_EQ(p_target->findPath(vl::Vector(10, 15)), 0);
    vl::PathManager::getInstance().cycle(1000);
    ASSERT_FALSE(p_walker->getPath().getWaypoints().empty());
    EXPECT_EQ(p_walker->getPath().getWaypoints().back(), vl::Vector(9, 5));
    vl::PathManager::getInstance().shutDown();
}
