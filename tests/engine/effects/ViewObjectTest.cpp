// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "WorldFixture.h"
#include <veltrane/effects/EventView.h>
#include <veltrane/effects/ViewObject.h>
#include <veltrane/world/WorldManager.h>

namespace {

class ViewObjectTest : public ::testing::Test {
protected:
    bool logged(const std::string& line) const { return m_world.log().find(line) != std::string::npos; }
    vltest::World m_world;
};

TEST_F(ViewObjectTest, NamedLocationsFollowTheViewAndTheBorderUntilMoved) {
    auto* p_view = new vl::ViewObject;
    const struct {
        vl::ViewObjectLocation location;
        float x, y_border, y_plain;
    } cases[] = {
        {vl::TOP_LEFT, 80.0f / 6, 1, 0},
        {vl::CENTER_CENTER, 40, 12, 11},
        {vl::BOTTOM_RIGHT, 5 * 80.0f / 6, 22, 23},
    };
    for (const auto& c : cases) {
        p_view->setBorder(true);
        p_view->setLocation(c.location);
        EXPECT_EQ(p_view->getPosition(), vl::Vector(c.x, c.y_border)) << c.location;
        p_view->setBorder(false);
        EXPECT_EQ(p_view->getPosition(), vl::Vector(c.x, c.y_plain)) << c.location;
    }
    p_view->setLocation(static_cast<vl::ViewObjectLocation>(9));
    EXPECT_EQ(p_view->getLocation(), vl::BOTTOM_RIGHT);
    EXPECT_TRUE(logged("ViewObject::setLocation(): Warning! Location out of range (9). Ignored."));
    EXPECT_EQ(p_view->setPosition(p_view->getPosition()), 0);
    EXPECT_EQ(p_view->getLocation(), vl::BOTTOM_RIGHT);  // the same place is no move
    p_view->setPosition(vl::Vector(7, 9));
    p_view->setBorder(true);
    EXPECT_EQ(p_view->getPosition(), vl::Vector(7, 9));
}

TEST_F(ViewObjectTest, ViewEventsReachOnlyTheirLabel) {
    auto* p_score = new vl::ViewObject;
    auto* p_lives = new vl::ViewObject;
    p_score->setViewString("Score");
    p_score->setValue(10);
    p_lives->setViewString("Lives");
    p_lives->setValue(3);
    const vl::EventView add("Score", 5, true);
    EXPECT_EQ(vl::WorldManager::getInstance().onEvent(&add), 2);  // every view object is asked
    EXPECT_EQ(p_score->getValue(), 15);
    EXPECT_EQ(p_lives->getValue(), 3);
    const vl::EventView set("Lives", 9, false);
    EXPECT_EQ(p_lives->eventHandler(&set), 1);
    EXPECT_EQ(p_lives->getValue(), 9);
    const vl::EventView score("score", 1, true);  // labels compare exactly
    EXPECT_EQ(p_score->eventHandler(&score), 0);
    const vl::EventView wrap("Score", 2147483647, true);
    p_score->eventHandler(&wrap);
    EXPECT_EQ(p_score->getValue(), -2147483634);
}

TEST_F(ViewObjectTest, ARecordCarriesValueAndAppearanceAndDamagedOnesAreRefused) {
    auto* p_from = new vl::ViewObject;
    p_from->setViewString("Hi");
    p_from->setValue(4);
    p_from->setColor(vl::YELLOW);
    p_from->setBorder(false);
    p_from->setLocation(vl::BOTTOM_LEFT);
    p_from->setDrawValue(false);
    std::stringstream record;
    ASSERT_EQ(p_from->serialize(record, vl::VALUE | vl::APPEARANCE), 0);
    const std::string bytes = record.str();
    auto* p_to = new vl::ViewObject;
    ASSERT_EQ(p_to->deserialize(record), 0) << m_world.log();
    std::stringstream again;
    ASSERT_EQ(p_to->serialize(again, vl::VALUE | vl::APPEARANCE), 0);
    EXPECT_EQ(again.str(), bytes);
    EXPECT_EQ(p_to->getPosition(), vl::Vector(80.0f / 6, 23));

    // Mask (4), label length (8), label (2), border (1), then the colour.
    std::stringstream appearance;
    ASSERT_EQ(p_from->serialize(appearance, vl::APPEARANCE), 0);
    const std::string bad = appearance.str();
    const struct {
        std::string bytes;
        const char* message;
    } damaged[] = {
        {bad.substr(0, bad.size() - 1), "ViewObject::deserialize(): Error!"},
        {bad.substr(0, 10) + '\x10' + bad.substr(11), "ViewObject::deserialize(): Error! Cannot allocate"},
        {bad.substr(0, 15) + '\x63' + bad.substr(16),
         "ViewObject::deserialize(): Error! Color 99 out of range."},
        {"", "ViewObject::deserialize(): Error calling Object::deserialize()."},
    };
    auto* p_fresh = new vl::ViewObject;
    for (const auto& d : damaged) {
        std::stringstream in(d.bytes);
        EXPECT_EQ(p_fresh->deserialize(in), -1) << d.message;
        EXPECT_TRUE(logged(d.message)) << d.message;
    }
    EXPECT_EQ(p_fresh->getViewString(), "");
}

}  // namespace
