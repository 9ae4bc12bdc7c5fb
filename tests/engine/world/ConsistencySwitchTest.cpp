// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cstdlib>

#include "WorldFixture.h"
#include <veltrane/core/Config.h>
#include <veltrane/world/WorldManager.h>

namespace {

struct SwitchCase {
    const char* env;     // VELTRANE_CHECKS; "" leaves the choice to the configuration
    const char* config;  // configuration text
    bool aborts;
};

class ConsistencySwitch : public ::testing::TestWithParam<SwitchCase> {};

// A scene graph corrupted behind the world's back stops the game only while the checks are on.
void corruptAndUpdate(const SwitchCase& c) {
    setenv("VELTRANE_CHECKS", c.env, 1);
    vl::Config::getInstance().loadConfig(c.config);
    vltest::World world;
    vl::Object object;
    vl::WorldManager::getInstance().getSceneGraph().updateVisible(&object, false);
    vl::WorldManager::getInstance().update();
    std::exit(0);
}

TEST_P(ConsistencySwitch, AbortsOnlyWhenSwitchedOn) {
    const SwitchCase c = GetParam();
    if (c.aborts) {
        EXPECT_DEATH(corruptAndUpdate(c), "");
    } else {
        EXPECT_EXIT(corruptAndUpdate(c), ::testing::ExitedWithCode(0), "");
    }
}

INSTANTIATE_TEST_SUITE_P(EnvAndConfig, ConsistencySwitch,
                         ::testing::Values(SwitchCase{"1", "x:y", true}, SwitchCase{"", "x:y", false},
                                           SwitchCase{"", "consistency_checks:true", true},
                                           SwitchCase{"0", "consistency_checks:true", false}));

}  // namespace
