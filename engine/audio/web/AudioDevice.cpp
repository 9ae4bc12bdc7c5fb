// SPDX-License-Identifier: MIT
// The page's audio stands for the device: the browser plays everything, once the user has pressed a key.
#include <veltrane/audio/AudioDevice.h>

#include <veltrane/core/LogManager.h>

extern "C" int vl_audio_available();

namespace vl {

bool isAudioAvailable() {
    static const bool available = [] {
        if (vl_audio_available() == 0) {
            LogManager::getInstance().writeLog(
                "AudioDevice::probe(): Warning! The browser has no audio. Sound and music are silent.");
            return false;
        }
        LogManager::getInstance().writeLog(
            1, "AudioDevice::probe(): the page's audio, heard after the first key.");
        return true;
    }();
    return available;
}

}  // namespace vl
