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

vl::DisplayManager& display() {
    return vl::DisplayManager::getInstance();
}

}  // namespace

// Cells need not be square; the character size is the scale times the smaller cell side, truncated.
TEST(CellGeometry, CellSizesCharacterSizesAndConversions) {
    const struct {
        int width, height, columns, rows;
        const char* scale;
        float cell_w, cell_h;
        unsigned int character_size;
    } cases[] = {{1024, 768, 80, 24, "2.0", 12.8f, 32.0f, 25},
                 {300, 100, 20, 4, "2", 15.0f, 25.0f, 30},
                 {1280, 384, 80, 24, "1.0", 16.0f, 16.0f, 16},
                 {800, 100, 20, 10, "1.5", 40.0f, 10.0f, 15},
                 {1024, 768, 80, 24, "-3", 12.8f, 32.0f, 1}};
    for (const auto& c : cases) {
        vltest::LoggedConfig config("headless:true,window_horizontal_pixels:" + std::to_string(c.width) +
                                    ",window_vertical_pixels:" + std::to_string(c.height) +
                                    ",window_horizontal_chars:" + std::to_string(c.columns) +
                                    ",window_vertical_chars:" + std::to_string(c.rows) +
                                    ",font_scale:" + c.scale);
        SCOPED_TRACE(c.width);
        ASSERT_EQ(display().startUp(), 0);
        EXPECT_FLOAT_EQ(vl::charWidth(), c.cell_w);
        EXPECT_FLOAT_EQ(vl::charHeight(), c.cell_h);
        EXPECT_EQ(display().getCharacterSize(), c.character_size);
        const vl::Vector pixels = vl::spacesToPixels(vl::Vector(-0.5f, 2.25f));
        EXPECT_EQ(pixels, vl::Vector(-0.5f * c.cell_w, 2.25f * c.cell_h));
        const vl::Vector spaces = vl::pixelsToSpaces(vl::Vector(3 * c.cell_w, 5 * c.cell_h));
        EXPECT_FLOAT_EQ(spaces.getX(), 3.0f);
        EXPECT_FLOAT_EQ(spaces.getY(), 5.0f);
        display().shutDown();
    }
}

TEST(DisplayStartUp, HeadlessStartsWithoutAWindowAndEveryDrawFailsQuietly) {
    vltest::LoggedConfig config("headless:true");
    ASSERT_EQ(display().startUp(), 0);
    EXPECT_TRUE(display().isStarted());
    EXPECT_EQ(display().getWindow(), nullptr);
    EXPECT_EQ(display().drawCharacter(vl::Vector(1, 1), 'x', vl::RED), -1);
    EXPECT_EQ(display().drawCharacter(vl::Vector(1, 1), 'x', 10, 20, 30), -1);
    EXPECT_EQ(display().drawString(vl::Vector(1, 1), "hello", vl::CENTER, vl::GREEN), -1);
    EXPECT_EQ(display().swapBuffers(), -1);
    EXPECT_FALSE(display().setBackgroundColor(vl::WHITE));
    EXPECT_EQ(display().flush(), -1);
    EXPECT_EQ(vltest::logMessages(config.log()), "");
}

// Shutting down is allowed before start-up; drawing is reported while the display is not running.
TEST(DisplayStartUp, DrawingBeforeStartUpOrAfterShutDownIsReported) {
    vltest::LoggedConfig config("headless:true");
    display().shutDown();
    EXPECT_EQ(display().drawCharacter(vl::Vector(1, 1), 'x', 1, 2, 3), -1);
    EXPECT_EQ(display().drawCharacter(vl::Vector(1, 1), 'x', vl::BLUE), -1);
    EXPECT_EQ(display().drawString(vl::Vector(1, 1), "ab", vl::LEFT, vl::BLUE), -1);
    ASSERT_EQ(display().startUp(), 0);
    display().shutDown();
    EXPECT_FALSE(display().isStarted());
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
    EXPECT_FLOAT_EQ(vl::pixelsToSpaces(vl::Vector(100, 64)).getX(), 0.0f);
}

TEST(DisplayStartUp, WithoutAnXDisplayFailsWithTheWindowMessageAndAHint) {
    unsetenv("DISPLAY");
    vltest::LoggedConfig config("headless:false,window_horizontal_chars:80");
    vltest::StderrCapture capture;
    EXPECT_EQ(display().startUp(), -1);
    const std::string console = capture.finish();
    EXPECT_FALSE(display().isStarted());
    EXPECT_EQ(display().getWindow(), nullptr);
    EXPECT_NE(vltest::logMessages(config.log())
                  .find("DisplayManager::startUp(): Unable to allocate window!\n"
                        "DisplayManager::startUp(): Cannot open X display '(unset)'. Run headless "
                        "(headless:true in the configuration) or under xvfb-run.\n"),
              std::string::npos);
    EXPECT_NE(console.find("xvfb-run"), std::string::npos) << console;
    display().shutDown();
}

TEST(SfmlErrors, GoToTheLogWhileTheDisplayRunsAndBackToTheConsoleAfter) {
    vltest::LoggedConfig config("headless:true,window_horizontal_chars:80");
    ASSERT_EQ(display().startUp(), 0);
    sf::err() << "first complaint" << std::endl;
    sf::err() << "partial ";
    sf::err() << "line" << std::endl;
    display().shutDown();
    vltest::StderrCapture capture;
    sf::err() << "after shut-down" << std::endl;
    EXPECT_NE(capture.finish().find("after shut-down"), std::string::npos);
    EXPECT_EQ(vltest::logMessages(config.log()), "SFML: first complaint\nSFML: partial line\n");
}

TEST(Colors, FileNamesAreLowerCaseOnly) {
    vl::Color color = vl::BLACK;
    EXPECT_EQ(vl::colorFromName("magenta", color), 0);
    EXPECT_EQ(color, vl::MAGENTA);
    for (const char* p_name : {"Green", "green ", "", "default"}) {
        EXPECT_EQ(vl::colorFromName(p_name, color), -1) << p_name;
    }
    EXPECT_EQ(color, vl::MAGENTA);
}
