// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>
#include <sstream>
#include <string>

#include "TestSupport.h"
#include <veltrane/core/LogManager.h>
#include <veltrane/core/Utility.h>
#include <veltrane/world/Solidness.h>

TEST(Utility, TimeStringIsTheTimeOfDay) {
    const std::string text = vl::getTimeString();
    EXPECT_TRUE(std::regex_match(text, std::regex("[0-2]\\d:[0-5]\\d:[0-6]\\d"))) << text;
}

TEST(Utility, NumbersAsText) {
    EXPECT_EQ(vl::toString(-42), "-42");
    EXPECT_EQ(vl::toString(2.5f), "2.5");
    EXPECT_EQ(vl::toString(1.0f), "1");
    EXPECT_EQ(vl::toString(1.0f / 3.0f), "0.333333");
    EXPECT_EQ(vl::toBinaryString(5), std::string(29, '0') + "101");
    EXPECT_EQ(vl::toBinaryString(-1), std::string(32, '1'));
    EXPECT_EQ(vl::toBinaryString(0x3FFFF), std::string(14, '0') + std::string(18, '1'));
}

TEST(Utility, SolidnessNamesAndRanges) {
    EXPECT_EQ(vl::solidnessToString(vl::HARD), "hard");
    EXPECT_EQ(vl::solidnessToString(vl::SOFT), "soft");
    EXPECT_EQ(vl::solidnessToString(vl::SPECTRAL), "spectral");
    EXPECT_EQ(vl::solidnessToString(static_cast<vl::Solidness>(3)), "undefined");
    EXPECT_TRUE(vl::valueInRange(4, 0, 4));
    EXPECT_TRUE(vl::valueInRange(0, 0, 4));
    EXPECT_FALSE(vl::valueInRange(4.0001f, 0, 4));
    EXPECT_FALSE(vl::valueInRange(2, 4, 0));
}

TEST(Utility, CheckStreamNamesTheFirstProblem) {
    const std::string path = vltest::tempPath("stream.log");
    setenv("VELTRANE_LOG", path.c_str(), 1);
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
    EXPECT_EQ(vl::leadingInteger("42abc"), 42);
    EXPECT_EQ(vl::leadingInteger("  -7"), -7);
    EXPECT_EQ(vl::leadingInteger("x1"), 0);
    EXPECT_EQ(vl::leadingInteger(""), 0);
    EXPECT_EQ(vl::leadingInteger("99999999999"), 2147483647);
    EXPECT_EQ(vl::leadingInteger("-99999999999"), -2147483647 - 1);
}
