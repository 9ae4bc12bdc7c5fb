// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "PresentationSupport.h"
#include <veltrane/graphics/DisplayManager.h>

TEST(DisplayDesktopSize, AZeroWidthTakesTheDesktopsAndGlyphsFollowItsCells) {
    const vltest::LoggedConfig config("headless:false,window_horizontal_pixels:0,window_vertical_pixels:768,"
                                      "window_horizontal_chars:80,window_vertical_chars:24,font_scale:1.0");
    vl::DisplayManager& display = vl::DisplayManager::getInstance();
    ASSERT_EQ(display.startUp(), 0) << config.log();
    const int width = display.getHorizontalPixels();
    EXPECT_GE(width, 80);
    // One times the narrower side of a cell: the desktop's width over 80 columns.
    EXPECT_EQ(display.getCharacterSize(), static_cast<unsigned int>(width / 80));
    display.shutDown();
}
