// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <set>
#include <vector>

#include <veltrane/core/Utility.h>

namespace {

struct IntRange {
    int low, high, expect_min, expect_max;
};

class RandomInt : public ::testing::TestWithParam<IntRange> {};

TEST_P(RandomInt, StaysInRangeAndReachesBothEnds) {
    const IntRange r = GetParam();
    std::srand(7);
    std::set<int> seen;
    for (int i = 0; i < 2000; i++) {
        const int value = vl::randomInt(r.low, r.high);
        ASSERT_GE(value, r.expect_min);
        ASSERT_LE(value, r.expect_max);
        seen.insert(value);
    }
    if (r.expect_max - static_cast<long>(r.expect_min) < 10) {
        EXPECT_EQ(*seen.begin(), r.expect_min);
        EXPECT_EQ(*seen.rbegin(), r.expect_max);
    }
}

INSTANTIATE_TEST_SUITE_P(Ranges, RandomInt,
                         ::testing::Values(IntRange{1, 6, 1, 6}, IntRange{3, -2, -2, 3}, IntRange{5, 5, 5, 5},
                                           IntRange{INT_MIN, INT_MAX, INT_MIN, INT_MAX}));

TEST(RandomHelpers, FloatsStayBelowTheTopAndTheSeedRepeatsTheSequence) {
    std::vector<float> first;
    std::srand(42);
    for (int i = 0; i < 1000; i++) {
        first.push_back(vl::randomFloat(2.0f, -1.0f));
        ASSERT_GE(first.back(), -1.0f);
        ASSERT_LT(first.back(), 2.0f);
    }
    std::srand(42);
    for (float expected : first) {
        ASSERT_EQ(vl::randomFloat(2.0f, -1.0f), expected);
    }
}

}  // namespace
