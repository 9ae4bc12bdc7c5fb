// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "StderrCapture.h"
#include "TestSupport.h"
#include <veltrane/core/Config.h>

namespace {

struct FileCase {
    const char* contents;
    const char* warning;  // "" for a file that must load without a word
};

class ConfigWarnings : public ::testing::TestWithParam<FileCase> {};

TEST_P(ConfigWarnings, NameTheLineAndTheNearestKey) {
    const std::string path = vltest::tempPath("vl-config.txt");
    vltest::writeFile(path, GetParam().contents);
    setenv("VELTRANE_CONFIG", path.c_str(), 1);
    vltest::StderrCapture capture;
    ASSERT_TRUE(capture.ok());
    vl::Config::getInstance().loadConfig("");
    const std::string err = capture.finish();
    const std::string warning = GetParam().warning;
    EXPECT_EQ(err.find(warning.empty() ? "Warning" : warning) != std::string::npos, !warning.empty()) << err;
}

INSTANTIATE_TEST_SUITE_P(
    Files, ConfigWarnings,
    ::testing::Values(
        FileCase{"frame_time:50\nrandom_seed:7,\n",
                 "Entry 'frame_time:50random_seed:7' on line 1 is not one key:value; is a comma "
                 "missing at the end of a line?"},
        FileCase{"headles:true,\n", "Unknown key 'headles' on line 1; did you mean 'headless'?"},
        FileCase{"# colours\nwindow_colour:red,\n", "Unknown key 'window_colour' on line 2;"},
        FileCase{"headless:yes,\n", "Value 'yes' of 'headless' on line 1 is not true or false."},
        FileCase{"frame_time:12ms,\n", "Value '12ms' of 'frame_time' on line 1 is not a number."},
        FileCase{"# fine\nframe_time:33,\nheadless:true,\nwindow_title:My Game,\n", ""}));

}  // namespace
