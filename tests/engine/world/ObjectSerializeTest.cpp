// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>

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

std::string mask(unsigned int bits) {
    return bytesOf(uint32_t{bits});
}

template <typename T>
std::string recordOf(const T& value) {
    std::stringstream ss;
    EXPECT_EQ(0, value.serialize(ss));
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
    bool logged(const std::string& line) const { return m_world.log().find(line) != std::string::npos; }

    vltest::World m_world;
};

}  // namespace

TEST_F(Records, ANewObjectWritesEveryAttributeOnceThenOnlyWhatChangedOrWasAsked) {
    vl::Object o;
    EXPECT_EQ(serialized(o).substr(0, 4), mask(vl::ALL_OBJECT_ATTRIBUTES));
    EXPECT_EQ(serialized(o), mask(0));
    o.setSpeed(0.25f);
    o.setPosition(vl::Vector(3, 4));
    EXPECT_EQ(serialized(o, vl::POSITION), mask(0x20) + vec(3, 4));
    EXPECT_EQ(o.getModified(), static_cast<unsigned int>(vl::SPEED));  // position marked sent, speed not
    EXPECT_EQ(serialized(o, vl::POSITION), mask(0x20) + vec(3, 4));    // sent again when asked
    EXPECT_EQ(serialized(o), mask(0x800) + bytesOf(0.25f));
}

// Every attribute set through its setter is marked, and the record rebuilds it elsewhere.
TEST_F(Records, AFullRecordRebuildsTheObjectElsewhere) {
    auto* p_from = new vl::Object;
    p_from->setModified(0);
    p_from->setId(vl::Object::getNextId());
    p_from->setActive(false);
    p_from->setActive(true);
    p_from->setType("Crate");
    p_from->setPosition(vl::Vector(12.5f, 7));
    ASSERT_EQ(p_from->setSprite("player"), 0);
    vl::Animation animation = p_from->getAnimation();
    animation.setIndex(2);
    p_from->setAnimation(animation, false);
    p_from->setBox(vl::Box(vl::Vector(-1, -1), 3, 2));
    p_from->setAltitude(4);
    p_from->setSolidness(vl::SOFT);
    p_from->setNoSoft(true);
    p_from->setVelocity(vl::Vector(0, -2));
    p_from->setAcceleration(vl::Vector(0.5f, 0));
    vl::Shape shape;
    shape.setType(vl::CIRCLE);
    p_from->setShape(shape);
    p_from->setAvoidCollisions(true);
    p_from->setPath(vl::Path({vl::Vector(1, 2), vl::Vector(3, 4)}));
    p_from->setFollowPath(true);
    p_from->setVisible(false);
    ASSERT_EQ(p_from->registerInterest("crate-moved"), 0);
    ASSERT_EQ(p_from->registerInterest(vl::STEP_EVENT), 0);
    const std::string record = serialized(*p_from);
    EXPECT_EQ(record.substr(0, 4), mask(vl::ALL_OBJECT_ATTRIBUTES));

    auto* p_to = new vl::Object;
    unsigned int got = 0;
    ASSERT_EQ(deserialize(*p_to, record, &got), 0);
    EXPECT_EQ(got, vl::ALL_OBJECT_ATTRIBUTES);
    EXPECT_EQ(p_to->getModified(), 0u);
    EXPECT_EQ(serialized(*p_to, vl::ALL_OBJECT_ATTRIBUTES), record);  // it writes back what it read
    EXPECT_EQ(p_to->getAnimation().getSprite(), p_from->getAnimation().getSprite());
    // The receiver really took the registrations: both objects get the loop's step.
    EXPECT_EQ(p_to->unregisterInterest("crate-moved"), 0);
    const vl::EventStep step(0);
    EXPECT_EQ(vl::GameManager::getInstance().onEvent(&step), 2);
    EXPECT_EQ(vl::WorldManager::getInstance().checkConsistency(), 0);
}

