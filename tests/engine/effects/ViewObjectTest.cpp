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
    vltest::World m_world{80, 24};
};

TEST_F(ViewObjectTest, ANewOneSitsAtTheTopCentreWithBorderAndValue) {
    auto* p_view = new vl::ViewObject;
    EXPECT_EQ(p_view->getPosition(), vl::Vector(40, 1));
    EXPECT_EQ(p_view->getLocation(), vl::TOP_CENTER);
    EXPECT_EQ(p_view->getType(), "ViewObject");
    EXPECT_EQ(p_view->getSolidness(), vl::SPECTRAL);
    EXPECT_EQ(p_view->getAltitude(), vl::MAX_ALTITUDE);
    EXPECT_EQ(p_view->getColor(), vl::WHITE);
    EXPECT_EQ(p_view->getDisplayString(), "  0 ");
    EXPECT_EQ(p_view->getModified() & (vl::VALUE | vl::APPEARANCE), vl::VALUE | vl::APPEARANCE);
}

TEST_F(ViewObjectTest, TheTextHasTheLabelTheValueAndTheBordersSpaces) {
    auto* p_view = new vl::ViewObject;
    p_view->setViewString("Score");
    p_view->setValue(12);
    EXPECT_EQ(p_view->getDisplayString(), " Score 12 ");
    p_view->setDrawValue(false);
    EXPECT_EQ(p_view->getDisplayString(), " Score ");
    p_view->setBorder(false);
    EXPECT_EQ(p_view->getDisplayString(), "Score");
    p_view->setDrawValue(true);
    p_view->setValue(-3);
    EXPECT_EQ(p_view->getDisplayString(), "Score -3");
}

TEST_F(ViewObjectTest, NamedLocationsFollowTheViewAndTheBorder) {
    auto* p_view = new vl::ViewObject;
    struct Case {
        vl::ViewObjectLocation location;
        float x, y_border, y_plain;
        const char* name;
    };
    const Case cases[] = {
        {vl::TOP_LEFT, 80.0f / 6, 1, 0, "top-left"},
        {vl::TOP_CENTER, 3 * 80.0f / 6, 1, 0, "top-center"},
        {vl::TOP_RIGHT, 5 * 80.0f / 6, 1, 0, "top-right"},
        {vl::CENTER_LEFT, 80.0f / 6, 12, 11, "center-left"},
        {vl::CENTER_CENTER, 40, 12, 11, "center-center"},
        {vl::CENTER_RIGHT, 5 * 80.0f / 6, 12, 11, "center-right"},
        {vl::BOTTOM_LEFT, 80.0f / 6, 22, 23, "bot-left"},
        {vl::BOTTOM_CENTER, 3 * 80.0f / 6, 22, 23, "bot-center"},
        {vl::BOTTOM_RIGHT, 5 * 80.0f / 6, 22, 23, "bot-right"},
    };
    for (const Case& c : cases) {
        p_view->setBorder(true);
        p_view->setLocation(c.location);
        EXPECT_EQ(p_view->getPosition(), vl::Vector(c.x, c.y_border)) << c.name;
        EXPECT_EQ(p_view->getLocation(), c.location);
        p_view->setBorder(false);
        EXPECT_EQ(p_view->getPosition(), vl::Vector(c.x, c.y_plain)) << c.name;
        EXPECT_EQ(vl::locationToString(c.location), c.name);
    }
    EXPECT_EQ(vl::Vector(5 * 80.0f / 6, 22), vl::Vector(66.666664f, 22));
    for (int other : {-1, 9, -7, 100}) {
        EXPECT_EQ(vl::locationToString(other), "unknown");
    }
}

TEST_F(ViewObjectTest, AnOutOfRangeLocationChangesNothing) {
    auto* p_view = new vl::ViewObject;
    p_view->setLocation(vl::BOTTOM_RIGHT);
    p_view->setLocation(static_cast<vl::ViewObjectLocation>(9));
    EXPECT_EQ(p_view->getPosition(), vl::Vector(66.666664f, 22));
    EXPECT_EQ(p_view->getLocation(), vl::BOTTOM_RIGHT);
    EXPECT_NE(m_world.log().find("ViewObject::setLocation(): Warning! Location out of range (9). Ignored."),
              std::string::npos);
}

TEST_F(ViewObjectTest, AMovedOneHasNoLocationAndTheBorderNoLongerMovesIt) {
    auto* p_view = new vl::ViewObject;
    EXPECT_EQ(p_view->setPosition(vl::Vector(40, 1)), 0);
    EXPECT_EQ(p_view->getLocation(), vl::TOP_CENTER);  // the same place is no move
    p_view->setPosition(vl::Vector(7, 9));
    EXPECT_EQ(p_view->getLocation(), vl::UNDEFINED_LOCATION);
    p_view->setBorder(false);
    EXPECT_EQ(p_view->getPosition(), vl::Vector(7, 9));
    EXPECT_EQ(vl::locationToString(p_view->getLocation()), "unknown");
}

