// SPDX-License-Identifier: MIT
// The display in a real 1024 x 768 window under Xvfb: drawing lands in the right pixels, and batching and
// culling hidden backgrounds leave the picture drawing one character at a time gives.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
#include <string>

#include <SFML/Graphics/CircleShape.hpp>
#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/RenderWindow.hpp>

#include "PresentationSupport.h"
#include "TestSupport.h"
#include <veltrane/graphics/DisplayManager.h>
#include <veltrane/graphics/Frame.h>
#include <veltrane/graphics/Shape.h>
#include <veltrane/graphics/Sprite.h>

namespace {

const float CELL_W = 12.8f;
const float CELL_H = 32.0f;
const unsigned int CHARACTER_SIZE = 25;  // 2.0 x 12.8
const sf::IntRect WHOLE(0, 0, 1024, 768);

std::string windowTitle() {
    return "vltest-display-" + std::to_string(getpid());
}

vl::DisplayManager& display() {
    return vl::DisplayManager::getInstance();
}

// Opens the display in a real window on the given background and waits until the X server shows it.
class DisplayWindow : public ::testing::Test {
protected:
    DisplayWindow()
        : m_config("headless:false,window_horizontal_pixels:1024,window_vertical_pixels:768,"
                   "window_horizontal_chars:80,window_vertical_chars:24,font_scale:2.0,"
                   "window_background_color:black,window_title:" +
                   windowTitle()) {}

    void SetUp() override {
        ASSERT_EQ(display().startUp(), 0) << m_config.log();
        ASSERT_NE(display().getWindow(), nullptr);
        ASSERT_FALSE(vltest::waitForWindow(windowTitle()).empty()) << "the window never became visible";
        ASSERT_TRUE(m_font.loadFromFile(vltest::sourcePath("vl-font.ttf")));
    }

    void TearDown() override { display().shutDown(); }

    static sf::Image captureOf(const std::function<void()>& draw) {
        draw();
        return vltest::captureFrame();
    }

    // The pixels a glyph's ink may cover when drawn at a cell.
    sf::IntRect glyphBox(char ch, float cell_x, float cell_y) const {
        const sf::Glyph& glyph = m_font.getGlyph(static_cast<unsigned char>(ch), CHARACTER_SIZE, true);
        const float scale = display().getGlyphScale();
        const float x = cell_x * CELL_W + glyph.bounds.left * scale - 1;
        const float y = cell_y * CELL_H + static_cast<float>(CHARACTER_SIZE) + glyph.bounds.top - 1;
        return sf::IntRect(static_cast<int>(std::floor(x)), static_cast<int>(std::floor(y)),
                           static_cast<int>(std::ceil(glyph.bounds.width * scale)) + 3,
                           static_cast<int>(std::ceil(glyph.bounds.height)) + 3);
    }

