// SPDX-License-Identifier: MIT
// The display in a real 1024 x 768 window under Xvfb: characters, strings, sprites and shapes land in the
// right pixels, and the batched picture matches the character-by-character one.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Texture.hpp>

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

std::string windowTitle() {
    return "vltest-display-" + std::to_string(getpid());
}

vl::DisplayManager& display() {
    return vl::DisplayManager::getInstance();
}

// Opens the display in a real window and waits until the X server shows it.
class DisplayWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(display().startUp(), 0) << m_config.log();
        ASSERT_NE(display().getWindow(), nullptr);
        m_window_id = vltest::waitForWindow(windowTitle());
        ASSERT_FALSE(m_window_id.empty()) << "the window never became visible";
        ASSERT_TRUE(m_font.loadFromFile(vltest::sourcePath("vl-font.ttf")));
    }

    void TearDown() override { display().shutDown(); }

    // The frame drawn so far, read back from the window before it is shown; then shows it and clears.
    sf::Image capture() { return vltest::captureFrame(); }

    sf::Image captureOf(const std::function<void()>& draw) {
        draw();
        return capture();
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

    vltest::LoggedConfig m_config{"headless:false,window_horizontal_pixels:1024,window_vertical_pixels:768,"
                                  "window_horizontal_chars:80,window_vertical_chars:24,font_scale:2.0,"
                                  "window_background_color:black,window_title:" +
                                  windowTitle()};
    sf::Font m_font;
    std::string m_window_id;
};

int countPixels(const sf::Image& image, sf::IntRect area, const std::function<bool(sf::Color)>& test) {
    int count = 0;
    for (int y = area.top; y < area.top + area.height; y++) {
        for (int x = area.left; x < area.left + area.width; x++) {
            if (x >= 0 && y >= 0 && x < 1024 && y < 768 &&
                test(image.getPixel(static_cast<unsigned>(x), static_cast<unsigned>(y)))) {
                count++;
            }
        }
    }
    return count;
}

bool isBlack(sf::Color c) {
    return c.r == 0 && c.g == 0 && c.b == 0;
}

// Pixels that differ at all, and pixels that differ by more than one level in some channel.
struct Difference {
    int any = 0;
    int large = 0;
};

Difference compare(const sf::Image& a, const sf::Image& b) {
    Difference difference;
    for (unsigned y = 0; y < 768; y++) {
        for (unsigned x = 0; x < 1024; x++) {
            const sf::Color p = a.getPixel(x, y);
            const sf::Color q = b.getPixel(x, y);
            const int largest = std::max({std::abs(p.r - q.r), std::abs(p.g - q.g), std::abs(p.b - q.b)});
            difference.any += largest > 0 ? 1 : 0;
            difference.large += largest > 1 ? 1 : 0;
        }
    }
    return difference;
}

int countPixelsDiffering(const sf::Image& a, const sf::Image& b) {
    return compare(a, b).any;
}

// A scene using every kind of drawing: all colours, each justification, a sprite with transparency and
// each shape, partly over each other.
void drawScene(vl::Sprite& sprite) {
    for (int c = 0; c < 8; c++) {
        display().drawCharacter(vl::Vector(static_cast<float>(2 + c), 1), static_cast<char>('A' + c),
                                static_cast<vl::Color>(c));
    }
    display().drawCharacter(vl::Vector(12, 1), '@', 40, 160, 220);
    display().drawString(vl::Vector(40, 3), "LEFT aligned", vl::LEFT, vl::YELLOW);
    display().drawString(vl::Vector(40, 4), "centred text", vl::CENTER, vl::CYAN);
    display().drawString(vl::Vector(40, 5), "right aligned", vl::RIGHT, vl::MAGENTA);
    vl::Shape circle;
    circle.setColor(200, 30, 90);
    circle.setSize(60);
    circle.draw(vl::Vector(20, 12));
    sprite.draw(0, vl::Vector(22, 13), sprite.getTransparency());
    vl::Shape square;
    square.setType(vl::SQUARE);
    square.setColor(vl::GREEN);
    square.setSize(40);
    square.draw(vl::Vector(50, 15));
    vl::Shape triangle;
    triangle.setType(vl::TRIANGLE);
    triangle.setColor(vl::BLUE);
    triangle.setOpacity(160);
    triangle.setSize(50);
    triangle.draw(vl::Vector(51, 15));
    display().drawString(vl::Vector(0, 23), "~!#$%^&*()_+{}|:<>?`-=[];',./\\\"", vl::LEFT, vl::WHITE);
}

