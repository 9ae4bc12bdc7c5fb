// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "WorldFixture.h"
#include <veltrane/core/EventStep.h>
#include <veltrane/game/GameManager.h>
#include <veltrane/graphics/Animation.h>
#include <veltrane/graphics/Shape.h>
#include <veltrane/resources/ResourceManager.h>
#include <veltrane/world/Object.h>
#include <veltrane/world/WorldManager.h>

namespace {

template <typename T>
std::string bytesOf(T value) {
    std::string out(sizeof(T), '\0');
    std::memcpy(&out[0], &value, sizeof(T));
    return out;
}

std::string text(const std::string& s) {
    return bytesOf(uint64_t{s.size()}) + s;
}

std::string vec(float x, float y) {
    return bytesOf(x) + bytesOf(y);
}

template <typename T>
std::string recordOf(const T& value) {
    std::stringstream ss;
    value.serialize(ss);
    return ss.str();
}

std::string serialized(vl::Object& o, unsigned int attr = 0) {
    std::stringstream ss;
    EXPECT_EQ(o.serialize(ss, attr), 0);
    return ss.str();
}

int deserialize(vl::Object& o, const std::string& bytes, unsigned int* p_mask = nullptr) {
    std::stringstream ss(bytes);
    return o.deserialize(ss, p_mask);
}

// A world with the resource manager started and the player's sprite loaded as "player".
class Records : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(vl::ResourceManager::getInstance().startUp(), 0);
        ASSERT_EQ(vl::ResourceManager::getInstance().loadSprite(vltest::sourcePath("sprites/player-spr.txt"),
                                                                "player"),
                  0);
    }
    void TearDown() override { vl::ResourceManager::getInstance().shutDown(); }

    vltest::World m_world;
};

}  // namespace

TEST_F(Records, ANewObjectWritesEveryAttributeOnceAndThenNothing) {
    vl::Object o;
    const int id = o.getId();
    const std::string record = serialized(o);
    const std::string expected = bytesOf(uint32_t{0x3FFFF}) + bytesOf(int32_t{id}) + "\x01" + "\x01" +
                                 bytesOf(int32_t{0}) + vec(-0.5f, -0.5f) + bytesOf(0.99f) + bytesOf(0.99f) +
                                 vec(1, 1) + text("(Undefined)") + recordOf(vl::Animation()) +
                                 bytesOf(int32_t{2}) + bytesOf(int32_t{vl::HARD}) + std::string(1, '\0') +
                                 vec(0, 0) + bytesOf(0.0f) + vec(0, 0) + recordOf(o.getShape()) +
                                 std::string(1, '\0') + bytesOf(uint64_t{0}) + std::string(1, '\0');
    EXPECT_EQ(record, expected);
    EXPECT_EQ(recordOf(vl::Animation()), text("") + bytesOf(int32_t{0}) + bytesOf(int32_t{0}));
    EXPECT_EQ(recordOf(o.getShape()).size(), 13u);
    EXPECT_EQ(o.getModified(), 0u);
    EXPECT_EQ(serialized(o), bytesOf(uint32_t{0}));
}

TEST_F(Records, AnExplicitMaskWritesThoseAttributesChangedOrNot) {
    vl::Object o;
    o.setModified(0);
    o.setPosition(vl::Vector(3, 4));
    o.setSpeed(2);
    EXPECT_EQ(serialized(o, vl::POSITION), bytesOf(uint32_t{0x20}) + vec(3, 4));
    EXPECT_EQ(o.getModified(), static_cast<unsigned int>(vl::SPEED));  // position marked sent, speed not
    EXPECT_EQ(serialized(o, vl::POSITION), bytesOf(uint32_t{0x20}) + vec(3, 4));  // sent again when asked
}

TEST_F(Records, OnlyWhatChangedIsWrittenInRecordOrder) {
    vl::Object o;
    o.setModified(0);
    o.setSpeed(0.25f);
    EXPECT_EQ(serialized(o), bytesOf(uint32_t{0x800}) + bytesOf(0.25f));
    o.setVelocity(vl::Vector(3, 4));
    // The direction comes before the speed although its bit is the higher one.
    EXPECT_EQ(serialized(o), bytesOf(uint32_t{0x1800}) + vec(0.6f, 0.8f) + bytesOf(5.0f));
    o.setFollowPath(true);
    o.setPath(vl::Path({vl::Vector(2, 2)}));
    EXPECT_EQ(serialized(o), bytesOf(uint32_t{0x18000}) + "\x01" + bytesOf(uint64_t{1}) + vec(2, 2));
}