    vltest::LoggedConfig m_config;
    sf::Font m_font;
};

int countPixels(const sf::Image& image, sf::IntRect area, const std::function<bool(sf::Color)>& test) {
    int count = 0;
    for (int y = std::max(area.top, 0); y < std::min(area.top + area.height, 768); y++) {
        for (int x = std::max(area.left, 0); x < std::min(area.left + area.width, 1024); x++) {
            count += test(image.getPixel(static_cast<unsigned>(x), static_cast<unsigned>(y))) ? 1 : 0;
        }
    }
    return count;
}

bool isNotBlack(sf::Color c) {
    return c.r != 0 || c.g != 0 || c.b != 0;
}

// A large magenta figure for backgrounds and transparent cells to show against.
void drawBackdrop() {
    vl::Shape figure;
    figure.setColor(255, 0, 255);
    figure.setSize(200);
    figure.draw(vl::Vector(8, 2));
}

// A full screen of characters, each over its neighbours' overhang.
void drawFullScreen() {
    for (int y = 0; y < 24; y++) {
        for (int x = 0; x < 80; x++) {
            display().drawCharacter(vl::Vector(static_cast<float>(x), static_cast<float>(y)),
                                    static_cast<char>(33 + (x * 7 + y * 13) % 94),
                                    static_cast<vl::Color>((x + y) % 7));
        }
    }
}

// Characters crowded at whole and fractional cells, over each other and off the edges, with words,
// figures and a few turned characters among them.
void drawCrowd(unsigned int seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> column(-2, 82);
    std::uniform_real_distribution<float> row(-1, 25);
    for (int i = 0; i < 900; i++) {
        vl::Vector at(column(rng), row(rng));
        if (i % 4 != 0) {  // most things in a game sit on whole cells
            at = vl::Vector(std::trunc(at.getX()), std::trunc(at.getY()));
        }
        const float rotation = i % 97 == 0 ? 30.0f * static_cast<float>(i % 5) : 0;
        display().drawCharacter(at, static_cast<char>(33 + rng() % 94), static_cast<vl::Color>(i % 8),
                                rotation);
        if (i % 150 == 0) {
            display().drawString(at, "Every thing here lives twice", vl::LEFT, vl::BLUE);
            sf::CircleShape circle(30);
            circle.setPosition(at.getX() * CELL_W, at.getY() * CELL_H);
            circle.setFillColor(sf::Color(200, 30, 90));
            display().drawShape(circle);
        }
    }
}

// Quads are cut to the window so that the rasteriser never clips them.
void drawAcrossTheEdges() {
    for (int i = 0; i < 80; i++) {
        const float at = static_cast<float>(i);
        const float shift = static_cast<float>(i % 4) * 0.25f;
        if (i < 24) {
            display().drawCharacter(vl::Vector(-0.75f + shift, at), 'M', vl::RED);
            display().drawCharacter(vl::Vector(79.25f + shift, at), 'W', vl::BLUE);
        }
        display().drawCharacter(vl::Vector(at, -0.75f + shift), '#', vl::GREEN);
        display().drawCharacter(vl::Vector(at, 23.0f + shift), '@', vl::MAGENTA);
    }
}

void drawBackgroundChanges() {
    display().setBackgroundColor(vl::WHITE);
    display().drawString(vl::Vector(10, 5), "before the change", vl::LEFT, vl::RED);
    display().setBackgroundColor(vl::BLACK);
    display().drawString(vl::Vector(12, 5), "after", vl::LEFT, vl::YELLOW);
    display().drawString(vl::Vector(40, 12), "alone on black", vl::LEFT, vl::GREEN);
    display().setBackgroundColor(vl::WHITE);
    display().drawString(vl::Vector(41, 12), "white again", vl::LEFT, vl::BLUE);
}

void drawStraightIntoTheWindow() {
    display().setBatching(false);
    sf::RectangleShape block(sf::Vector2f(300, 200));
    block.setPosition(100, 100);
    block.setFillColor(sf::Color::Magenta);
    display().getWindow()->draw(block);
    display().setBatching(true);
    display().drawString(vl::Vector(10, 4), "over the block", vl::LEFT, vl::BLACK);
}

}  // namespace

TEST_F(DisplayWindow, CharactersAreDrawnInTheirOwnColourInsideTheirCells) {
    const struct {
        char ch;
        float x, y;
        sf::Color color;
    } drawn[] = {
        {'X', 2, 3, sf::Color::Red}, {'H', 10, 5, sf::Color::Green}, {'W', 20, 10, sf::Color(40, 160, 220)}};
    const sf::Image image = captureOf([] {
        display().drawCharacter(vl::Vector(2, 3), 'X', vl::RED);
        display().drawCharacter(vl::Vector(10, 5), 'H', vl::GREEN);
        display().drawCharacter(vl::Vector(20, 10), 'W', 40, 160, 220);
    });
    int ink_total = 0;
    for (const auto& d : drawn) {
        const sf::IntRect box = glyphBox(d.ch, d.x, d.y);
        EXPECT_GT(countPixels(image, box, [&](sf::Color c) { return c == d.color; }), 30) << d.ch;
        ink_total += countPixels(image, box, isNotBlack);
    }
    // Everything outside the three glyph boxes is background.
    const int lit = countPixels(image, WHOLE, isNotBlack);
    EXPECT_EQ(lit, ink_total);
    EXPECT_GT(lit, 100);
}

TEST_F(DisplayWindow, BackgroundRectangleSitsATenthLeftAndAFifthDown) {
    const sf::Image image = captureOf([] {
        drawBackdrop();
        display().drawCharacter(vl::Vector(10, 5), ' ', vl::WHITE);
    });
    // Corner at (128 - 1.28, 160 + 6.4), one cell in size: pixel centres 127.5..139.5 and 166.5..197.5.
    EXPECT_EQ(countPixels(image, sf::IntRect(127, 166, 13, 32), isNotBlack), 0);
    EXPECT_EQ(countPixels(image, sf::IntRect(125, 164, 17, 36),
                          [](sf::Color c) { return c == sf::Color::Magenta; }),
              17 * 36 - 13 * 32);
}

