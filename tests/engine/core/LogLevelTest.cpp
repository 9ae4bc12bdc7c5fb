// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "TestSupport.h"
#include <veltrane/core/Config.h>
#include <veltrane/core/LogManager.h>

namespace {

struct LevelCase {
    const char* env;     // VELTRANE_LOG_LEVEL; "" leaves the choice to the configuration
    const char* config;  // configuration text
    int line_level;
    bool written;
};

class LogLevelForARun : public ::testing::TestWithParam<LevelCase> {};

TEST_P(LogLevelForARun, EnvironmentWinsOverTheConfiguration) {
    const LevelCase c = GetParam();
    const std::string path = vltest::tempPath("level.log");
    setenv("VELTRANE_LOG", path.c_str(), 1);
    setenv("VELTRANE_LOG_LEVEL", c.env, 1);
    vl::Config::getInstance().loadConfig(c.config);
    vl::LogManager& log = vl::LogManager::getInstance();
    ASSERT_EQ(log.startUp(), 0);
    log.writeLog(c.line_level, "trace line");
    log.shutDown();
    unsetenv("VELTRANE_LOG_LEVEL");
    vl::Config::getInstance().loadConfig("log_level:0");
    EXPECT_EQ(vltest::readFile(path).find("trace line") != std::string::npos, c.written);
}

INSTANTIATE_TEST_SUITE_P(Sources, LogLevelForARun,
                         ::testing::Values(LevelCase{"", "x:y", 1, false}, LevelCase{"5", "x:y", 5, true},
                                           LevelCase{"", "log_level:10", 10, true},
                                           LevelCase{"", "log_level:10", 11, false},
                                           LevelCase{"0", "log_level:10", 1, false}));

}  // namespace
