// SPDX-License-Identifier: MIT
// The display manager without a window: cell geometry, start-up checks and quiet failures.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include <SFML/System/Err.hpp>

#include "PresentationSupport.h"
#include "StderrCapture.h"
#include <veltrane/graphics/DisplayManager.h>
#include <veltrane/graphics/Shape.h>

namespace {

vl::DisplayManager& display() {
    return vl::DisplayManager::getInstance();
}

}  // namespace

// Cells need not be square; character and shape sizes scale the smaller cell side, truncated after or before.
TEST(CellGeometry, CellSizesCharacterSizesAndConversions) {
    const struct {
        int width, height, columns, rows;
        const char* scale;
        float cell_w, cell_h;
        unsigned int character_size;
        float shape_size;
    } cases[] = {{300, 100, 20, 4, "2", 15.0f, 25.0f, 30, 30},
                 {800, 100, 20, 10, "1.5", 40.0f, 10.0f, 15, 15},
                 {1024, 768, 80, 24, "2.0", 12.8f, 32.0f, 25, 24},
                 {1024, 768, 80, 24, "-3", 12.8f, 32.0f, 1, -36}};
    for (const auto& c : cases) {
        vltest::LoggedConfig config("headless:true,window_horizontal_pixels:" + std::to_string(c.width) +
                                    ",window_vertical_pixels:" + std::to_string(c.height) +
                                    ",window_horizontal_chars:" + std::to_string(c.columns) +
                                    ",window_vertical_chars:" + std::to_string(c.rows) +
                                    ",font_scale:" + c.scale);
        SCOPED_TRACE(c.width);
        ASSERT_EQ(display().startUp(), 0);
        EXPECT_EQ(display().getCharacterSize(), c.character_size);
        EXPECT_FLOAT_EQ(vl::Shape().getSize(), c.shape_size);
        EXPECT_EQ(vl::spacesToPixels(vl::Vector(-0.5f, 2.25f)),
                  vl::Vector(-0.5f * c.cell_w, 2.25f * c.cell_h));
        const vl::Vector spaces = vl::pixelsToSpaces(vl::Vector(3 * c.cell_w, 5 * c.cell_h));
        EXPECT_FLOAT_EQ(spaces.getX(), 3.0f);
        EXPECT_FLOAT_EQ(spaces.getY(), 5.0f);
        display().shutDown();
    }
}

// Drawing is refused and reported while the display is not running; headless, it fills the cells.
TEST(DisplayStartUp, HeadlessDrawingFillsTheCellsAndRefusesWhileNotRunning) {
    vltest::LoggedConfig config("headless:true");
    display().shutDown();
    EXPECT_EQ(display().drawCharacter(vl::Vector(1, 1), 'x', 1, 2, 3), -1);
    EXPECT_EQ(display().drawString(vl::Vector(1, 1), "ab", vl::LEFT, vl::BLUE), -1);
    EXPECT_EQ(display().swapBuffers(), -1);
    ASSERT_EQ(display().startUp(), 0);
    EXPECT_EQ(display().getWindow(), nullptr);
    EXPECT_FALSE(display().setBackgroundColor(vl::WHITE));
    display().setViewCorner(vl::Vector(10, 0));
    // Halves round up, to the nearest cell; the view's corner is column 0.
    EXPECT_EQ(display().drawCharacter(vl::Vector(10.5f, 1.49f), 'x', 1, 2, 3), 0);
    EXPECT_EQ(display().drawString(vl::Vector(14, 2), "hello", vl::CENTER, vl::GREEN), 0);
    EXPECT_EQ(display().drawCharacter(vl::Vector(9.4f, 0), 'y', vl::RED), 0);  // left of the view
    const vl::CellGrid& cells = display().getCells();
    EXPECT_EQ(cells.at(1, 1), (vl::CellGrid::Cell{'x', vl::toRgb(1, 2, 3), 0xffffff}));
    std::string row;
    for (int column = 0; column < 8; column++) {
        row += cells.at(column, 2).ch;
    }
    EXPECT_EQ(row, "  hello ");
    EXPECT_EQ(cells.at(0, 0).ch, ' ');
    EXPECT_EQ(display().swapBuffers(), 0);
    EXPECT_EQ(display().getCells().at(1, 1), (vl::CellGrid::Cell{' ', 0xffffff, 0xffffff}));
    display().shutDown();
    EXPECT_EQ(vltest::countLines(vltest::logMessages(config.log()), "DisplayManager not started!"), 3);
}

TEST(DisplayStartUp, ZeroCharacterCellsAreRefusedRatherThanDividedBy) {
    vltest::LoggedConfig config("headless:true,window_horizontal_chars:0");
    EXPECT_EQ(display().startUp(), -1);
    EXPECT_FALSE(display().isStarted());
    EXPECT_NE(config.log().find("DisplayManager::startUp(): Error! Window of 1024 x 768 pixels and 0 x 24 "
                                "characters is not valid."),
              std::string::npos);
}

TEST(DisplayStartUp, WithoutAnXDisplayFailsWithTheWindowMessageAndAHint) {
    unsetenv("DISPLAY");
    vltest::LoggedConfig config("headless:false");
    vltest::StderrCapture capture;
    EXPECT_EQ(display().startUp(), -1);
    EXPECT_NE(capture.finish().find("xvfb-run"), std::string::npos);
    EXPECT_NE(config.log().find("Cannot open X display '(unset)'."), std::string::npos);
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
