// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <set>

#include <veltrane/core/Utility.h>

// Each range: its bounds as given, then as expected (any order in, both ends reached when small).
TEST(RandomHelpers, IntegersStayInRangeFloatsBelowTheTopAndTheSeedRepeats) {
    const int ranges[][4] = {
        {1, 6, 1, 6}, {3, -2, -2, 3}, {5, 5, 5, 5}, {INT_MIN, INT_MAX, INT_MIN, INT_MAX}};
    for (const auto& r : ranges) {
        std::srand(7);
        std::set<int> seen;
        for (int i = 0; i < 2000; i++) {
            seen.insert(vl::randomInt(r[0], r[1]));
        }
        EXPECT_GE(*seen.begin(), r[2]);
        EXPECT_LE(*seen.rbegin(), r[3]);
        EXPECT_TRUE(seen.size() > 6 || (*seen.begin() == r[2] && *seen.rbegin() == r[3])) << r[0];
    }
    std::srand(42);
    const float first = vl::randomFloat(2.0f, -1.0f);
    for (int i = 0; i < 1000; i++) {
        const float value = vl::randomFloat(2.0f, -1.0f);
        ASSERT_TRUE(value >= -1.0f && value < 2.0f) << value;
    }
    std::srand(42);
    EXPECT_EQ(vl::randomFloat(2.0f, -1.0f), first);
}
