// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <string>
#include <thread>

#include "HeadlessEngine.h"  // countOccurrences
#include "PresentationSupport.h"
#include "StderrCapture.h"
#include "TestSupport.h"
#include <veltrane/audio/AudioDevice.h>
#include <veltrane/audio/Music.h>
#include <veltrane/audio/Sound.h>

namespace {

TEST(NoAudioDeviceTest, LoadingWorksAndPlayingDoesNothingQuietly) {
    ASSERT_EQ(setenv("ALSOFT_DRIVERS", "none", 1), 0);  // before any audio object exists
    vltest::LoggedConfig log("");
    vl::Sound sound;
    vl::Music music;
    ASSERT_EQ(sound.loadSound(vltest::dataPath("audio/stereo.mp3")), 0);
    ASSERT_EQ(music.loadMusic(vltest::dataPath("audio/tone440.ogg")), 0);
    EXPECT_EQ(sound.getChannelCount(), 2u);
    EXPECT_NEAR(music.getDuration(), 0.5, 0.005);

    vltest::StderrCapture err;
    const std::clock_t cpu_before = std::clock();
    for (int i = 0; i < 1000; i++) {
        sound.play(i % 2 == 0);
        music.play(true);
        music.pause();
        music.play(true);
        sound.stop();
    }
    EXPECT_FALSE(sound.isPlaying());
    EXPECT_FALSE(music.isPlaying());
    // Music "playing" for half a second must cost no CPU: no streaming thread spins on errors.
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_LT(static_cast<double>(std::clock() - cpu_before) / CLOCKS_PER_SEC, 0.2);
    music.stop();
    EXPECT_EQ(err.finish(), "");

    EXPECT_FALSE(vl::isAudioAvailable());
    EXPECT_EQ(
        vltest::countOccurrences(
            log.log(),
            "AudioDevice::probe(): Warning! No audio device can be opened. Sound and music are silent."),
        1);
}

}  // namespace