vl::Sprite* makeScrollSprite() {
    auto* p_sprite = new vl::Sprite(1);
    p_sprite->setWidth(5);
    p_sprite->setHeight(3);
    p_sprite->setColor(vl::YELLOW);
    p_sprite->setTransparency('#');
    p_sprite->pushFrame(vl::Frame(5, 3, "#/-\\#|o o|#\\_/#"));
    return p_sprite;
}

}  // namespace

TEST_F(DisplayWindow, CharactersAreDrawnInTheirOwnColourInsideTheirCells) {
    const sf::Image image = captureOf([] {
        display().drawCharacter(vl::Vector(2, 3), 'X', vl::RED);
        display().drawCharacter(vl::Vector(10, 5), 'H', vl::GREEN);
        display().drawCharacter(vl::Vector(20, 10), 'W', 40, 160, 220);
    });
    const struct {
        char ch;
        float x, y;
        sf::Color color;
    } drawn[] = {
        {'X', 2, 3, sf::Color::Red}, {'H', 10, 5, sf::Color::Green}, {'W', 20, 10, sf::Color(40, 160, 220)}};
    int ink_total = 0;
    for (const auto& d : drawn) {
        const sf::IntRect box = glyphBox(d.ch, d.x, d.y);
        const int exact = countPixels(image, box, [&](sf::Color c) { return c == d.color; });
        EXPECT_GT(exact, 30) << d.ch;  // the strokes of a bold 25-pixel glyph
        ink_total += countPixels(image, box, [](sf::Color c) { return !isBlack(c); });
    }
    // Everything outside the three glyph boxes is background.
    const int lit = countPixels(image, sf::IntRect(0, 0, 1024, 768), [](sf::Color c) { return !isBlack(c); });
    EXPECT_EQ(lit, ink_total);
    EXPECT_GT(lit, 100);
}

TEST_F(DisplayWindow, BackgroundRectangleSitsATenthLeftAndAFifthDown) {
    const sf::Image image = captureOf([] {
        vl::Shape backdrop;  // a large magenta figure for the cell's background to cover
        backdrop.setColor(255, 0, 255);
        backdrop.setSize(200);
        backdrop.draw(vl::Vector(8, 2));
        display().drawCharacter(vl::Vector(10, 5), ' ', vl::WHITE);
    });
    // Corner at (128 - 1.28, 160 + 6.4), one cell in size: pixel centres 127.5..139.5 and 166.5..197.5.
    const sf::IntRect cell(127, 166, 13, 32);
    EXPECT_EQ(countPixels(image, cell, isBlack), 13 * 32);
    const sf::IntRect ring(125, 164, 17, 36);
    EXPECT_EQ(countPixels(image, ring, [](sf::Color c) { return c == sf::Color::Magenta; }),
              17 * 36 - 13 * 32);
}

TEST_F(DisplayWindow, StringsAreJustifiedAroundTheirPosition) {
    const sf::Image centred =
        captureOf([] { display().drawString(vl::Vector(10, 4), "HELLO", vl::CENTER, vl::RED); });
    const sf::Image centred_by_hand = captureOf([] {
        for (int i = 0; i < 5; i++) {
            display().drawCharacter(vl::Vector(static_cast<float>(8 + i), 4), "HELLO"[i], vl::RED);
        }
    });
    EXPECT_EQ(countPixelsDiffering(centred, centred_by_hand), 0);

    const sf::Image even =
        captureOf([] { display().drawString(vl::Vector(10, 6), "ABCD", vl::CENTER, vl::RED); });
    const sf::Image even_by_hand = captureOf([] {
        for (int i = 0; i < 4; i++) {
            display().drawCharacter(vl::Vector(static_cast<float>(8 + i), 6), "ABCD"[i], vl::RED);
        }
    });
    EXPECT_EQ(countPixelsDiffering(even, even_by_hand), 0);

    const sf::Image right =
        captureOf([] { display().drawString(vl::Vector(10, 8), "abc", vl::RIGHT, vl::GREEN); });
    const sf::Image right_by_hand = captureOf([] {
        for (int i = 0; i < 3; i++) {
            display().drawCharacter(vl::Vector(static_cast<float>(7 + i), 8), "abc"[i], vl::GREEN);
        }
    });
    EXPECT_EQ(countPixelsDiffering(right, right_by_hand), 0);

    const sf::Image left =
        captureOf([] { display().drawString(vl::Vector(10, 8), "abc", vl::LEFT, vl::GREEN); });
    EXPECT_GT(countPixelsDiffering(left, right), 100);  // the comparisons above can tell positions apart

    const sf::Image blank = captureOf([] {});
    const sf::Image empty =
        captureOf([] { EXPECT_EQ(display().drawString(vl::Vector(10, 8), "", vl::CENTER, vl::RED), 0); });
    EXPECT_EQ(countPixelsDiffering(blank, empty), 0);
}