// Strings are justified and frames centred on their position (of two middle columns or rows the right or
// lower one is on it); a sprite's transparent characters leave what is beneath, its spaces blank.
TEST_F(DisplayWindow, StringsFramesAndSpritesLandInTheCellsDrawnOneByOne) {
    vl::Sprite sprite(1);
    sprite.setColor(vl::YELLOW);
    EXPECT_EQ(0, sprite.pushFrame(vl::Frame(5, 3, "#/-\\#|o o|#\\_/#")));
    const vl::Vector at(10, 5);
    const struct {
        std::function<int()> draw;
        std::string cells;  // drawn one by one, row by row, from the first cell
        float first_x, first_y;
        size_t width;
        char transparency;
    } cases[] = {
        {[&] { return display().drawString(at, "HELLO", vl::CENTER, vl::YELLOW); }, "HELLO", 8, 5, 5, 0},
        {[&] { return display().drawString(at, "ABCD", vl::CENTER, vl::YELLOW); }, "ABCD", 8, 5, 4, 0},
        {[&] { return display().drawString(at, "abc", vl::RIGHT, vl::YELLOW); }, "abc", 7, 5, 3, 0},
        {[&] { return display().drawString(at, "abc", vl::LEFT, vl::YELLOW); }, "abc", 10, 5, 3, 0},
        {[&] { return display().drawString(at, "", vl::CENTER, vl::YELLOW); }, "", 10, 5, 1, 0},
        {[&] { return vl::Frame(3, 2, "abcdef").draw(at, vl::YELLOW, 0); }, "abcdef", 9, 4, 3, 0},
        {[&] { return vl::Frame(4, 1, "wxyz").draw(at, vl::YELLOW, 0); }, "wxyz", 8, 5, 4, 0},
        {[&] { return sprite.draw(0, at, '#'); }, sprite.getFrame(0).getString(), 8, 4, 5, '#'},
        {[&] { return sprite.draw(0, at, 0); }, sprite.getFrame(0).getString(), 8, 4, 5, 0},
    };
    const sf::Image backdrop = captureOf(drawBackdrop);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cells);
        const sf::Image drawn = captureOf([&] {
            drawBackdrop();
            EXPECT_EQ(c.draw(), 0);
        });
        const sf::Image by_hand = captureOf([&] {
            drawBackdrop();
            for (size_t i = 0; i < c.cells.size(); i++) {
                if (c.cells[i] != c.transparency) {
                    const vl::Vector cell(c.first_x + static_cast<float>(i % c.width),
                                          c.first_y + static_cast<float>(i / c.width));
                    display().drawCharacter(cell, c.cells[i], vl::YELLOW);
                }
            }
        });
        EXPECT_EQ(vltest::differingPixels(drawn, by_hand), 0);
        EXPECT_EQ(vltest::differingPixels(drawn, backdrop) > 100, !c.cells.empty());
    }
}

// A UNDEFINED shape is drawn last: it must not repeat the faint figure, fully opaque.
TEST_F(DisplayWindow, ShapesAreFilledWhereTheirGeometryPutsThem) {
    const struct {
        int type;
        vl::Color color;
        float size;
        unsigned char opacity;
        vl::Vector at;
    } shapes[] = {{vl::CIRCLE, vl::RED, 40, 255, vl::Vector(10, 5)},  // pixel (128, 160), corner 20 up-left
                  {vl::SQUARE, vl::GREEN, 40, 255, vl::Vector(40, 5)},
                  {vl::TRIANGLE, vl::BLUE, 40, 255, vl::Vector(60, 15)},
                  {vl::CIRCLE, vl::WHITE, 20, 128, vl::Vector(20, 20)},
                  {vl::UNDEFINED, vl::WHITE, 20, 255, vl::Vector(70, 2)}};
    const sf::Image image = captureOf([&] {
        for (const auto& s : shapes) {
            vl::Shape shape;
            shape.setType(s.type);
            shape.setColor(s.color);
            shape.setSize(s.size);
            shape.setOpacity(s.opacity);
            shape.draw(s.at);
        }
    });
    EXPECT_EQ(image.getPixel(148, 180), sf::Color::Red);  // the figure's centre
    EXPECT_EQ(image.getPixel(100, 180), sf::Color::Black);
    EXPECT_EQ(image.getPixel(532, 165), sf::Color::Green);  // the turned square's centre
    EXPECT_EQ(image.getPixel(512, 120), sf::Color::Black);
    EXPECT_EQ(image.getPixel(768, 480), sf::Color::Blue);
    EXPECT_EQ(image.getPixel(768, 440), sf::Color::Black);
    const sf::Color half = image.getPixel(266, 650);
    EXPECT_NEAR(half.r, 128, 2);
    EXPECT_EQ(half.r, half.g);
    // A diamond of radius 20 turned 45 degrees: sides of 20 x sqrt(2).
    EXPECT_NEAR(
        countPixels(image, sf::IntRect(480, 165, 80, 1), [](sf::Color c) { return c == sf::Color::Green; }),
        28, 2);
    EXPECT_EQ(countPixels(image, sf::IntRect(800, 0, 224, 200), isNotBlack), 0);
}