TEST_F(Records, AFullRecordRebuildsTheObjectElsewhere) {
    auto* p_from = new vl::Object;
    p_from->setType("Crate");
    p_from->setPosition(vl::Vector(12.5f, 7));
    ASSERT_EQ(p_from->setSprite("player"), 0);
    vl::Animation animation = p_from->getAnimation();
    animation.setIndex(2);
    animation.setSlowdownCount(3);
    p_from->setAnimation(animation, false);
    p_from->setBox(vl::Box(vl::Vector(-1, -1), 3, 2));
    p_from->setAltitude(4);
    p_from->setSolidness(vl::SOFT);
    p_from->setNoSoft(true);
    p_from->setVelocity(vl::Vector(0, -2));
    p_from->setAcceleration(vl::Vector(0.5f, 0));
    vl::Shape shape;
    shape.setType(vl::CIRCLE);
    shape.setSize(6);
    shape.setColor(vl::RED);
    shape.setOpacity(200);
    p_from->setShape(shape);
    p_from->setAvoidCollisions(true);
    p_from->setPath(vl::Path({vl::Vector(1, 2), vl::Vector(3, 4)}));
    p_from->setFollowPath(true);
    p_from->setVisible(false);
    ASSERT_EQ(p_from->registerInterest("crate-moved"), 0);
    ASSERT_EQ(p_from->registerInterest(vl::STEP_EVENT), 0);
    const std::string record = serialized(*p_from, vl::ALL_OBJECT_ATTRIBUTES);

    auto* p_to = new vl::Object;
    unsigned int mask = 0;
    ASSERT_EQ(deserialize(*p_to, record, &mask), 0);
    EXPECT_EQ(mask, vl::ALL_OBJECT_ATTRIBUTES);
    EXPECT_EQ(p_to->getId(), p_from->getId());
    EXPECT_EQ(p_to->getType(), "Crate");
    EXPECT_EQ(p_to->getPosition(), vl::Vector(12.5f, 7));
    EXPECT_EQ(p_to->getBox(), p_from->getBox());
    EXPECT_EQ(p_to->getAltitude(), 4);
    EXPECT_EQ(p_to->getSolidness(), vl::SOFT);
    EXPECT_TRUE(p_to->getNoSoft());
    EXPECT_FALSE(p_to->isVisible());
    EXPECT_TRUE(p_to->isActive());
    EXPECT_TRUE(p_to->getAvoidCollisions());
    EXPECT_EQ(p_to->getDirection(), p_from->getDirection());
    EXPECT_EQ(p_to->getSpeed(), p_from->getSpeed());
    EXPECT_EQ(p_to->getAcceleration(), vl::Vector(0.5f, 0));
    EXPECT_EQ(recordOf(p_to->getShape()), recordOf(shape));
    EXPECT_EQ(p_to->getPath().getWaypoints(), p_from->getPath().getWaypoints());
    EXPECT_EQ(p_to->getPath().getIndex(), 0);
    EXPECT_TRUE(p_to->getFollowPath());
    EXPECT_EQ(p_to->getEventCount(), 2);
    EXPECT_EQ(p_to->getAnimation().getSprite(), p_from->getAnimation().getSprite());
    EXPECT_EQ(p_to->getAnimation().getIndex(), 2);
    EXPECT_EQ(p_to->getAnimation().getSlowdownCount(), 3);
    EXPECT_EQ(p_to->getModified(), 0u);
    // Both are registered for the game's own event: the receiver really took the registration.
    EXPECT_EQ(p_to->unregisterInterest("crate-moved"), 0);
    const vl::EventStep step(0);
    EXPECT_EQ(vl::GameManager::getInstance().onEvent(&step), 2);  // and both for the loop's step
    EXPECT_EQ(vl::WorldManager::getInstance().checkConsistency(), 0);
}

