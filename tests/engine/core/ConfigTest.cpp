// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <string>

#include "StderrCapture.h"
#include "TestSupport.h"
#include <veltrane/core/Config.h>

namespace {

// Loads a configuration file with these contents through VELTRANE_CONFIG; returns what went to stderr.
std::string loadFile(const std::string& contents) {
    const std::string path = vltest::tempPath("vl-config.txt");
    vltest::writeFile(path, contents);
    setenv("VELTRANE_CONFIG", path.c_str(), 1);
    vltest::StderrCapture capture;
    vl::Config::getInstance().loadConfig("");
    return capture.finish();
}

bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

}  // namespace

TEST(Config, CrLfWhitespaceRunTogetherLinesAndFirstValueWins) {
    vl::Config& config = vl::Config::getInstance();
    loadFile("frame_time:20,\r\nwindow_title:My Game,\r\nfont_scale: 1.5 ,\r\n random_seed:-7,\r\n");
    EXPECT_EQ(config.getFrameTime(), 20);
    EXPECT_EQ(config.getWindowTitle(), "MyGame");
    EXPECT_FLOAT_EQ(config.getFontScale(), 1.5f);
    EXPECT_EQ(config.getRandomSeed(), -7);
    loadFile("frame_time:10,\nframe_time:99,\ngrid_width:1\ngrid_height:2,\n# logfile:x.log,\n");
    EXPECT_EQ(config.getGridWidth(), 1);  // the item is "grid_width:1grid_height:2"
    EXPECT_EQ(config.getGridHeight(), 8);
    EXPECT_EQ(config.getFrameTime(), 10);
    EXPECT_EQ(config.getLogfile(), "veltrane.log");
}

TEST(Config, WordsNumbersAndCaseRules) {
    vl::Config& config = vl::Config::getInstance();
    loadFile("headless:True,\nshow_mouse:true,\nnetworking:yes,\nwindow_background_color:yellow,\nFRAME_TIME:"
             "5,\n");
    EXPECT_FALSE(config.getHeadless());
    EXPECT_TRUE(config.getShowMouse());
    EXPECT_FALSE(config.getNetworking());
    EXPECT_EQ(config.getWindowBackgroundColor(), 3);
    EXPECT_EQ(config.getFrameTime(), 33);
    loadFile("window_style:none,\nwindow_state:fullscreen,\nwindow_vertical_chars:abc,\nframe_time:12ms,\n");
    EXPECT_EQ(config.getWindowStyle(), 0);
    EXPECT_EQ(config.getWindowState(), 1);
    EXPECT_EQ(config.getWindowVerticalChars(), 0);
    EXPECT_EQ(config.getFrameTime(), 12);
    config.loadConfig("window_style:7,window_state:default,frame_time:99999999999");
    EXPECT_EQ(config.getWindowStyle(), 7);
    EXPECT_EQ(config.getWindowState(), 0);
    EXPECT_EQ(config.getFrameTime(), 2147483647);  // clamped, never undefined
}

TEST(Config, TyposAreWarnedWithTheLineAndTheNearestKey) {
    const struct {
        const char* contents;
        const char* warning;  // "" for a file that must load without a word
    } cases[] = {
        {"frame_time:50\nrandom_seed:7,\n", "Entry 'frame_time:50random_seed:7' on line 1 is not one "
                                            "key:value; is a comma missing at the end of a "
                                            "line?"},
        {"headles:true,\n", "Unknown key 'headles' on line 1; did you mean 'headless'?"},
        {"# colours\nwindow_colour:red,\n", "Unknown key 'window_colour' on line 2;"},
        {"mouse:true,\n", "Unknown key 'mouse' on line 1; did you mean 'show_mouse'?"},
        {"headless:yes,\n", "Value 'yes' of 'headless' on line 1 is not true or false."},
        {"frame_time:12ms,\n", "Value '12ms' of 'frame_time' on line 1 is not a number."},
        {"window_background_color:Yellow,\n", "loadConfig(): Unsupported window color 'Yellow'"},
        {"window_style:0,\n", "loadConfig(): Unsupported window style '0'"},
        {"window_state:maximised,\n", "loadConfig(): Unsupported window state 'maximised'"},
        {"# fine\nframe_time:33,\nheadless:true,\nwindow_title:My Game,\n", ""},
    };
    for (const auto& c : cases) {
        const std::string err = loadFile(c.contents);
        EXPECT_EQ(has(err, *c.warning != '\0' ? c.warning : "Warning"), *c.warning != '\0') << err;
    }
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

TEST(ConfigFile, UnreadableOversizedAndEndlessFilesAreReportedAndGiveTheDefaults) {
    vl::Config& config = vl::Config::getInstance();
    const std::string directory = vltest::tempPath("config-dir");
    ASSERT_EQ(mkdir(directory.c_str(), 0700), 0);
    std::string big = "frame_time:7,";  // one byte over the limit, a valid setting at its start
    big.resize(vl::MAX_CONFIG_BYTES + 1, ' ');
    std::string err = loadFile(big);
    EXPECT_EQ(config.getFrameTime(), 33);
    EXPECT_TRUE(
        has(err, "is larger than " + std::to_string(vl::MAX_CONFIG_BYTES) + " bytes. Using the defaults."))
        << err;
    const std::string unreadable[][2] = {
        {directory, "Config::readConfig(): Error! Cannot read Veltrane configuration file '" + directory +
                        "'. Using the defaults."},
        {"/dev/zero", "'/dev/zero' is larger than"}};  // a device that never ends is cut off
    for (const auto& c : unreadable) {
        setenv("VELTRANE_CONFIG", c[0].c_str(), 1);
        vltest::StderrCapture capture;
        EXPECT_EQ(config.readConfig(), "");
        err = capture.finish();
        EXPECT_TRUE(has(err, c[1])) << err;
    }
}

TEST(ConfigFile, FilesUpToTheLimitAndWithoutAFinalLineEndAreRead) {
    vl::Config& config = vl::Config::getInstance();
    std::string exact = "frame_time:7,\n#comment\nwindow_title:Edge";
    exact.insert(0, vl::MAX_CONFIG_BYTES - exact.size(), '\n');
    loadFile(exact);
    EXPECT_EQ(config.getFrameTime(), 7);
    EXPECT_EQ(config.getWindowTitle(), "Edge");
    EXPECT_EQ(config.getConfigText(), "frame_time:7,window_title:Edge");
    // Bytes the text format does not know pass through as parts of a value.
    loadFile(std::string("window_title:a\0b,\r\n", 19) + "logfile:x\x01.log,");
    EXPECT_EQ(config.getWindowTitle(), std::string("a\0b", 3));
    EXPECT_EQ(config.getLogfile(), "x\x01.log");
}