TEST_F(Records, DamagedOrAbsurdRecordsAreRefusedAndChangeNothing) {
    const struct {
        std::string bytes;
        const char* message;
    } cases[] = {
        {mask(vl::ID) + bytesOf(int32_t{INT_MAX - 1}),
         "Object::deserialize(): Error! Id 2147483646 out of range."},
        {mask(vl::TYPE) + bytesOf(uint64_t{1} << 62) + "abc", "Error! Cannot allocate 2147483647 bytes."},
        {mask(vl::EVENTS) + bytesOf(int32_t{1000000}), "Object::deserialize(): Error!"},
        {mask(vl::EVENTS) + bytesOf(int32_t{1}) + bytesOf(uint64_t{40}) + "x", "Cannot allocate 40 bytes."},
        {mask(vl::PATH) + bytesOf(uint64_t{1} << 61), "Object::deserialize(): Error!"},
        {mask(vl::POSITION) + vec(NAN, 1), "Error! POSITION is not a finite value."},
        {mask(vl::SPEED) + bytesOf(-INFINITY), "not a finite value."},
        {mask(vl::PATH) + bytesOf(uint64_t{1}) + vec(1, NAN), "Object::deserialize(): Error!"},
        {mask(vl::PATH) + bytesOf(uint64_t{3}) + std::string(16, '\0'),
         "Path::deserialize(): Error! Cannot allocate 24"},
        {mask(vl::PATH) + bytesOf(UINT64_MAX) + std::string(16, '\0'),
         "Path::deserialize(): Error! Stream fail."},
    };
    vl::Object o;
    ASSERT_EQ(o.registerInterest("kept"), 0);
    o.setType("Before");
    const std::string before = serialized(o, vl::ALL_OBJECT_ATTRIBUTES);
    const int next = vl::Object::getNextId();
    for (const auto& c : cases) {
        o.setModified(vl::ALL_OBJECT_ATTRIBUTES);
        EXPECT_EQ(deserialize(o, c.bytes), -1) << c.message;
        EXPECT_TRUE(logged(c.message)) << c.message;
        EXPECT_EQ(serialized(o), mask(0)) << c.message;  // a refused record leaves nothing to send back
    }
    EXPECT_EQ(serialized(o, vl::ALL_OBJECT_ATTRIBUTES), before);
    EXPECT_EQ(vl::Object::getNextId(), next);

    // Values the setters refuse are logged and ignored; the rest of the record still applies.
    ASSERT_EQ(deserialize(o, mask(vl::ALTITUDE | vl::SOLIDNESS) + bytesOf(int32_t{7}) + bytesOf(int32_t{9})),
              0);
    EXPECT_EQ(o.getAltitude(), 2);
    EXPECT_EQ(o.getSolidness(), vl::HARD);
    EXPECT_TRUE(logged("Object::setSolidness(): Solidness 9 not one of HARD, SOFT or SPECTRAL."));
}

TEST_F(Records, ReceivedEventsReplaceTheObjectsOwnButNeverCollisions) {
    vl::Object o;
    ASSERT_EQ(o.registerInterest("first"), 0);
    const std::string events = mask(vl::EVENTS) + bytesOf(int32_t{3}) + text("third") +
                               text(vl::COLLISION_EVENT) + text(vl::NETWORK_SYNC_EVENT);
    ASSERT_EQ(deserialize(o, events), 0);
    EXPECT_EQ(o.getEventCount(), 2);
    EXPECT_EQ(o.unregisterInterest("first"), -1);
    EXPECT_EQ(o.unregisterInterest("third"), 0);
    EXPECT_EQ(o.unregisterInterest(vl::NETWORK_SYNC_EVENT), 0);
    EXPECT_TRUE(logged("Object::deserialize(): Error! Register interest: vl-collision"));
}

// A peer's object may hold as many interests as ours; its record must not be refused.
TEST_F(Records, AnObjectWithEveryEventSlotTakenTravelsWhole) {
    vl::Object full;
    for (int i = 0; i < vl::MAX_OBJ_EVENTS; i++) {
        ASSERT_EQ(full.registerInterest("e" + std::to_string(i)), 0);
    }
    vl::Object copy;
    ASSERT_EQ(deserialize(copy, serialized(full, vl::EVENTS)), 0);
    EXPECT_EQ(copy.getEventCount(), vl::MAX_OBJ_EVENTS);
}

// A peer may name a sprite we lack, or a frame the sprite does not have.
TEST_F(Records, AMissingSpriteKeepsTheNameAndAMissingFrameStartsFromTheFirst) {
    vl::Object o;
    for (const char* name : {"absent", "player"}) {
        vl::Animation animation;
        animation.setName(name);
        animation.setIndex(4);
        ASSERT_EQ(deserialize(o, mask(vl::ANIMATION) + recordOf(animation)), 0) << name;
        EXPECT_EQ(o.getAnimation().getName(), name);
        EXPECT_EQ(o.getAnimation().getSprite() != nullptr, name == std::string("player"));
        EXPECT_EQ(o.getAnimation().getIndex(), name == std::string("player") ? 0 : 4);
    }
    EXPECT_TRUE(logged("Warning! Frame 4 not in sprite 'player' of 4 frames. Using 0."));
}

TEST_F(Records, ARecordCutAnywhereAppliesOnlyWhatCameBeforeTheCut) {
    vl::Object model;
    model.setType("Model");
    model.setVelocity(vl::Vector(1, 0));
    ASSERT_EQ(model.registerInterest("model-event"), 0);
    const std::string record = serialized(model, vl::ALL_OBJECT_ATTRIBUTES);
    for (size_t cut = 0; cut < record.size(); cut++) {
        vl::Object o;
        o.setType("Fresh");
        const int id = o.getId();
        unsigned int got = 1;
        EXPECT_EQ(deserialize(o, record.substr(0, cut), &got), -1) << cut;
        EXPECT_TRUE(o.getType() == "Fresh" || o.getType() == "Model") << cut;  // never half of it
        EXPECT_TRUE(cut >= 8 || o.getId() == id) << cut;
        EXPECT_TRUE(cut >= 4 || got == 0) << cut;
        EXPECT_EQ(serialized(o), mask(0)) << cut;  // not even what was applied before the cut
        ASSERT_EQ(vl::WorldManager::getInstance().checkConsistency(), 0) << cut;
    }
    EXPECT_TRUE(logged("Object::deserialize(): Error! Stream eof."));
}
