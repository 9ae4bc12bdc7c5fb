// SPDX-License-Identifier: MIT
// The display manager without a window: cell geometry, colours, start-up checks and quiet failures.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include <SFML/System/Err.hpp>

#include "PresentationSupport.h"
#include "StderrCapture.h"
#include <veltrane/graphics/Color.h>
#include <veltrane/graphics/DisplayManager.h>
#include <veltrane/graphics/SfmlColor.h>

namespace {

const std::string HEADLESS_80X24 = "headless:true,window_horizontal_pixels:1024,window_vertical_pixels:768,"
                                   "window_horizontal_chars:80,window_vertical_chars:24,font_scale:2.0";

vl::DisplayManager& display() {
    return vl::DisplayManager::getInstance();
}

}  // namespace

TEST(CellGeometry, DefaultWindowHasCellsOf12Point8By32Pixels) {
    vltest::LoggedConfig config(HEADLESS_80X24);
    ASSERT_EQ(display().startUp(), 0);
    EXPECT_FLOAT_EQ(vl::charWidth(), 12.8f);
    EXPECT_FLOAT_EQ(vl::charHeight(), 32.0f);
    EXPECT_EQ(display().getHorizontalChars(), 80);
    EXPECT_EQ(display().getVerticalChars(), 24);

    const vl::Vector pixels = vl::spacesToPixels(vl::Vector(10, 5));
    EXPECT_FLOAT_EQ(pixels.getX(), 128.0f);
    EXPECT_FLOAT_EQ(pixels.getY(), 160.0f);
    const vl::Vector spaces = vl::pixelsToSpaces(vl::Vector(128, 160));
    EXPECT_FLOAT_EQ(spaces.getX(), 10.0f);
    EXPECT_FLOAT_EQ(spaces.getY(), 5.0f);
    const vl::Vector half = vl::spacesToPixels(vl::Vector(-0.5f, 2.25f));
    EXPECT_FLOAT_EQ(half.getX(), -6.4f);
    EXPECT_FLOAT_EQ(half.getY(), 72.0f);
}

TEST(CellGeometry, CellsNeedNotBeSquare) {
    vltest::LoggedConfig config("headless:true,window_horizontal_pixels:300,window_vertical_pixels:100,"
                                "window_horizontal_chars:20,window_vertical_chars:4");
    ASSERT_EQ(display().startUp(), 0);
    EXPECT_FLOAT_EQ(vl::charWidth(), 15.0f);
    EXPECT_FLOAT_EQ(vl::charHeight(), 25.0f);
    const vl::Vector spaces = vl::pixelsToSpaces(vl::Vector(45, 50));
    EXPECT_FLOAT_EQ(spaces.getX(), 3.0f);
    EXPECT_FLOAT_EQ(spaces.getY(), 2.0f);
}

TEST(CharacterSize, ScaleTimesTheSmallerCellSideTruncatedAndNeverBelowOne) {
    const struct {
        const char* config;
        unsigned int size;
    } cases[] = {
        {"window_horizontal_pixels:1024,window_vertical_pixels:768,font_scale:2.0", 25},  // 2.0 x 12.8
        {"window_horizontal_pixels:1280,window_vertical_pixels:384,font_scale:1.0", 16},  // square cells
        {"window_horizontal_pixels:1600,window_vertical_pixels:240,font_scale:1.5", 15},  // cells 20 x 10
        {"font_scale:-3", 1},
    };
    for (const auto& c : cases) {
        vltest::LoggedConfig config(
            std::string("headless:true,window_horizontal_chars:80,window_vertical_chars:24,") + c.config);
        ASSERT_EQ(display().startUp(), 0) << c.config;
        EXPECT_EQ(display().getCharacterSize(), c.size) << c.config;
        display().shutDown();
    }
}

TEST(DisplayStartUp, HeadlessStartsWithoutAWindowAndEveryDrawFailsQuietly) {
    vltest::LoggedConfig config(HEADLESS_80X24);
    ASSERT_EQ(display().startUp(), 0);
    EXPECT_TRUE(display().isStarted());
    EXPECT_EQ(display().getWindow(), nullptr);
    EXPECT_EQ(display().drawCharacter(vl::Vector(1, 1), 'x', vl::RED), -1);
    EXPECT_EQ(display().drawCharacter(vl::Vector(1, 1), 'x', 10, 20, 30), -1);
    EXPECT_EQ(display().drawString(vl::Vector(1, 1), "hello", vl::CENTER, vl::GREEN), -1);
    EXPECT_EQ(display().drawString(vl::Vector(1, 1), "", vl::LEFT, vl::GREEN), -1);
    for (int frame = 0; frame < 3; frame++) {
        EXPECT_EQ(display().swapBuffers(), -1);
    }
    EXPECT_FALSE(display().setBackgroundColor(vl::WHITE));
    EXPECT_EQ(display().flush(), -1);
    const std::string messages = vltest::logMessages(config.log());
    EXPECT_EQ(messages.find("not started"), std::string::npos) << messages;
    EXPECT_EQ(messages.find("Error"), std::string::npos) << messages;
}

TEST(DisplayStartUp, SecondStartUpIsRefused) {
    vltest::LoggedConfig config(HEADLESS_80X24);
    ASSERT_EQ(display().startUp(), 0);
    EXPECT_EQ(display().startUp(), -1);
    EXPECT_NE(config.log().find("DisplayManager::startup(): Warning! DisplayManager already started."),
              std::string::npos);
    EXPECT_TRUE(display().isStarted());
}

