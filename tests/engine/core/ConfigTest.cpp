// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "StderrCapture.h"
#include "TestSupport.h"
#include <veltrane/core/Config.h>

namespace {

// Loads a configuration file with these contents through VELTRANE_CONFIG.
void loadFile(const std::string& contents) {
    const std::string path = vltest::tempPath("vl-config.txt");
    vltest::writeFile(path, contents);
    setenv("VELTRANE_CONFIG", path.c_str(), 1);
    vl::Config::getInstance().loadConfig("");
}

}  // namespace

TEST(Config, CrLfFileParsesLikeLfAndWhitespaceIsRemoved) {
    loadFile("frame_time:20,\r\nwindow_title:My Game,\r\nfont_scale: 1.5 ,\r\n random_seed:-7,\r\n");
    vl::Config& config = vl::Config::getInstance();
    EXPECT_EQ(config.getFrameTime(), 20);
    EXPECT_EQ(config.getWindowTitle(), "MyGame");
    EXPECT_FLOAT_EQ(config.getFontScale(), 1.5f);
    EXPECT_EQ(config.getRandomSeed(), -7);
}

TEST(Config, LinesWithoutCommasRunTogetherAndTheFirstValueWins) {
    loadFile("frame_time:10,\nframe_time:99,\ngrid_width:1\ngrid_height:2,\n# logfile:x.log,\n");
    vl::Config& config = vl::Config::getInstance();
    EXPECT_EQ(config.getGridWidth(), 1);  // the item is "grid_width:1grid_height:2"
    EXPECT_EQ(config.getGridHeight(), 8);
    EXPECT_EQ(config.getFrameTime(), 10);
    EXPECT_EQ(config.getLogfile(), "veltrane.log");
}

TEST(Config, CaseRulesForBooleansColoursAndKeys) {
    loadFile("headless:True,\nshow_mouse:true,\nnetworking:yes,\nwindow_background_color:yellow,\nFRAME_TIME:"
             "5,\n");
    vl::Config& config = vl::Config::getInstance();
    EXPECT_FALSE(config.getHeadless());
    EXPECT_TRUE(config.getShowMouse());
    EXPECT_FALSE(config.getNetworking());
    EXPECT_EQ(config.getWindowBackgroundColor(), 3);
    EXPECT_EQ(config.getFrameTime(), 33);
}

TEST(Config, BadColourStyleAndStateAreReportedOnStandardErrorAndKeepTheirDefaults) {
    vltest::StderrCapture capture;
    ASSERT_TRUE(capture.ok());
    loadFile("window_background_color:Yellow,\nwindow_style:0,\nwindow_state:maximised,\n");
    const std::string err = capture.finish();
    vl::Config& config = vl::Config::getInstance();
    EXPECT_EQ(config.getWindowBackgroundColor(), 0);
    EXPECT_EQ(config.getWindowStyle(), 5);
    EXPECT_EQ(config.getWindowState(), 0);
    EXPECT_NE(err.find("loadConfig(): Unsupported window color 'Yellow'"), std::string::npos);
    EXPECT_NE(err.find("loadConfig(): Unsupported window style '0'"), std::string::npos);
    EXPECT_NE(err.find("loadConfig(): Unsupported window state 'maximised'"), std::string::npos);
}

TEST(Config, StyleAndStateWordsAndNumbers) {
    loadFile("window_style:none,\nwindow_state:fullscreen,\nwindow_vertical_chars:abc,\nframe_time:12ms,\n");
    vl::Config& config = vl::Config::getInstance();
    EXPECT_EQ(config.getWindowStyle(), 0);
    EXPECT_EQ(config.getWindowState(), 1);
    EXPECT_EQ(config.getWindowVerticalChars(), 0);  // not a number
    EXPECT_EQ(config.getFrameTime(), 12);
    config.loadConfig("window_style:7,window_state:default,frame_time:99999999999");
    EXPECT_EQ(config.getWindowStyle(), 7);
    EXPECT_EQ(config.getWindowState(), 0);
    EXPECT_EQ(config.getFrameTime(), 2147483647);  // clamped, never undefined
}

TEST(ConfigMatch, ItemsKeysAndValuesFollowTheLookupRules) {
    EXPECT_EQ(vl::match("a:1,,b:2,", "b"), "2");
    EXPECT_EQ(vl::match("", "a"), "1");  // an empty text searches the previous items
    EXPECT_EQ(vl::match("::a:1:extra", "a"), "1");
    EXPECT_EQ(vl::match("novalue,b:2", "novalue"), "");
    EXPECT_EQ(vl::match("a:1,:::,b:2", "b"), "");  // an item of colons ends the parse
    EXPECT_EQ(vl::match("a : 1 ,\tb:\n2", "b"), "2");
    EXPECT_EQ(vl::match("a:1", "A"), "");
}

TEST(ConfigFile, UnreadableOrOversizedFilesAreReportedAndGiveTheDefaults) {
    vl::Config& config = vl::Config::getInstance();
    vltest::StderrCapture capture;
    ASSERT_TRUE(capture.ok());
    // A directory opens but cannot be read.
    const std::string directory = vltest::tempPath("config-dir");
    ASSERT_EQ(mkdir(directory.c_str(), 0700), 0);
    setenv("VELTRANE_CONFIG", directory.c_str(), 1);
    EXPECT_EQ(config.readConfig(), "");
    // One byte over the limit, with a valid setting at its start.
    std::string big = "frame_time:7,";
    big.resize(vl::MAX_CONFIG_BYTES + 1, ' ');
    loadFile(big);
    EXPECT_EQ(config.getFrameTime(), 33);
    const std::string err = capture.finish();
    EXPECT_NE(err.find("Config::readConfig(): Error! Cannot read Veltrane configuration file '" + directory +
                       "'. Using the defaults."),
              std::string::npos)
        << err;
    EXPECT_NE(
        err.find("is larger than " + std::to_string(vl::MAX_CONFIG_BYTES) + " bytes. Using the defaults."),
        std::string::npos)
        << err;
    rmdir(directory.c_str());
}

TEST(ConfigFile, FilesUpToTheLimitAndWithoutAFinalLineEndAreRead) {
    vl::Config& config = vl::Config::getInstance();
    std::string exact = "frame_time:7,\n#comment\nwindow_title:Edge";
    exact.insert(0, vl::MAX_CONFIG_BYTES - exact.size(), '\n');
    ASSERT_EQ(exact.size(), vl::MAX_CONFIG_BYTES);
    loadFile(exact);
    EXPECT_EQ(config.getFrameTime(), 7);
    EXPECT_EQ(config.getWindowTitle(), "Edge");
    EXPECT_EQ(config.getConfigText(), "frame_time:7,window_title:Edge");
    // Bytes the text format does not know pass through as parts of a value.
    loadFile(std::string("window_title:a\0b,\r\n", 19) + "logfile:x\x01.log,");
    EXPECT_EQ(config.getWindowTitle(), std::string("a\0b", 3));
    EXPECT_EQ(config.getLogfile(), "x\x01.log");
}

TEST(ConfigFile, DevicesThatNeverEndAreCutOff) {
    setenv("VELTRANE_CONFIG", "/dev/zero", 1);
    vltest::StderrCapture capture;
    ASSERT_TRUE(capture.ok());
    EXPECT_EQ(vl::Config::getInstance().readConfig(), "");
    EXPECT_NE(capture.finish().find("'/dev/zero' is larger than"), std::string::npos);
}
