// SPDX-License-Identifier: MIT
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

TEST(TestSupport, TempPathGivesDistinctPaths) {
    std::set<std::string> paths;
    for (int i = 0; i < 100; i++) {
        paths.insert(vltest::tempPath("same.txt"));
    }
    EXPECT_EQ(paths.size(), 100u);
}

TEST(TestSupport, TempPathEndsWithTheNameAndDoesNotExistYet) {
    const std::string path = vltest::tempPath("sample.log");
    EXPECT_EQ(path.substr(path.size() - 10), "sample.log");
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(TestSupport, ReadFileReturnsWhatWasWritten) {
    const std::string path = vltest::tempPath("roundtrip.bin");
    const std::string contents("line one\nline two\0with a zero byte\n", 35);
    ASSERT_TRUE(vltest::writeFile(path, contents));
    EXPECT_EQ(vltest::readFile(path), contents);
}

TEST(TestSupport, ReadFileOfAMissingFileIsEmpty) {
    EXPECT_EQ(vltest::readFile(vltest::tempPath("missing.txt")), "");
}

TEST(TestSupport, TestsRunFromTheRepositoryRoot) {
    EXPECT_TRUE(std::filesystem::exists("CMakeLists.txt"));
    EXPECT_TRUE(std::filesystem::exists("tests/support/TestSupport.h"));
}

TEST(TestSupport, SourcePathFindsFilesOfTheRepository) {
    EXPECT_NE(vltest::readFile(vltest::sourcePath("tests/support/TestSupport.h")), "");
    EXPECT_EQ(vltest::dataPath("x.txt"), std::string(VL_SOURCE_DIR) + "/tests/data/x.txt");
}
