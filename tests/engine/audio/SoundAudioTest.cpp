// SPDX-License-Identifier: MIT
// Plays through the audio layer's wave-file device, which writes what is mixed to a float stereo file.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "PresentationSupport.h"
#include "TestSupport.h"
#include <veltrane/audio/AudioDevice.h>
#include <veltrane/audio/Sound.h>

TEST(SoundAudioTest, PlayingASoundWritesItsToneToTheDevice) {
    // Read by the audio layer once, before the first audio object.
    const std::string wave_path = vltest::tempPath("out.wav");
    const std::string conf_path = vltest::tempPath("alsoft.conf");
    ASSERT_TRUE(
        vltest::writeFile(conf_path, "[general]\ndrivers = wave\n[wave]\nfile = " + wave_path + "\n"));
    setenv("ALSOFT_CONF", conf_path.c_str(), 1);
    unsetenv("ALSOFT_DRIVERS");
    vltest::LoggedConfig log("");
    ASSERT_TRUE(vl::isAudioAvailable());
    {
        vl::Sound sound;
        ASSERT_EQ(sound.loadSound(vltest::dataPath("audio/tone440.mp3")), 0);
        sound.play(false);
        for (int i = 0; i < 2000 && sound.isPlaying(); i++) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }  // the last audio object is gone, so the device closes and completes the file
    // The left channel; the header's sizes are only right once the device has closed, so trust the file.
    const std::string bytes = vltest::readFile(wave_path);
    const size_t data = bytes.find("data", 12);
    ASSERT_TRUE(data != std::string::npos && bytes[22] == 2 && bytes[34] == 32) << "not float stereo";
    // The loud stretch: from the first to the last sample above a quarter of the tone's amplitude.
    std::vector<float> left((bytes.size() - data - 8) / 8);
    size_t first = left.size();
    size_t last = 0;
    for (size_t i = 0; i < left.size(); i++) {
        std::memcpy(&left[i], bytes.data() + data + 8 + i * 8, sizeof(float));
        if (std::fabs(left[i]) > 0.08f) {
            first = std::min(first, i);
            last = i;
        }
    }
    ASSERT_LT(first, last);
    const double seconds = static_cast<double>(last - first) / 44100;
    EXPECT_NEAR(seconds, 0.5, 0.02);
    int crossings = 0;
    for (size_t i = first + 1; i <= last; i++) {
        crossings += (left[i - 1] < 0) != (left[i] < 0) ? 1 : 0;
    }
    EXPECT_NEAR(crossings / 2.0 / seconds, 440.0, 5.0);
}
