// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <SFML/Graphics/Image.hpp>

#include "PresentationSupport.h"
#include <veltrane/graphics/DisplayManager.h>

// Every printable character in every other cell, alone and then followed by a space in the next cell
// as the next character of a sprite or string would be: the space must cut nothing off.
TEST(GlyphFit, NoGlyphReachesIntoTheNextCell) {
    const vltest::LoggedConfig config(
        "headless:false,window_horizontal_pixels:1024,window_vertical_pixels:768,"
        "window_horizontal_chars:80,window_vertical_chars:24,font_scale:2.0");
    vl::DisplayManager& display = vl::DisplayManager::getInstance();
    ASSERT_EQ(display.startUp(), 0) << config.log();
    sf::Image pictures[2];
    for (int blank_after = 0; blank_after < 2; blank_after++) {
        for (int c = '!'; c <= '~'; c++) {
            const vl::Vector cell(static_cast<float>(2 * ((c - '!') % 39) + 1),
                                  static_cast<float>((c - '!') / 39));
            display.drawCharacter(cell, static_cast<char>(c), vl::WHITE);
            display.drawString(cell + vl::Vector(1, 0), blank_after != 0 ? " " : "", vl::LEFT, vl::WHITE);
        }
        pictures[blank_after] = vltest::captureFrame();
    }
    EXPECT_EQ(vltest::differingPixels(pictures[0], pictures[1]), 0);
    sf::Image black;
    black.create(1024, 768, sf::Color::Black);
    EXPECT_GT(vltest::differingPixels(pictures[0], black), 94 * 30);  // the glyphs are still drawn
    display.shutDown();
}
