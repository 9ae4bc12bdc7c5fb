// SPDX-License-Identifier: MIT
// Faults a game makes behind the world's back: reported and refused, or stopping the game while checked.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "WorldFixture.h"
#include <veltrane/core/Config.h>
#include <veltrane/world/WorldManager.h>

namespace {

const std::string REPORT = "('SelfDeleting') was deleted with delete while the world still refers to it";

// Wrongly deletes itself on its first collision, after marking itself when asked to.
class SelfDeleting : public vltest::Probe {
public:
    explicit SelfDeleting(bool mark)
        : vltest::Probe(vl::Vector(1, 1), vl::HARD, "SelfDeleting"), m_mark(mark) {
        setVelocity(vl::Vector(1, 0));
    }
    int eventHandler(const vl::Event* p_e) override {
        if (p_e->getType() != vl::COLLISION_EVENT) {
            return 1;
        }
        if (m_mark) {
            EXPECT_EQ(0, vl::WorldManager::getInstance().markForDelete(this));
        }
        delete this;
        return 1;
    }
    bool m_mark;
};

// A scene graph corrupted behind the world's back, then one update; env "" leaves it to the configuration.
void corruptAndUpdate(const char* env, const char* config) {
    setenv("VELTRANE_CHECKS", env, 1);
    vl::Config::getInstance().loadConfig(config);
    vltest::World world;
    vl::Object object;
    EXPECT_EQ(0, vl::WorldManager::getInstance().getSceneGraph().updateVisible(&object, false));
    vl::WorldManager::getInstance().update();
    std::exit(0);
}

}  // namespace

TEST(ObjectDelete, DeletedInAHandlerIsReportedOnceAndStaleMarksAreRefused) {
    for (const bool mark : {false, true}) {
        vltest::World world;
        vl::WorldManager& wm = vl::WorldManager::getInstance();
        wm.setConsistencyChecks(true);
        new SelfDeleting(mark);
        vl::Object* p_other = new vltest::Probe(vl::Vector(2, 1));
        wm.update();
        wm.update();
        EXPECT_EQ(wm.getAllObjects(true).getCount(), 1);
        const std::string log = world.log();
        EXPECT_TRUE(log.find(REPORT) != std::string::npos && log.find(REPORT) == log.rfind(REPORT)) << log;
        // A pointer kept after the world deleted its object is refused, not deleted twice.
        ASSERT_EQ(wm.markForDelete(p_other), 0);
        wm.update();
        EXPECT_EQ(wm.markForDelete(p_other), -1);
        EXPECT_NE(world.log().find("is not in the world (deleted already, or never added)"),
                  std::string::npos);
    }
}

TEST(ConsistencySwitch, AbortsOnlyWhenSwitchedOnByTheEnvironmentOrElseTheConfiguration) {
    EXPECT_DEATH(corruptAndUpdate("1", "x:y"), "");
    EXPECT_EXIT(corruptAndUpdate("", "x:y"), ::testing::ExitedWithCode(0), "");
    EXPECT_DEATH(corruptAndUpdate("", "consistency_checks:true"), "");
    EXPECT_EXIT(corruptAndUpdate("0", "consistency_checks:true"), ::testing::ExitedWithCode(0), "");
}
