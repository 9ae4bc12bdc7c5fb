// SPDX-License-Identifier: MIT
// The display in a real 1024 x 768 window under Xvfb: characters, strings, sprites and shapes land in the
// right pixels, the batched picture matches the character-by-character one, and a batch that leaves out
// hidden backgrounds shows the same picture as one drawing every background whole.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <memory>
#include <random>
#include <string>

#include <SFML/Graphics/CircleShape.hpp>
#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/RenderWindow.hpp>

#include "PresentationSupport.h"
#include "TestSupport.h"
#include <veltrane/graphics/BatchRenderer.h>
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

// Opens the display in a real window on the given background and waits until the X server shows it.
class DisplayWindow : public ::testing::Test {
protected:
    explicit DisplayWindow(const std::string& background = "black")
        : m_config("headless:false,window_horizontal_pixels:1024,window_vertical_pixels:768,"
                   "window_horizontal_chars:80,window_vertical_chars:24,font_scale:2.0,"
                   "window_background_color:" +
                   background + ",window_title:" + windowTitle()) {}

    void SetUp() override {
        ASSERT_EQ(display().startUp(), 0) << m_config.log();
        ASSERT_NE(display().getWindow(), nullptr);
        ASSERT_FALSE(vltest::waitForWindow(windowTitle()).empty()) << "the window never became visible";
        ASSERT_TRUE(m_font.loadFromFile(vltest::sourcePath("vl-font.ttf")));
    }

    void TearDown() override { display().shutDown(); }

