// SPDX-License-Identifier: MIT
// View objects drawn by the world in a real window under Xvfb: the text, the frame and the bars land in
// the designed cells, and stay there when the view scrolls.
#include <gtest/gtest.h>
#include <unistd.h>

#include <functional>
#include <string>

#include <SFML/Graphics/Image.hpp>

#include "PresentationSupport.h"
#include <veltrane/effects/ViewObject.h>
#include <veltrane/graphics/DisplayManager.h>
#include <veltrane/world/WorldManager.h>

namespace {

vl::DisplayManager& display() {
    return vl::DisplayManager::getInstance();
}

vl::WorldManager& world() {
    return vl::WorldManager::getInstance();
}

class ViewObjectWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(display().startUp(), 0) << m_config.log();
        ASSERT_NE(display().getWindow(), nullptr);
        ASSERT_EQ(world().startUp(), 0);
        world().setBoundary(vl::Box(vl::Vector(0, 0), 200, 100));
        world().setView(vl::Box(vl::Vector(0, 0), 80, 24));
    }
    void TearDown() override {
        world().shutDown();
        display().shutDown();
    }

    // The frame drawn by draw, read back from the window; the window is then cleared.
    sf::Image capture(const std::function<void()>& draw) {
        draw();
        return vltest::captureFrame();
    }

    static int differingPixels(const sf::Image& a, const sf::Image& b) {
        int count = 0;
        for (unsigned y = 0; y < 768; y++) {
            for (unsigned x = 0; x < 1024; x++) {
                count += a.getPixel(x, y) != b.getPixel(x, y) ? 1 : 0;
            }
        }
        return count;
    }

    vltest::LoggedConfig m_config{"headless:false,window_horizontal_pixels:1024,window_vertical_pixels:768,"
                                  "window_horizontal_chars:80,window_vertical_chars:24,font_scale:2.0,"
                                  "window_background_color:black,window_title:vltest-view-" +
                                  std::to_string(getpid())};
};

TEST_F(ViewObjectWindowTest, TextFrameAndBarsLandInTheirCellsWhereverTheViewIs) {
    auto* p_view = new vl::ViewObject;
    p_view->setViewString("Hi");
    p_view->setValue(7);
    p_view->setColor(vl::YELLOW);
    p_view->setLocation(vl::CENTER_CENTER);  // (40, 12): the text " Hi 7 " covers cells 37 to 42

    const sf::Image drawn = capture([] { world().draw(); });
    sf::Image black;
    black.create(1024, 768, sf::Color::Black);
    ASSERT_GT(differingPixels(drawn, black), 200);
    auto expected = [](float bar_right) {
        return [bar_right] {
            display().drawString(vl::Vector(40, 12), " Hi 7 ", vl::CENTER, vl::YELLOW);
            display().drawString(vl::Vector(40, 11), "------", vl::CENTER, vl::YELLOW);
            display().drawString(vl::Vector(40, 13), "------", vl::CENTER, vl::YELLOW);
            display().drawCharacter(vl::Vector(36, 12), '|', vl::YELLOW);
            display().drawCharacter(vl::Vector(bar_right, 12), '|', vl::YELLOW);
        };
    };
    EXPECT_EQ(differingPixels(drawn, capture(expected(43))), 0);
    EXPECT_GT(differingPixels(drawn, capture(expected(44))), 0);  // one cell off is seen

    // Scrolled far away, the world's own objects go out of sight but the view object stays put.
    world().setView(vl::Box(vl::Vector(100, 60), 80, 24));
    EXPECT_EQ(differingPixels(drawn, capture([] { world().draw(); })), 0);

    // Without border and value only the label is drawn, centred on the same cell.
    world().setView(vl::Box(vl::Vector(0, 0), 80, 24));
    p_view->setBorder(false);
    p_view->setDrawValue(false);
    p_view->setLocation(vl::CENTER_CENTER);  // row 11 without border
    const sf::Image plain = capture([] { world().draw(); });
    EXPECT_EQ(differingPixels(plain, capture([] {
                                  display().drawString(vl::Vector(40, 11), "Hi", vl::CENTER, vl::YELLOW);
                              })),
              0);
}

}  // namespace
