// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <set>
#include <sstream>
#include <string>

#include "TestSupport.h"
#include <veltrane/core/LogManager.h>
#include <veltrane/core/Utility.h>

TEST(Utility, CheckStreamNamesTheFirstProblem) {
    const std::string path = vltest::useTempLog();
    ASSERT_EQ(0, vl::LogManager::getInstance().startUp());

    std::istringstream good("12");
    EXPECT_EQ(vl::checkStream("good", good), 0);
    std::istringstream eof("");
    int value = 0;
    eof >> value;  // sets both eof and fail
    EXPECT_EQ(vl::checkStream("reader", eof), -1);
    std::istringstream fail("x");
    fail >> value;
    EXPECT_EQ(vl::checkStream("parser", fail), -1);
    std::istringstream bad("");
    bad.setstate(std::ios::badbit);
    EXPECT_EQ(vl::checkStream("broken", bad), -1);
    vl::LogManager::getInstance().shutDown();

    const std::string text = vltest::readFile(path);
    EXPECT_NE(text.find("reader: Error! Stream eof."), std::string::npos);
    EXPECT_EQ(text.find("reader: Error! Stream fail."), std::string::npos);
    EXPECT_NE(text.find("parser: Error! Stream fail."), std::string::npos);
    EXPECT_NE(text.find("broken: Error! Stream bad."), std::string::npos);
    EXPECT_EQ(text.find("good:"), std::string::npos);
}

TEST(Utility, LeadingIntegerReadsTheNumberAtTheStartAndClamps) {
    EXPECT_TRUE(vl::valueInRange(4, 0, 4));
    EXPECT_FALSE(vl::valueInRange(4.0001f, 0, 4));
    EXPECT_FALSE(vl::valueInRange(2, 4, 0));
    EXPECT_EQ(vl::leadingInteger("42abc"), 42);
    EXPECT_EQ(vl::leadingInteger("  -7"), -7);
    EXPECT_EQ(vl::leadingInteger("x1"), 0);
    EXPECT_EQ(vl::leadingInteger(""), 0);
    EXPECT_EQ(vl::leadingInteger("99999999999"), 2147483647);
    EXPECT_EQ(vl::leadingInteger("-99999999999"), -2147483647 - 1);
}

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
