// SPDX-License-Identifier: MIT
// A batched frame that leaves out its hidden backgrounds shows the same picture as one with every
// background drawn whole, in a real window under Xvfb, and queues far fewer background pixels.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
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
#include <veltrane/graphics/BatchRenderer.h>
#include <veltrane/graphics/DisplayManager.h>

namespace {

const sf::Vector2f CELL(12.8f, 32.0f);
const unsigned int CHARACTER_SIZE = 25;

std::string windowTitle() {
    return "vltest-culling-" + std::to_string(getpid());
}

vl::DisplayManager& display() {
    return vl::DisplayManager::getInstance();
}

class BatchCulling : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(display().startUp(), 0) << m_config.log();
        ASSERT_TRUE(display().isBatching());
        ASSERT_TRUE(display().isCulling());
        ASSERT_FALSE(vltest::waitForWindow(windowTitle()).empty()) << "the window never became visible";
    }

    void TearDown() override { display().shutDown(); }

    // The frame draw gives with culling on, and with it off; the frame before each is thrown away.
    void captureBoth(const std::function<void()>& draw, sf::Image& culled, sf::Image& whole) {
        display().swapBuffers();
        display().setCulling(true);
        draw();
        culled = vltest::captureFrame();
        display().setCulling(false);
        draw();
        whole = vltest::captureFrame();
        display().setCulling(true);
    }

    vltest::LoggedConfig m_config{"headless:false,window_horizontal_pixels:1024,window_vertical_pixels:768,"
                                  "window_horizontal_chars:80,window_vertical_chars:24,font_scale:2.0,"
                                  "window_background_color:white,window_title:" +
                                  windowTitle()};
};

// Pixels that differ at all, and pixels that differ by more than one level in some channel.
struct Difference {
    int any = 0;
    int large = 0;
};

Difference compare(const sf::Image& a, const sf::Image& b) {
    Difference difference;
    for (unsigned y = 0; y < a.getSize().y; y++) {
        for (unsigned x = 0; x < a.getSize().x; x++) {
            const sf::Color p = a.getPixel(x, y);
            const sf::Color q = b.getPixel(x, y);
            const int largest = std::max({std::abs(p.r - q.r), std::abs(p.g - q.g), std::abs(p.b - q.b)});
            difference.any += largest > 0 ? 1 : 0;
            difference.large += largest > 1 ? 1 : 0;
        }
    }
    return difference;
}

// The geometry is the same; the software rasteriser may still round a few blended glyph-edge pixels
// one level differently when less is drawn beneath them. A missed overhang would differ by far more.
void expectSamePicture(const sf::Image& culled, const sf::Image& whole, const std::string& what) {
    const Difference difference = compare(culled, whole);
    EXPECT_EQ(difference.large, 0) << what;
    EXPECT_LE(difference.any, 20) << what;
}

int countNotColour(const sf::Image& image, sf::Color colour) {
    int count = 0;
    for (unsigned y = 0; y < image.getSize().y; y++) {
        for (unsigned x = 0; x < image.getSize().x; x++) {
            count += image.getPixel(x, y) == colour ? 0 : 1;
        }
    }
    return count;
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
            circle.setPosition(x * CELL.x, y * CELL.y);
            circle.setFillColor(sf::Color(200, 30, 90));
            display().drawShape(circle);
        }
    }
}

}  // namespace

TEST_F(BatchCulling, CrowdedFramesMatchWholeBackgrounds) {
    for (unsigned int seed : {1u, 2u, 3u}) {
        sf::Image culled;
        sf::Image whole;
        captureBoth([seed] { drawCrowd(seed); }, culled, whole);
        EXPECT_GT(countNotColour(whole, sf::Color::White), 80000) << "seed " << seed;
        expectSamePicture(culled, whole, "seed " + std::to_string(seed));
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
    expectSamePicture(culled, whole, "");
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
    expectSamePicture(culled, whole, "");
    EXPECT_GT(countNotColour(culled, sf::Color::White), 14 * 400);  // the black cells are there
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
    expectSamePicture(culled, whole, "");
}

TEST_F(BatchCulling, IsolatedCharactersQueueNoBackgroundAndRunsOnlyStrips) {
    sf::Font font;
    ASSERT_TRUE(font.loadFromFile(vltest::sourcePath("vl-font.ttf")));
    vl::BatchRenderer batch(font, CHARACTER_SIZE);
    const auto add = [&batch](float x, float y, char ch) {
        batch.addCharacter(sf::Vector2f(x - CELL.x / 10, y + CELL.y / 5), CELL, sf::Color::White,
                           sf::Vector2f(x, y), ch, sf::Color::Black, 0);
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
    EXPECT_EQ(queueRun(true, 10, 5 * CELL.x), 10u * 6);
    EXPECT_EQ(queueRun(false, 10, 5 * CELL.x), 10u * 12);
    // In a run each background after the first covers only its neighbour's overhang: one strip each.
    EXPECT_EQ(queueRun(true, 10, CELL.x), 10u * 6 + 9 * 6);

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
    edges();
    const sf::Image batched = vltest::captureFrame();
    display().setBatching(false);
    edges();
    const sf::Image direct = vltest::captureFrame();
    const Difference difference = compare(batched, direct);
    EXPECT_EQ(difference.large, 0);
    EXPECT_LE(difference.any, 50);
    EXPECT_GT(countNotColour(batched, sf::Color::White), 5000);
}
