// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>

#include "TestSupport.h"
#include <veltrane/core/LogManager.h>
#include <veltrane/core/Utility.h>

TEST(Utility, CheckStreamNamesTheFirstProblem) {
    const std::string path = vltest::useTempLog();
    vl::LogManager::getInstance().startUp();

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
