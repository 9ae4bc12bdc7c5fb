// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>

#include "WorldFixture.h"
#include <veltrane/world/Object.h>

TEST(ObjectRecordRefusal, ARefusedRecordLeavesNothingToSendBack) {
    vltest::World world;
    const struct {
        uint32_t mask;
        std::string body;
    } refused[] = {
        {vl::POSITION, std::string(8, '\xff')},           // not a number
        {vl::ID | vl::ALTITUDE, std::string(6, '\x01')},  // cut inside the altitude
        {vl::TYPE, std::string(8, '\x7f')},               // a name longer than the record
    };
    for (const auto& r : refused) {
        vl::Object o;
        std::string bytes(sizeof(r.mask), '\0');
        std::memcpy(&bytes[0], &r.mask, sizeof(r.mask));
        std::stringstream in(bytes + r.body);
        EXPECT_EQ(o.deserialize(in), -1) << r.mask;
        std::stringstream out;
        ASSERT_EQ(o.serialize(out), 0);
        EXPECT_EQ(out.str(), std::string(4, '\0')) << r.mask;
    }
}
