// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include <veltrane/platform/Platform.h>

// What a library writes to standard error while captured stays out of the terminal.
TEST(LibraryChatter, CaptureTakesBothStreamAndDescriptorWrites) {
    const int first = vl::platform::beginStderrCapture();
    ASSERT_GE(first, 0);
    EXPECT_EQ(vl::platform::beginStderrCapture(), -1);  // not nested
    std::fprintf(stderr, "ALSA lib: no card\n");
    EXPECT_EQ(write(2, "AL lib: (EE) no device\n", 23), 23);
    EXPECT_EQ(vl::platform::endStderrCapture(first), "ALSA lib: no card\nAL lib: (EE) no device\n");
    const int second = vl::platform::beginStderrCapture();
    EXPECT_EQ(vl::platform::endStderrCapture(second), "");
}