TEST(DisplayStartUp, DrawingBeforeStartUpIsReported) {
    vltest::LoggedConfig config("headless:false");
    EXPECT_EQ(display().drawCharacter(vl::Vector(1, 1), 'x', 1, 2, 3), -1);
    EXPECT_EQ(display().drawCharacter(vl::Vector(1, 1), 'x', vl::BLUE), -1);
    EXPECT_EQ(display().drawString(vl::Vector(1, 1), "ab", vl::LEFT, vl::BLUE), -1);
    EXPECT_EQ(display().swapBuffers(), -1);
    EXPECT_EQ(vltest::countLines(vltest::logMessages(config.log()), "DisplayManager not started!"), 4);
}

TEST(DisplayStartUp, ZeroCharacterCellsAreRefusedRatherThanDividedBy) {
    vltest::LoggedConfig config("headless:true,window_horizontal_chars:0");
    EXPECT_EQ(display().startUp(), -1);
    EXPECT_FALSE(display().isStarted());
    EXPECT_NE(config.log().find("DisplayManager::startUp(): Error! Window of 1024 x 768 pixels and 0 x 24 "
                                "characters is not valid."),
              std::string::npos);
    EXPECT_FLOAT_EQ(vl::charWidth(), 0.0f);
    EXPECT_FLOAT_EQ(vl::pixelsToSpaces(vl::Vector(100, 64)).getX(), 0.0f);
}

TEST(DisplayStartUp, WithoutAnXDisplayFailsWithTheWindowMessageAndAHint) {
    unsetenv("DISPLAY");
    vltest::LoggedConfig config("headless:false");
    vltest::StderrCapture capture;
    EXPECT_EQ(display().startUp(), -1);
    const std::string console = capture.finish();
    EXPECT_FALSE(display().isStarted());
    EXPECT_EQ(display().getWindow(), nullptr);
    const std::string messages = vltest::logMessages(config.log());
    EXPECT_NE(messages.find("DisplayManager::startUp(): Unable to allocate window!\n"
                            "DisplayManager::startUp(): Cannot open X display '(unset)'. Run headless "
                            "(headless:true in the configuration) or under xvfb-run.\n"),
              std::string::npos)
        << messages;
    EXPECT_NE(console.find("xvfb-run"), std::string::npos) << console;
    display().shutDown();
}

TEST(DisplayStartUp, ADeadXServerIsFoundBeforeTheWindowIsMade) {
    setenv("DISPLAY", ":4711", 1);
    vltest::LoggedConfig config("headless:false");
    vltest::StderrCapture capture;
    EXPECT_EQ(display().startUp(), -1);
    capture.finish();
    EXPECT_NE(config.log().find("Cannot open X display ':4711'."), std::string::npos);
}

TEST(SfmlErrors, GoToTheLogWhileTheDisplayRunsAndBackToTheConsoleAfter) {
    vltest::LoggedConfig config(HEADLESS_80X24);
    ASSERT_EQ(display().startUp(), 0);
    sf::err() << "first complaint" << std::endl;
    sf::err() << "partial ";
    sf::err() << "line" << std::endl;
    display().shutDown();
    vltest::StderrCapture capture;
    sf::err() << "after shut-down" << std::endl;
    const std::string console = capture.finish();
    const std::string messages = vltest::logMessages(config.log());
    EXPECT_NE(messages.find("SFML: first complaint\nSFML: partial line\n"), std::string::npos) << messages;
    EXPECT_EQ(messages.find("after shut-down"), std::string::npos);
    EXPECT_NE(console.find("after shut-down"), std::string::npos);
}

TEST(DisplayShutDown, StopsDrawingAndMayBeCalledWithoutStartUp) {
    vltest::LoggedConfig config(HEADLESS_80X24);
    display().shutDown();
    ASSERT_EQ(display().startUp(), 0);
    display().shutDown();
    EXPECT_FALSE(display().isStarted());
    EXPECT_EQ(display().swapBuffers(), -1);
    EXPECT_NE(config.log().find("DisplayManager not started!"), std::string::npos);
}

TEST(Colors, CustomAndUnsupportedValuesLeaveComponentsAndGiveWhite) {
    vltest::LoggedConfig config("headless:true");
    for (int c : {8, 9, -1, 1000}) {
        unsigned char r = 1, g = 2, b = 3;
        vl::colorToRGB(static_cast<vl::Color>(c), r, g, b);
        EXPECT_EQ(r, 1);
        EXPECT_EQ(g, 2);
        EXPECT_EQ(b, 3);
        EXPECT_EQ(vl::colorToSFML(static_cast<vl::Color>(c)), sf::Color::White) << c;
        EXPECT_EQ(vl::colorToName(static_cast<vl::Color>(c)), "Unknown color") << c;
    }
    // Their messages are below the log level, so nothing reaches the file.
    EXPECT_EQ(config.log().find("Color"), std::string::npos);
}

TEST(Colors, FileNamesAreLowerCaseOnly) {
    vl::Color color = vl::BLACK;
    EXPECT_EQ(vl::colorFromName("magenta", color), 0);
    EXPECT_EQ(color, vl::MAGENTA);
    color = vl::BLACK;
    EXPECT_EQ(vl::colorFromName("Green", color), -1);
    EXPECT_EQ(vl::colorFromName("green ", color), -1);
    EXPECT_EQ(vl::colorFromName("", color), -1);
    EXPECT_EQ(vl::colorFromName("default", color), -1);
    EXPECT_EQ(color, vl::BLACK);
}
