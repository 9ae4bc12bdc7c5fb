// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "HeadlessEngine.h"
#include "PresentationSupport.h"
#include "StderrCapture.h"
#include "TestSupport.h"
#include <veltrane/audio/AudioDevice.h>
#include <veltrane/audio/Music.h>
#include <veltrane/audio/Sound.h>
#include <veltrane/core/LogManager.h>

namespace {

std::string audio(const std::string& name) {
    return vltest::dataPath("audio/" + name);
}

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

class NoAudioDeviceTest : public ::testing::Test {
protected:
    // The device is chosen before any audio object exists.
    void SetUp() override { ASSERT_EQ(setenv("ALSOFT_DRIVERS", "none", 1), 0); }
    std::string log() const { return m_log.log(); }

    vltest::LoggedConfig m_log{""};
};

TEST_F(NoAudioDeviceTest, LoadingWorksAndPlayingDoesNothingQuietly) {
    vl::Sound sound;
    vl::Music music;
    ASSERT_EQ(sound.loadSound(audio("stereo.mp3")), 0);
    ASSERT_EQ(music.loadMusic(audio("tone440.ogg")), 0);
    EXPECT_EQ(sound.getChannelCount(), 2u);
    EXPECT_EQ(sound.getSampleRate(), 44100u);
    EXPECT_NEAR(music.getDuration(), 0.5, 0.005);

    vltest::StderrCapture err;
    const double cpu_before = cpuSeconds();
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
    EXPECT_LT(cpuSeconds() - cpu_before, 0.2);
    music.stop();
    EXPECT_EQ(err.finish(), "");

    EXPECT_FALSE(vl::isAudioAvailable());
    const std::string text = log();
    EXPECT_EQ(vltest::countOccurrences(text, "No audio device can be opened"), 1) << text;
    EXPECT_NE(
        text.find(
            "AudioDevice::probe(): Warning! No audio device can be opened. Sound and music are silent."),
        std::string::npos);
}

}  // namespace