TEST_F(Records, AReceivedIdMovesTheCounterPastIt) {
    vl::Object o;
    const int far = vl::Object::getNextId() + 500;
    ASSERT_EQ(deserialize(o, bytesOf(uint32_t{vl::ID}) + bytesOf(int32_t{far})), 0);
    EXPECT_EQ(o.getId(), far);
    vl::Object later;
    EXPECT_EQ(later.getId(), far + 1);
    // A smaller id leaves the counter alone.
    ASSERT_EQ(deserialize(o, bytesOf(uint32_t{vl::ID}) + bytesOf(int32_t{3})), 0);
    EXPECT_EQ(vl::Object::getNextId(), far + 2);
    // Ids near the largest int would leave the counter no room to count local objects on.
    for (const int32_t huge : {INT_MAX, INT_MAX - 1, INT_MAX / 2 + 1}) {
        EXPECT_EQ(deserialize(o, bytesOf(uint32_t{vl::ID}) + bytesOf(huge)), -1) << huge;
    }
    EXPECT_EQ(o.getId(), 3);
    EXPECT_EQ(vl::Object::getNextId(), far + 2);
    EXPECT_NE(m_world.log().find("Object::deserialize(): Error! Id 2147483646 out of range."),
              std::string::npos);
}

TEST_F(Records, ValuesTheSettersRefuseAreLoggedAndIgnored) {
    vl::Object o;
    ASSERT_EQ(deserialize(o, bytesOf(uint32_t{vl::ALTITUDE | vl::SOLIDNESS}) + bytesOf(int32_t{7}) +
                                 bytesOf(int32_t{9})),
              0);
    EXPECT_EQ(o.getAltitude(), 2);
    EXPECT_EQ(o.getSolidness(), vl::HARD);
    const std::string log = m_world.log();
    EXPECT_NE(log.find("Object::setAltitude(): Altitude 7 not in range [0,4].  Ignored."), std::string::npos);
    EXPECT_NE(log.find("Object::setSolidness(): Solidness 9 not one of HARD, SOFT or SPECTRAL."),
              std::string::npos);
}

TEST_F(Records, AMissingSpriteKeepsTheRecordsNameAndFrame) {
    vl::Object o;
    vl::Animation animation;
    animation.setName("absent");
    animation.setIndex(1);
    ASSERT_EQ(deserialize(o, bytesOf(uint32_t{vl::ANIMATION}) + recordOf(animation)), 0);
    EXPECT_EQ(o.getAnimation().getSprite(), nullptr);
    EXPECT_EQ(o.getAnimation().getName(), "absent");
    EXPECT_EQ(o.getAnimation().getIndex(), 1);
    EXPECT_NE(m_world.log().find("Object::setSprite(): Warning! Sprite 'absent' not found"),
              std::string::npos);
}

TEST_F(Records, AFrameTheLocalSpriteLacksStartsItFromTheFirst) {
    vl::Object o;
    for (const int32_t index : {4, -1, INT_MAX}) {
        vl::Animation animation;
        animation.setName("player");
        animation.setIndex(index);
        ASSERT_EQ(deserialize(o, bytesOf(uint32_t{vl::ANIMATION}) + recordOf(animation)), 0) << index;
        EXPECT_NE(o.getAnimation().getSprite(), nullptr);
        EXPECT_EQ(o.getAnimation().getIndex(), 0) << index;
        o.draw();  // drawing steps on from a frame that exists
    }
    EXPECT_NE(
        m_world.log().find("Object::deserialize(): Warning! Frame 2147483647 not in sprite 'player' of 4 "
                           "frames. Using 0."),
        std::string::npos);
}

TEST_F(Records, ReceivedEventsReplaceTheObjectsOwn) {
    vl::Object o;
    ASSERT_EQ(o.registerInterest("first"), 0);
    ASSERT_EQ(o.registerInterest("second"), 0);
    const std::string events = bytesOf(uint32_t{vl::EVENTS}) + bytesOf(int32_t{3}) + text("third") +
                               text(vl::COLLISION_EVENT) + text(vl::NETWORK_SYNC_EVENT);
    ASSERT_EQ(deserialize(o, events), 0);
    // Collision events are not registered for: that name is refused and logged.
    EXPECT_EQ(o.getEventCount(), 2);
    EXPECT_EQ(o.unregisterInterest("first"), -1);
    EXPECT_EQ(o.unregisterInterest("third"), 0);
    EXPECT_EQ(o.unregisterInterest(vl::NETWORK_SYNC_EVENT), 0);
    EXPECT_NE(m_world.log().find("Object::deserialize(): Error! Register interest: vl-collision"),
              std::string::npos);
}