    // The frame draw gives, read back before it is shown; then shows it and clears.
    sf::Image captureOf(const std::function<void()>& draw) {
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

// The same window on white, with batching and culling on.
class BatchCulling : public DisplayWindow {
protected:
    BatchCulling() : DisplayWindow("white") {}

    // The frame draw gives with culling on, and with it off; the frame before each is thrown away.
    void captureBoth(const std::function<void()>& draw, sf::Image& culled, sf::Image& whole) {
        ASSERT_TRUE(display().isBatching());
        display().swapBuffers();
        display().setCulling(true);
        culled = captureOf(draw);
        display().setCulling(false);
        whole = captureOf(draw);
        display().setCulling(true);
    }
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

const sf::IntRect WHOLE(0, 0, 1024, 768);

bool isBlack(sf::Color c) {
    return c.r == 0 && c.g == 0 && c.b == 0;
}

bool isNotBlack(sf::Color c) {
    return !isBlack(c);
}

bool isNotWhite(sf::Color c) {
    return c != sf::Color::White;
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

// The geometry is the same; the software rasteriser may still round a few blended glyph-edge pixels
// one level differently when less is drawn beneath them. A missed overhang would differ by far more.
void expectSamePicture(const sf::Image& a, const sf::Image& b, int tolerance, const std::string& what) {
    const Difference difference = compare(a, b);
    EXPECT_EQ(difference.large, 0) << what;
    EXPECT_LE(difference.any, tolerance) << what;
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

// Characters crowded at whole and fractional cells, over each other and off the edges, in every colour
// and in custom ones, with words, figures and a few turned characters among them.
void drawCrowd(unsigned int seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> column(-2, 82);
    std::uniform_real_distribution<float> row(-1, 25);
    std::uniform_int_distribution<int> glyph(33, 126);
    std::uniform_int_distribution<int> colour(0, 7);
    std::uniform_int_distribution<int> whole(0, 3);
    for (int i = 0; i < 900; i++) {
        float x = column(rng);
        float y = row(rng);
        if (whole(rng) != 0) {  // most things in a game sit on whole cells
            x = static_cast<float>(static_cast<int>(x));
            y = static_cast<float>(static_cast<int>(y));
        }
        const char ch = static_cast<char>(glyph(rng));
        if (i % 97 == 0) {
            display().drawCharacter(vl::Vector(x, y), ch, vl::RED, 30.0f * static_cast<float>(i % 5));
        } else if (i % 13 == 0) {
            display().drawCharacter(vl::Vector(x, y), ch, static_cast<unsigned char>(i), 90, 200);
        } else {
            display().drawCharacter(vl::Vector(x, y), ch, static_cast<vl::Color>(colour(rng)));
        }
        if (i % 150 == 0) {
            display().drawString(vl::Vector(x, y), "Every thing here lives twice", vl::LEFT, vl::BLUE);
            sf::CircleShape circle(30);
            circle.setPosition(x * CELL_W, y * CELL_H);
            circle.setFillColor(sf::Color(200, 30, 90));
            display().drawShape(circle);
        }
    }
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
        ink_total += countPixels(image, box, isNotBlack);
    }
    // Everything outside the three glyph boxes is background.
    const int lit = countPixels(image, WHOLE, isNotBlack);
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
    const struct {
        const char* text;
        vl::Justification justification;
        int first_cell;
    } cases[] = {
        {"HELLO", vl::CENTER, 8}, {"ABCD", vl::CENTER, 8}, {"abc", vl::RIGHT, 7}, {"abc", vl::LEFT, 10}};
    for (const auto& c : cases) {
        const std::string text = c.text;
        const sf::Image drawn =
            captureOf([&] { display().drawString(vl::Vector(10, 4), text, c.justification, vl::RED); });
        const sf::Image by_hand = captureOf([&] {
            for (size_t i = 0; i < text.size(); i++) {
                display().drawCharacter(
                    vl::Vector(static_cast<float>(c.first_cell) + static_cast<float>(i), 4), text[i],
                    vl::RED);
            }
        });
        EXPECT_EQ(countPixelsDiffering(drawn, by_hand), 0) << text;
        EXPECT_GT(countPixels(drawn, WHOLE, isNotBlack), 100) << text;
    }
    const sf::Image blank = captureOf([] {});
    const sf::Image empty =
        captureOf([] { EXPECT_EQ(display().drawString(vl::Vector(10, 8), "", vl::CENTER, vl::RED), 0); });
    EXPECT_EQ(countPixelsDiffering(blank, empty), 0);
}

// Frames are centred on their position; of two middle columns or rows the right or lower one is on it.
TEST_F(DisplayWindow, FramesAreCentredOnTheirPosition) {
    const struct {
        vl::Frame frame;
        float first_x, first_y;  // the cell of the first character
    } cases[] = {{vl::Frame(3, 2, "abcdef"), 9, 4}, {vl::Frame(4, 1, "wxyz"), 8, 5}};
    for (const auto& c : cases) {
        const std::string text = c.frame.getString();
        const int width = c.frame.getWidth();
        const sf::Image drawn =
            captureOf([&] { EXPECT_EQ(c.frame.draw(vl::Vector(10, 5), vl::CYAN, 0), 0); });
        const sf::Image by_hand = captureOf([&] {
            for (int i = 0; i < static_cast<int>(text.size()); i++) {
                display().drawCharacter(vl::Vector(c.first_x + static_cast<float>(i % width),
                                                   c.first_y + static_cast<float>(i / width)),
                                        text[static_cast<size_t>(i)], vl::CYAN);
            }
        });
        EXPECT_EQ(countPixelsDiffering(drawn, by_hand), 0) << text;
        EXPECT_GT(countPixels(drawn, WHOLE, isNotBlack), 100) << text;
    }
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
    const int nothing_else = countPixels(image, sf::IntRect(800, 0, 224, 200), isNotBlack);
    EXPECT_EQ(nothing_else, 0);
}

TEST_F(DisplayWindow, SwapShowsTheFrameAndClearsToTheBackgroundColour) {
    display().drawString(vl::Vector(5, 5), "frame one", vl::LEFT, vl::WHITE);
    EXPECT_EQ(display().swapBuffers(), 0);
    const sf::Image cleared = captureOf([] {});
    EXPECT_EQ(countPixels(cleared, WHOLE, isNotBlack), 0);

    EXPECT_TRUE(display().setBackgroundColor(vl::BLUE));
    display().swapBuffers();
    const sf::Image blue = captureOf([] { display().drawCharacter(vl::Vector(3, 3), ' ', vl::RED); });
    EXPECT_EQ(
        countPixels(blue, sf::IntRect(0, 0, 1024, 768), [](sf::Color c) { return c == sf::Color::Blue; }),
        1024 * 768);
}

TEST_F(DisplayWindow, BatchedPictureMatchesCharacterByCharacterPicture) {
    std::unique_ptr<vl::Sprite> p_sprite(makeScrollSprite());
    display().setBatching(true);
    const sf::Image batched = captureOf([&] { drawScene(*p_sprite); });
    display().setBatching(false);
    const sf::Image direct = captureOf([&] { drawScene(*p_sprite); });
    expectSamePicture(batched, direct, 20, "scene");

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
    // Squeezed glyphs are resampled: corners placed by the processor and by the graphics pipeline differ
    // in their last bits, which moves a few hundred edge pixels by one level.
    expectSamePicture(batched_full, direct_full, 300, "full screen");
    EXPECT_GT(countPixels(batched_full, WHOLE, isNotBlack), 50000);
}

TEST_F(BatchCulling, CrowdedFramesMatchWholeBackgrounds) {
    for (unsigned int seed : {1u, 2u, 3u}) {
        sf::Image culled;
        sf::Image whole;
        captureBoth([seed] { drawCrowd(seed); }, culled, whole);
        EXPECT_GT(countPixels(whole, WHOLE, isNotWhite), 80000) << "seed " << seed;
        expectSamePicture(culled, whole, 20, "seed " + std::to_string(seed));
    }
}

// Backgrounds are the window's colour, but text runs hide each glyph's overhang under the next cell's
// background: those strips must still be painted.
TEST_F(BatchCulling, TextRunsStillHideEachGlyphsOverhang) {
    sf::Image culled;
    sf::Image whole;
    captureBoth(
        [] {
            for (int row = 0; row < 24; row++) {
                display().drawString(
                    vl::Vector(0, static_cast<float>(row)),
                    "WWWWMMMM@@@@####%%%%WWWWMMMM@@@@####%%%%WWWWMMMM@@@@####%%%%WWWWMMMM@@@@", vl::LEFT,
                    static_cast<vl::Color>(row % 8));
            }
        },
        culled, whole);
    // Uncovered overhangs would add ink to the right of every glyph.
    expectSamePicture(culled, whole, 20, "");
}

// A background colour chosen mid-frame differs from the cleared surface: those cells go whole.
TEST_F(BatchCulling, BackgroundColourChangedMidFrameIsDrawnWhole) {
    sf::Image culled;
    sf::Image whole;
    captureBoth(
        [] {
            display().setBackgroundColor(vl::WHITE);
            display().drawString(vl::Vector(10, 5), "before the change", vl::LEFT, vl::RED);
            display().setBackgroundColor(vl::BLACK);
            display().drawString(vl::Vector(12, 5), "after", vl::LEFT, vl::YELLOW);
            display().drawString(vl::Vector(40, 12), "alone on black", vl::LEFT, vl::GREEN);
            display().setBackgroundColor(vl::WHITE);
            display().drawString(vl::Vector(41, 12), "white again", vl::LEFT, vl::BLUE);
        },
        culled, whole);
    expectSamePicture(culled, whole, 20, "");
    EXPECT_GT(countPixels(culled, WHOLE, isNotWhite), 14 * 400);  // the black cells are there
}

// What is drawn straight into the window is unknown to the batch: after it, backgrounds go whole.
TEST_F(BatchCulling, DirectDrawingMidFrameIsCoveredAsBefore) {
    sf::Image culled;
    sf::Image whole;
    captureBoth(
        [] {
            display().setBatching(false);
            sf::RectangleShape block(sf::Vector2f(300, 200));
            block.setPosition(100, 100);
            block.setFillColor(sf::Color::Magenta);
            display().getWindow()->draw(block);
            display().setBatching(true);
            display().drawString(vl::Vector(10, 4), "over the block", vl::LEFT, vl::BLACK);
        },
        culled, whole);
    expectSamePicture(culled, whole, 20, "");
}

TEST_F(BatchCulling, IsolatedCharactersQueueNoBackgroundAndRunsOnlyStrips) {
    vl::BatchRenderer batch(m_font, CHARACTER_SIZE);
    const auto add = [&batch](float x, float y, char ch) {
        batch.addCharacter(sf::Vector2f(x - CELL_W / 10, y + CELL_H / 5), sf::Vector2f(CELL_W, CELL_H),
                           sf::Color::White, sf::Vector2f(x, y), ch, sf::Color::Black, 0);
    };
    const auto queueRun = [&](bool culling, int length, float spacing) {
        batch.clear();
        batch.setCulling(culling);
        batch.startFrame(sf::Color::White);
        for (int i = 0; i < length; i++) {
            add(100 + static_cast<float>(i) * spacing, 200, 'M');
        }
        return batch.getVertexCount();
    };
    // Far apart, nothing lies under any background; without culling each costs a quad.
    EXPECT_EQ(queueRun(true, 10, 5 * CELL_W), 10u * 6);
    EXPECT_EQ(queueRun(false, 10, 5 * CELL_W), 10u * 12);
    // In a run each background after the first covers only its neighbour's overhang: one strip each.
    EXPECT_EQ(queueRun(true, 10, CELL_W), 10u * 6 + 9 * 6);

    // A background in another colour than the cleared one is whole, culling or not.
    batch.clear();
    batch.setCulling(true);
    batch.startFrame(sf::Color::Black);
    add(100, 200, 'M');
    EXPECT_EQ(batch.getVertexCount(), 12u);
    // Once the surface holds unknown pixels every background is whole until the next frame starts.
    batch.clear();
    batch.startFrame(sf::Color::White);
    batch.forgetFrame();
    add(100, 200, 'M');
    EXPECT_EQ(batch.getVertexCount(), 12u);
    batch.clear();
    batch.startFrame(sf::Color::White);
    add(100, 200, 'M');
    EXPECT_EQ(batch.getVertexCount(), 6u);
}

// Quads are cut to the window so that the rasteriser never clips: glyphs half outside keep their
// visible half exactly where the text object puts it.
TEST_F(BatchCulling, CharactersCutAtTheWindowEdgesLookAsDrawnOneByOne) {
    const auto edges = [] {
        for (int i = 0; i < 24; i++) {
            const float y = static_cast<float>(i);
            const float shift = static_cast<float>(i % 4) * 0.25f;
            display().drawCharacter(vl::Vector(-0.75f + shift, y), 'M', vl::RED);
            display().drawCharacter(vl::Vector(79.25f + shift, y), 'W', vl::BLUE);
        }
        for (int i = 0; i < 80; i++) {
            const float x = static_cast<float>(i);
            const float shift = static_cast<float>(i % 4) * 0.25f;
            display().drawCharacter(vl::Vector(x, -0.75f + shift), '#', vl::GREEN);
            display().drawCharacter(vl::Vector(x, 23.0f + shift), '@', vl::MAGENTA);
        }
    };
    display().swapBuffers();
    display().setBatching(true);
    const sf::Image batched = captureOf(edges);
    display().setBatching(false);
    const sf::Image direct = captureOf(edges);
    expectSamePicture(batched, direct, 50, "edges");
    EXPECT_GT(countPixels(batched, WHOLE, isNotWhite), 5000);
}