TEST_F(DisplayWindow, SwapShowsTheFrameAndClearsToTheBackgroundColour) {
    display().drawString(vl::Vector(5, 5), "frame one", vl::LEFT, vl::WHITE);
    EXPECT_EQ(display().swapBuffers(), 0);
    EXPECT_EQ(countPixels(captureOf([] {}), WHOLE, isNotBlack), 0);
    EXPECT_TRUE(display().setBackgroundColor(vl::BLUE));
    display().swapBuffers();
    const sf::Image blue = captureOf([] { display().drawCharacter(vl::Vector(3, 3), ' ', vl::RED); });
    EXPECT_EQ(countPixels(blue, WHOLE, [](sf::Color c) { return c == sf::Color::Blue; }), 1024 * 768);
}

// Text runs hide each glyph's overhang under the next cell's background, so those strips stay; a
// background colour changed mid-frame, or anything drawn straight into the window, makes them whole. On
// white, hidden backgrounds are what culling leaves out.
TEST_F(DisplayWindow, BatchedAndCulledPicturesMatchDrawingOneByOne) {
    const struct {
        const char* name;
        std::function<void()> draw;
        int tolerance;      // pixels one level off the one-by-one picture
        bool batched_only;  // the scene switches batching itself
    } scenes[] = {
        // Squeezed glyphs are resampled: corners placed by the processor and by the graphics pipeline
        // differ in their last bits, which moves a few hundred edge pixels by one level.
        {"full screen", drawFullScreen, 300, false},
        {"across the edges", drawAcrossTheEdges, 50, false},
        {"crowd 1", [] { drawCrowd(1); }, 300, false},
        {"background changes", drawBackgroundChanges, 20, false},
        {"straight into the window", drawStraightIntoTheWindow, 20, true},
    };
    display().setBackgroundColor(vl::WHITE);
    display().swapBuffers();
    for (const auto& s : scenes) {
        SCOPED_TRACE(s.name);
        display().setBatching(false);
        const sf::Image direct = captureOf(s.draw);
        display().setBatching(true);
        display().setCulling(false);
        const sf::Image whole = captureOf(s.draw);
        display().setCulling(true);
        const sf::Image culled = captureOf(s.draw);
        // The rasteriser may round a few blended glyph-edge pixels one level differently when less is
        // drawn beneath them; a missed overhang would differ by far more.
        EXPECT_EQ(vltest::differingPixels(culled, whole, 1), 0);
        EXPECT_LE(vltest::differingPixels(culled, whole), 20);
        if (!s.batched_only) {
            EXPECT_EQ(vltest::differingPixels(whole, direct, 1), 0);
            EXPECT_LE(vltest::differingPixels(whole, direct), s.tolerance);
        }
        EXPECT_GT(countPixels(culled, WHOLE, [](sf::Color c) { return c != sf::Color::White; }), 3000);
    }
}

// Every printable character in every other cell, alone and then followed by a space in the next cell
// as the next character of a sprite or string would be: the space must cut nothing off.
TEST_F(DisplayWindow, NoGlyphReachesIntoTheNextCell) {
    sf::Image pictures[2];
    for (int blank_after = 0; blank_after < 2; blank_after++) {
        pictures[blank_after] = captureOf([&] {
            for (int c = '!'; c <= '~'; c++) {
                const vl::Vector cell(static_cast<float>(2 * ((c - '!') % 39) + 1),
                                      static_cast<float>((c - '!') / 39));
                display().drawCharacter(cell, static_cast<char>(c), vl::WHITE);
                display().drawString(cell + vl::Vector(1, 0), blank_after != 0 ? " " : "", vl::LEFT,
                                     vl::WHITE);
            }
        });
    }
    EXPECT_EQ(vltest::differingPixels(pictures[0], pictures[1]), 0);
    EXPECT_GT(countPixels(pictures[0], WHOLE, isNotBlack), 94 * 30);  // the glyphs are still drawn
}

TEST(DisplayDesktopSize, AZeroWidthTakesTheDesktopsAndGlyphsFollowItsCells) {
    const vltest::LoggedConfig config("headless:false,window_horizontal_pixels:0,window_vertical_pixels:768,"
                                      "window_horizontal_chars:80,window_vertical_chars:24,font_scale:1.0");
    ASSERT_EQ(display().startUp(), 0) << config.log();
    const int width = display().getHorizontalPixels();
    EXPECT_GE(width, 80);
    // One times the narrower side of a cell: the desktop's width over 80 columns.
    EXPECT_EQ(display().getCharacterSize(), static_cast<unsigned int>(width / 80));
    display().shutDown();
}