TEST_F(DisplayWindow, FramesAreCentredOnTheirPosition) {
    const vl::Frame frame(3, 2, "abcdef");
    const sf::Image drawn = captureOf([&] { EXPECT_EQ(frame.draw(vl::Vector(10, 5), vl::CYAN, 0), 0); });
    const sf::Image by_hand = captureOf([] {
        const char* const characters = "abcdef";
        for (int i = 0; i < 6; i++) {
            display().drawCharacter(vl::Vector(static_cast<float>(9 + i % 3), static_cast<float>(4 + i / 3)),
                                    characters[i], vl::CYAN);
        }
    });
    EXPECT_EQ(countPixelsDiffering(drawn, by_hand), 0);
    const sf::Image shifted = captureOf([&] { frame.draw(vl::Vector(10, 5.5f), vl::CYAN, 0); });
    EXPECT_GT(countPixelsDiffering(drawn, shifted), 100);

    // Even widths straddle the position on half cells.
    const vl::Frame wide(4, 1, "wxyz");
    const sf::Image wide_drawn = captureOf([&] { wide.draw(vl::Vector(20, 10), vl::WHITE, 0); });
    const sf::Image wide_by_hand = captureOf([] {
        for (int i = 0; i < 4; i++) {
            display().drawCharacter(vl::Vector(18.5f + static_cast<float>(i), 10), "wxyz"[i], vl::WHITE);
        }
    });
    EXPECT_EQ(countPixelsDiffering(wide_drawn, wide_by_hand), 0);
}

TEST_F(DisplayWindow, TransparentCharactersLeaveWhatIsBeneath) {
    std::unique_ptr<vl::Sprite> p_sprite(makeScrollSprite());
    const auto backdrop = [] {
        vl::Shape figure;
        figure.setColor(255, 0, 255);
        figure.setSize(200);
        figure.draw(vl::Vector(8, 2));
    };
    const sf::Image drawn = captureOf([&] {
        backdrop();
        EXPECT_EQ(p_sprite->draw(0, vl::Vector(11, 5), '#'), 0);
    });
    const sf::Image by_hand = captureOf([&] {
        backdrop();
        const std::string rows = p_sprite->getFrame(0).getString();
        for (int i = 0; i < 15; i++) {
            if (rows[static_cast<size_t>(i)] != '#') {
                display().drawCharacter(
                    vl::Vector(static_cast<float>(9 + i % 5), static_cast<float>(4 + i / 5)),
                    rows[static_cast<size_t>(i)], vl::YELLOW);
            }
        }
    });
    EXPECT_EQ(countPixelsDiffering(drawn, by_hand), 0);
    // Cell (9, 4) is transparent: the figure shows through its middle. Cell (10, 5) holds a space: blanked.
    EXPECT_EQ(drawn.getPixel(static_cast<unsigned>(9 * CELL_W + 8), static_cast<unsigned>(4 * CELL_H + 30)),
              sf::Color::Magenta);
    EXPECT_EQ(drawn.getPixel(static_cast<unsigned>(11 * CELL_W + 6), static_cast<unsigned>(5 * CELL_H + 20)),
              sf::Color::Black);
    // Without the transparency character the whole frame blanks its cells.
    const sf::Image opaque = captureOf([&] {
        backdrop();
        p_sprite->draw(0, vl::Vector(11, 5), 0);
    });
    EXPECT_EQ(opaque.getPixel(static_cast<unsigned>(9 * CELL_W + 8), static_cast<unsigned>(4 * CELL_H + 30)),
              sf::Color::Black);
}

