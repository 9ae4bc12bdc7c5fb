// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <SFML/Graphics/Image.hpp>

#include "PresentationSupport.h"
#include <veltrane/graphics/DisplayManager.h>

namespace {

// Every printable character in every other cell of 80 x 24 cells of 12.8 x 32 pixels, each followed,
// when blank_after, by a space in the next cell as the next character of a sprite or string would be.
sf::Image printables(bool blank_after) {
    vl::DisplayManager& display = vl::DisplayManager::getInstance();
    for (int c = '!'; c <= '~'; c++) {
        const vl::Vector cell(static_cast<float>(2 * ((c - '!') % 39) + 1),
                              static_cast<float>((c - '!') / 39));
        display.drawCharacter(cell, static_cast<char>(c), vl::WHITE);
        if (blank_after) {
            display.drawCharacter(cell + vl::Vector(1, 0), ' ', vl::WHITE);
        }
    }
    return vltest::captureFrame();
}

}  // namespace

TEST(GlyphFit, NoGlyphReachesIntoTheNextCell) {
    const vltest::LoggedConfig config(
        "headless:false,window_horizontal_pixels:1024,window_vertical_pixels:768,"
        "window_horizontal_chars:80,window_vertical_chars:24,font_scale:2.0,"
        "window_background_color:black");
    vl::DisplayManager& display = vl::DisplayManager::getInstance();
    ASSERT_EQ(display.startUp(), 0) << config.log();
    const sf::Image alone = printables(false);
    const sf::Image followed = printables(true);
    int cut = 0;
    int ink = 0;
    for (unsigned int y = 0; y < 768; y++) {
        for (unsigned int x = 0; x < 1024; x++) {
            cut += alone.getPixel(x, y) != followed.getPixel(x, y) ? 1 : 0;
            ink += alone.getPixel(x, y) != sf::Color::Black ? 1 : 0;
        }
    }
    EXPECT_EQ(cut, 0);
    EXPECT_GT(ink, 94 * 30);  // the glyphs are still drawn at full height
    display.shutDown();
}