TEST_F(Records, AbsurdLengthsAndCountsAreRefusedBeforeAllocating) {
    vl::Object o;
    ASSERT_EQ(o.registerInterest("kept"), 0);
    o.setType("Before");
    const std::string huge_type = bytesOf(uint32_t{vl::TYPE}) + bytesOf(uint64_t{1} << 62) + "abc";
    EXPECT_EQ(deserialize(o, huge_type), -1);
    EXPECT_EQ(o.getType(), "Before");
    EXPECT_NE(m_world.log().find("Object::deserialize(): Error! Cannot allocate 2147483647 bytes."),
              std::string::npos);

    const std::string many_events = bytesOf(uint32_t{vl::EVENTS}) + bytesOf(int32_t{1000000});
    EXPECT_EQ(deserialize(o, many_events), -1);
    const std::string negative_events = bytesOf(uint32_t{vl::EVENTS}) + bytesOf(int32_t{-1});
    EXPECT_EQ(deserialize(o, negative_events), -1);
    const std::string long_name =
        bytesOf(uint32_t{vl::EVENTS}) + bytesOf(int32_t{1}) + bytesOf(uint64_t{40}) + "x";
    EXPECT_EQ(deserialize(o, long_name), -1);
    EXPECT_NE(m_world.log().find("Object::deserialize(): Error! Cannot allocate 40 bytes."),
              std::string::npos);
    EXPECT_EQ(o.getEventCount(), 1);
    EXPECT_EQ(o.unregisterInterest("kept"), 0);

    const std::string long_path = bytesOf(uint32_t{vl::PATH}) + bytesOf(uint64_t{1} << 61);
    EXPECT_EQ(deserialize(o, long_path), -1);
    EXPECT_EQ(o.getPath().getCount(), 0);
}

TEST_F(Records, NumbersThatAreNotFiniteAreRefused) {
    vl::Object o;
    const float nan = std::nanf("");
    const float inf = INFINITY;
    EXPECT_EQ(deserialize(o, bytesOf(uint32_t{vl::POSITION}) + vec(nan, 1)), -1);
    EXPECT_EQ(deserialize(o, bytesOf(uint32_t{vl::BOX}) + vec(0, 0) + bytesOf(inf) + bytesOf(1.0f)), -1);
    EXPECT_EQ(deserialize(o, bytesOf(uint32_t{vl::SPEED}) + bytesOf(-inf)), -1);
    EXPECT_EQ(deserialize(o, bytesOf(uint32_t{vl::PATH}) + bytesOf(uint64_t{1}) + vec(1, nan)), -1);
    EXPECT_EQ(o.getPosition(), vl::Vector(1, 1));
    EXPECT_EQ(o.getSpeed(), 0.0f);
    EXPECT_EQ(o.getPath().getCount(), 0);
    EXPECT_NE(m_world.log().find("Object::deserialize(): Error! POSITION is not a finite value."),
              std::string::npos);
}

TEST_F(Records, ARecordCutAnywhereAppliesOnlyWhatCameBeforeTheCut) {
    vl::Object model;
    model.setType("Model");
    model.setPosition(vl::Vector(20, 10));
    model.setVelocity(vl::Vector(1, 0));
    ASSERT_EQ(model.registerInterest("model-event"), 0);
    const std::string record = serialized(model, vl::ALL_OBJECT_ATTRIBUTES);
    for (size_t cut = 0; cut < record.size(); cut++) {
        vl::Object o;
        o.setType("Fresh");
        const int id = o.getId();
        unsigned int mask = 1;
        EXPECT_EQ(deserialize(o, record.substr(0, cut), &mask), -1) << cut;
        // The type comes after the id, flags, events, box and position; never half of it.
        EXPECT_TRUE(o.getType() == "Fresh" || o.getType() == "Model") << cut;
        if (cut < 8) {
            EXPECT_EQ(o.getId(), id) << cut;
        }
        if (cut < 4) {
            EXPECT_EQ(mask, 0u) << cut;
        }
        ASSERT_EQ(vl::WorldManager::getInstance().checkConsistency(), 0) << cut;
    }
    EXPECT_NE(m_world.log().find("Object::deserialize(): Error! Stream eof."), std::string::npos);
}