TEST_F(DisplayWindow, ShapesAreFilledWhereTheirGeometryPutsThem) {
    const sf::Image image = captureOf([] {
        vl::Shape circle;
        circle.setColor(vl::RED);
        circle.setSize(40);
        circle.draw(vl::Vector(10, 5));  // pixel (128, 160): a radius-40 figure with its corner 20 up-left
        vl::Shape square;
        square.setType(vl::SQUARE);
        square.setColor(vl::GREEN);
        square.setSize(40);
        square.draw(vl::Vector(40, 5));  // pixel (512, 160)
        vl::Shape triangle;
        triangle.setType(vl::TRIANGLE);
        triangle.setColor(vl::BLUE);
        triangle.setSize(40);
        triangle.draw(vl::Vector(60, 15));  // pixel (768, 480)
        vl::Shape faint;
        faint.setColor(vl::WHITE);
        faint.setOpacity(128);
        faint.setSize(20);
        faint.draw(vl::Vector(20, 20));  // pixel (256, 640)
        vl::Shape hidden;                // drawn last: it must not repeat the faint figure, fully opaque
        hidden.setType(vl::UNDEFINED);
        hidden.draw(vl::Vector(70, 2));
    });
    EXPECT_EQ(image.getPixel(148, 180), sf::Color::Red);    // the figure's centre
    EXPECT_EQ(image.getPixel(100, 180), sf::Color::Black);  // left of it
    EXPECT_EQ(image.getPixel(532, 165), sf::Color::Green);  // the turned square's centre
    EXPECT_EQ(image.getPixel(512, 120), sf::Color::Black);
    EXPECT_EQ(image.getPixel(768, 480), sf::Color::Blue);
    EXPECT_EQ(image.getPixel(768, 440), sf::Color::Black);
    const sf::Color half = image.getPixel(266, 650);
    EXPECT_NEAR(half.r, 128, 2);
    EXPECT_EQ(half.r, half.g);
    const int square_row =
        countPixels(image, sf::IntRect(480, 165, 80, 1), [](sf::Color c) { return c == sf::Color::Green; });
    EXPECT_NEAR(square_row, 28, 2);  // a diamond of radius 20 turned 45 degrees: sides of 20 x sqrt(2)
    const int nothing_else =
        countPixels(image, sf::IntRect(800, 0, 224, 200), [](sf::Color c) { return !isBlack(c); });
    EXPECT_EQ(nothing_else, 0);
}

TEST_F(DisplayWindow, SwapShowsTheFrameAndClearsToTheBackgroundColour) {
    display().drawString(vl::Vector(5, 5), "frame one", vl::LEFT, vl::WHITE);
    EXPECT_EQ(display().swapBuffers(), 0);
    const sf::Image cleared = capture();
    EXPECT_EQ(countPixels(cleared, sf::IntRect(0, 0, 1024, 768), [](sf::Color c) { return !isBlack(c); }), 0);

    EXPECT_TRUE(display().setBackgroundColor(vl::BLUE));
    display().swapBuffers();
    const sf::Image blue = captureOf([] { display().drawCharacter(vl::Vector(3, 3), ' ', vl::RED); });
    EXPECT_EQ(
        countPixels(blue, sf::IntRect(0, 0, 1024, 768), [](sf::Color c) { return c == sf::Color::Blue; }),
        1024 * 768);
}

TEST_F(DisplayWindow, ShownFrameIsWhatTheWindowDisplays) {
    std::unique_ptr<vl::Sprite> p_sprite(makeScrollSprite());
    drawScene(*p_sprite);
    display().flush();
    sf::Texture texture;
    texture.create(1024, 768);
    texture.update(*display().getWindow());
    const sf::Image drawn = texture.copyToImage();
    ASSERT_EQ(display().swapBuffers(), 0);
    const std::string shot = vltest::tempPath("shown.png");
    ASSERT_EQ(std::system(("import -window " + m_window_id + " " + shot).c_str()), 0);
    sf::Image shown;
    ASSERT_TRUE(shown.loadFromFile(shot));
    ASSERT_EQ(shown.getSize(), sf::Vector2u(1024, 768));
    EXPECT_EQ(countPixelsDiffering(drawn, shown), 0);
}

TEST_F(DisplayWindow, BatchedPictureMatchesCharacterByCharacterPicture) {
    std::unique_ptr<vl::Sprite> p_sprite(makeScrollSprite());
    display().setBatching(true);
    const sf::Image batched = captureOf([&] { drawScene(*p_sprite); });
    display().setBatching(false);
    const sf::Image direct = captureOf([&] { drawScene(*p_sprite); });
    const Difference difference = compare(batched, direct);
    EXPECT_EQ(difference.large, 0);
    EXPECT_LE(difference.any, 20);

    // A full screen of characters, each over its neighbours' overhang.
    const auto full_screen = [] {
        for (int y = 0; y < 24; y++) {
            for (int x = 0; x < 80; x++) {
                display().drawCharacter(vl::Vector(static_cast<float>(x), static_cast<float>(y)),
                                        static_cast<char>(33 + (x * 7 + y * 13) % 94),
                                        static_cast<vl::Color>(1 + (x + y) % 7));
            }
        }
    };
    display().setBatching(true);
    const sf::Image batched_full = captureOf(full_screen);
    display().setBatching(false);
    const sf::Image direct_full = captureOf(full_screen);
    const Difference full_difference = compare(batched_full, direct_full);
    EXPECT_EQ(full_difference.large, 0);
    // Squeezed glyphs are resampled: corners placed by the processor and by the graphics pipeline differ
    // in their last bits, which moves a few hundred edge pixels by one level.
    EXPECT_LE(full_difference.any, 300);
    EXPECT_GT(
        countPixels(batched_full, sf::IntRect(0, 0, 1024, 768), [](sf::Color c) { return !isBlack(c); }),
        50000);
}
