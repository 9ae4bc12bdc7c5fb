// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>

#include "WorldFixture.h"
#include <veltrane/world/WorldManager.h>

namespace {

const char* const DELETED_REPORT = "was deleted with delete while the world still refers to it";

// How a collision handler wrongly gets rid of the object that received the event.
enum class Wrong {
    DELETE_THIS,
    MARK_THEN_DELETE
};

class SelfDeleting : public vltest::Probe {
public:
    explicit SelfDeleting(Wrong how) : vltest::Probe(vl::Vector(1, 1), vl::HARD, "SelfDeleting"), m_how(how) {
        setVelocity(vl::Vector(1, 0));
    }
    int eventHandler(const vl::Event* p_e) override {
        if (p_e->getType() == vl::COLLISION_EVENT) {
            if (m_how == Wrong::MARK_THEN_DELETE) {
                vl::WorldManager::getInstance().markForDelete(this);
            }
            delete this;
        }
        return 1;
    }

private:
    Wrong m_how;
};

class DeletedInHandler : public ::testing::TestWithParam<Wrong> {};

TEST_P(DeletedInHandler, IsReportedOnceAndNotTouchedAgain) {
    vltest::World world;
    vl::WorldManager& wm = vl::WorldManager::getInstance();
    wm.setConsistencyChecks(true);
    new SelfDeleting(GetParam());
    new vltest::Probe(vl::Vector(2, 1));
    wm.update();
    wm.update();
    EXPECT_EQ(wm.getAllObjects(true).getCount(), 1);
    const std::string log = world.log();
    EXPECT_EQ(log.find(DELETED_REPORT), log.rfind(DELETED_REPORT));
    EXPECT_NE(log.find("('SelfDeleting') " + std::string(DELETED_REPORT)), std::string::npos) << log;
}

INSTANTIATE_TEST_SUITE_P(Ways, DeletedInHandler,
                         ::testing::Values(Wrong::DELETE_THIS, Wrong::MARK_THEN_DELETE));

TEST(MarkForDeleteRefusal, StalePointerIsRefusedAndNothingElseIsDeleted) {
    vltest::World world;
    vl::WorldManager& wm = vl::WorldManager::getInstance();
    vl::Object* p_gone = new vltest::Probe();
    new vltest::Probe(vl::Vector(5, 5));
    ASSERT_EQ(wm.markForDelete(p_gone), 0);
    wm.update();
    EXPECT_EQ(wm.markForDelete(p_gone), -1);
    wm.update();
    EXPECT_EQ(wm.getAllObjects(true).getCount(), 1);
    EXPECT_NE(world.log().find("is not in the world (deleted already, or never added); not marking it."),
              std::string::npos);
}

}  // namespace
