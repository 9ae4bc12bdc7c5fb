// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <regex>
#include <string>

#include "StderrCapture.h"
#include "TestSupport.h"
#include <veltrane/core/Config.h>
#include <veltrane/core/LogManager.h>

namespace {

const std::regex LINE_PREFIX("^\\d\\d:\\d\\d:\\d\\d    0 ");

}  // namespace

TEST(LogManager, WritesPrefixedLinesToTheFileNamedByTheEnvironment) {
    const std::string path = vltest::useTempLog();
    vl::LogManager& log = vl::LogManager::getInstance();
    ASSERT_EQ(log.startUp(), 0);
    EXPECT_EQ(log.writeLog("hello %d", 42), 8);
    EXPECT_EQ(log.writeLog(1, "dropped at level %d", 1), 0);
    EXPECT_EQ(log.writeLog("%s", "100%d verbatim"), 14);
    EXPECT_EQ(log.writeLog("two\nlines"), 9);
    log.shutDown();

    const std::string text = vltest::readFile(path);
    const std::string first = text.substr(0, text.find('\n'));
    EXPECT_TRUE(std::regex_search(first, LINE_PREFIX)) << first;
    EXPECT_EQ(first.size(), 8u + 1 + 4 + 1 + 8);
    EXPECT_EQ(first.substr(14), "hello 42");
    EXPECT_EQ(text.find("dropped"), std::string::npos);
    EXPECT_NE(text.find("    0 100%d verbatim\n"), std::string::npos);
    EXPECT_NE(text.find("    0 two\nlines\n"), std::string::npos);
    // The level-5 start and stop lines never pass the default level.
    EXPECT_EQ(text.find("successfully"), std::string::npos);
}

TEST(LogManager, LinesGoToStandardErrorBeforeStartUpAndAfterShutDown) {
    const std::string path = vltest::useTempLog();
    vl::LogManager& log = vl::LogManager::getInstance();
    vltest::StderrCapture capture;
    ASSERT_TRUE(capture.ok());
    log.writeLog("before start");
    ASSERT_EQ(log.startUp(), 0);
    log.writeLog("in the file");
    log.shutDown();
    log.writeLog("after stop");
    const std::string err = capture.finish();
    EXPECT_NE(err.find("    0 before start\n"), std::string::npos);
    EXPECT_NE(err.find("    0 after stop\n"), std::string::npos);
    EXPECT_EQ(err.find("in the file"), std::string::npos);
    EXPECT_NE(vltest::readFile(path).find("in the file"), std::string::npos);
}

TEST(LogManager, UnopenableFileFailsStartUpWithWarningOnStandardError) {
    setenv("VELTRANE_LOG", "/nonexistent-dir/veltrane.log", 1);
    vl::LogManager& log = vl::LogManager::getInstance();
    vltest::StderrCapture capture;
    EXPECT_EQ(log.startUp(), -1);
    EXPECT_FALSE(log.isStarted());
    EXPECT_NE(capture.finish().find("LogManager::startup(): Warning! Unable to open file "
                                    "'/nonexistent-dir/veltrane.log'."),
              std::string::npos);
}

// Start-up lines must not stay buffered while a game that turned flushing on runs quietly.
TEST(LogManager, TurningFlushingOnWritesOutWhatIsBuffered) {
    const std::string path = vltest::useTempLog();
    vl::LogManager& log = vl::LogManager::getInstance();
    ASSERT_EQ(log.startUp(), 0);
    log.writeLog("buffered line");
    EXPECT_EQ(vltest::readFile(path), "");
    log.setFlush(true);
    EXPECT_NE(vltest::readFile(path).find("buffered line\n"), std::string::npos);
    log.writeLog("flushed line");
    EXPECT_NE(vltest::readFile(path).find("flushed line\n"), std::string::npos);
    log.shutDown();
}

TEST(LogManager, LevelFromTheEnvironmentWinsOverTheConfiguration) {
    const struct {
        const char* env;  // VELTRANE_LOG_LEVEL; "" leaves the choice to the configuration
        const char* config;
        int line_level;
        bool written;
    } cases[] = {{"", "x:y", 1, false},
                 {"5", "x:y", 5, true},
                 {"", "log_level:10", 10, true},
                 {"", "log_level:10", 11, false},
                 {"0", "log_level:10", 1, false}};
    vl::LogManager& log = vl::LogManager::getInstance();
    for (const auto& c : cases) {
        const std::string path = vltest::useTempLog();
        setenv("VELTRANE_LOG_LEVEL", c.env, 1);
        vl::Config::getInstance().loadConfig(c.config);
        ASSERT_EQ(log.startUp(), 0);
        log.writeLog(c.line_level, "trace line");
        log.shutDown();
        EXPECT_EQ(vltest::readFile(path).find("trace line") != std::string::npos, c.written)
            << c.env << c.config;
    }
    unsetenv("VELTRANE_LOG_LEVEL");
    vl::Config::getInstance().loadConfig("log_level:0");
}