TEST_F(ViewObjectTest, ViewEventsReachOnlyTheirLabel) {
    auto* p_score = new vl::ViewObject;
    auto* p_other_score = new vl::ViewObject;
    auto* p_lives = new vl::ViewObject;
    p_score->setViewString("Score");
    p_other_score->setViewString("Score");
    p_other_score->setValue(10);
    p_lives->setViewString("Lives");
    p_lives->setValue(3);

    const vl::EventView add("Score", 5, true);
    EXPECT_EQ(add.getType(), "vl-view");
    EXPECT_EQ(vl::WorldManager::getInstance().onEvent(&add), 3);  // every view object is asked
    EXPECT_EQ(p_score->getValue(), 5);
    EXPECT_EQ(p_other_score->getValue(), 15);
    EXPECT_EQ(p_lives->getValue(), 3);

    EXPECT_EQ(p_lives->eventHandler(&add), 0);
    const vl::EventView set("Lives", 9, false);
    EXPECT_EQ(p_lives->eventHandler(&set), 1);
    EXPECT_EQ(p_lives->getValue(), 9);
    const vl::EventView score("score", 1, true);  // labels compare exactly
    EXPECT_EQ(p_score->eventHandler(&score), 0);

    p_score->setModified(0);
    const vl::EventView nothing("Score", 0, true);
    p_score->eventHandler(&nothing);
    EXPECT_EQ(p_score->getModified(), 0u);  // an unchanged value is no change
    const vl::EventView wrap("Score", 2147483647, true);
    p_score->eventHandler(&wrap);
    EXPECT_EQ(p_score->getValue(), -2147483644);
    EXPECT_EQ(p_score->getModified(), vl::VALUE);
}

TEST_F(ViewObjectTest, ARecordCarriesValueAndAppearance) {
    auto* p_from = new vl::ViewObject;
    p_from->setViewString("Level");
    p_from->setValue(4);
    p_from->setColor(vl::YELLOW);
    p_from->setBorder(false);
    p_from->setLocation(vl::BOTTOM_LEFT);
    p_from->setDrawValue(false);
    std::stringstream record;
    ASSERT_EQ(p_from->serialize(record, vl::VALUE | vl::APPEARANCE | vl::TYPE), 0);

    auto* p_to = new vl::ViewObject;
    unsigned int attr = 0;
    ASSERT_EQ(p_to->deserialize(record, &attr), 0) << m_world.log();
    EXPECT_EQ(attr, vl::VALUE | vl::APPEARANCE | vl::TYPE);
    EXPECT_EQ(p_to->getViewString(), "Level");
    EXPECT_EQ(p_to->getValue(), 4);
    EXPECT_EQ(p_to->getColor(), vl::YELLOW);
    EXPECT_FALSE(p_to->getBorder());
    EXPECT_FALSE(p_to->getDrawValue());
    EXPECT_EQ(p_to->getLocation(), vl::BOTTOM_LEFT);
    EXPECT_EQ(p_to->getPosition(), vl::Vector(80.0f / 6, 23));

    // With no mask, exactly what changed travels, and is then no longer marked.
    p_from->setModified(0);
    p_from->setValue(5);
    std::stringstream changed;
    ASSERT_EQ(p_from->serialize(changed), 0);
    EXPECT_EQ(p_from->getModified(), 0u);
    ASSERT_EQ(p_to->deserialize(changed, &attr), 0);
    EXPECT_EQ(attr, vl::VALUE);
    EXPECT_EQ(p_to->getValue(), 5);
}

TEST_F(ViewObjectTest, DamagedRecordsAreRefused) {
    auto* p_from = new vl::ViewObject;
    p_from->setViewString("Hi");
    std::stringstream good;
    ASSERT_EQ(p_from->serialize(good, vl::APPEARANCE), 0);
    const std::string bytes = good.str();

    auto* p_to = new vl::ViewObject;
    // Cut short inside the appearance.
    std::stringstream short_record(bytes.substr(0, bytes.size() - 3));
    EXPECT_EQ(p_to->deserialize(short_record), -1);
    EXPECT_EQ(p_to->getViewString(), "");

    // A colour no view object can have: mask (4), label length (8), label (2), border (1), then colour.
    std::string bad_colour = bytes;
    bad_colour[4 + 8 + 2 + 1] = 99;
    std::stringstream colour_record(bad_colour);
    EXPECT_EQ(p_to->deserialize(colour_record), -1);
    EXPECT_NE(m_world.log().find("ViewObject::deserialize(): Error! Color 99 out of range."),
              std::string::npos);

    // A label claiming more bytes than the record holds.
    std::string long_label = bytes;
    long_label[4 + 6] = 0x10;
    std::stringstream label_record(long_label);
    EXPECT_EQ(p_to->deserialize(label_record), -1);
    EXPECT_NE(m_world.log().find("ViewObject::deserialize(): Error! Cannot allocate"), std::string::npos)
        << m_world.log();
    EXPECT_EQ(p_to->getViewString(), "");

    std::stringstream empty;
    EXPECT_EQ(p_to->deserialize(empty), -1);
    EXPECT_NE(m_world.log().find("ViewObject::deserialize(): Error calling Object::deserialize()."),
              std::string::npos);
}

}  // namespace
