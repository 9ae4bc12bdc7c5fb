// SPDX-License-Identifier: MIT
// View objects drawn by the world in a real window under Xvfb: the text, the frame and the bars land in
// the designed cells, and stay there when the view scrolls.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include <SFML/Graphics/Image.hpp>

#include "PresentationSupport.h"
#include <veltrane/effects/ViewObject.h>
#include <veltrane/graphics/DisplayManager.h>
#include <veltrane/world/WorldManager.h>

namespace {

// The view object's text " Hi 7 " centred on (40, 12), its rules above and below, its bars at the sides.
sf::Image expectedPicture(float right_bar) {
    vl::DisplayManager& display = vl::DisplayManager::getInstance();
    display.drawString(vl::Vector(40, 12), " Hi 7 ", vl::CENTER, vl::YELLOW);
    display.drawString(vl::Vector(40, 11), "------", vl::CENTER, vl::YELLOW);
    display.drawString(vl::Vector(40, 13), "------", vl::CENTER, vl::YELLOW);
    display.drawCharacter(vl::Vector(36, 12), '|', vl::YELLOW);
    display.drawCharacter(vl::Vector(right_bar, 12), '|', vl::YELLOW);
    return vltest::captureFrame();
}

sf::Image worldPicture() {
    vl::WorldManager::getInstance().draw();
    return vltest::captureFrame();
}

}  // namespace

TEST(ViewObjectWindowTest, TextFrameAndBarsLandInTheirCellsWhereverTheViewIs) {
    const vltest::LoggedConfig config(
        "headless:false,window_horizontal_pixels:1024,window_vertical_pixels:768,"
        "window_horizontal_chars:80,window_vertical_chars:24,font_scale:2.0,"
        "window_background_color:black,window_title:vltest-view-" +
        std::to_string(getpid()));
    vl::WorldManager& world = vl::WorldManager::getInstance();
    ASSERT_EQ(vl::DisplayManager::getInstance().startUp(), 0) << config.log();
    ASSERT_EQ(world.startUp(), 0);
    world.setBoundary(vl::Box(vl::Vector(0, 0), 200, 100));
    world.setView(vl::Box(vl::Vector(0, 0), 80, 24));
    auto* p_view = new vl::ViewObject;
    p_view->setViewString("Hi");
    p_view->setValue(7);
    p_view->setColor(vl::YELLOW);
    p_view->setLocation(vl::CENTER_CENTER);

    const sf::Image drawn = worldPicture();
    EXPECT_EQ(vltest::differingPixels(drawn, expectedPicture(43)), 0);
    EXPECT_GT(vltest::differingPixels(drawn, expectedPicture(44)), 0);  // one cell off is seen
    // Scrolled far away, the view object stays put.
    world.setView(vl::Box(vl::Vector(100, 60), 80, 24));
    EXPECT_EQ(vltest::differingPixels(drawn, worldPicture()), 0);

    // Without border and value only the label is drawn, centred on the same column, a row higher.
    world.setView(vl::Box(vl::Vector(0, 0), 80, 24));
    p_view->setBorder(false);
    p_view->setDrawValue(false);
    p_view->setLocation(vl::CENTER_CENTER);
    const sf::Image plain = worldPicture();
    vl::DisplayManager::getInstance().drawString(vl::Vector(40, 11), "Hi", vl::CENTER, vl::YELLOW);
    EXPECT_EQ(vltest::differingPixels(plain, vltest::captureFrame()), 0);
    world.shutDown();
    vl::DisplayManager::getInstance().shutDown();
}
