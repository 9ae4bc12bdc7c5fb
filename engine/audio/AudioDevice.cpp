// SPDX-License-Identifier: MIT
#include <veltrane/audio/AudioDevice.h>

#include <AL/alc.h>

#include <cstdio>

#include <veltrane/core/LogManager.h>
#include <veltrane/platform/Platform.h>

namespace vl {

namespace {

enum class Probe {
    NOT_YET,
    AVAILABLE,
    MISSING
};

Probe s_probe = Probe::NOT_YET;

// Kept at level 1 for whoever debugs the audio setup.
void logLibraryLines(const std::string& text) {
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        if (end > start) {
            LogManager::getInstance().writeLog(1, "AudioDevice::probe(): audio library: %s",
                                               text.substr(start, end - start).c_str());
        }
        start = end + 1;
    }
}

}  // namespace

bool isAudioAvailable() {
    if (s_probe != Probe::NOT_YET) {
        return s_probe == Probe::AVAILABLE;
    }
    const LogManager& log = LogManager::getInstance();
    // The audio library opens its own device with the first sound object and, without one, spins its
    // streaming thread on errors; asking the device layer first keeps those objects from ever existing.
    // Without a device the sound libraries print a dozen lines of their own; the engine says it in one.
    const int capture = platform::beginStderrCapture();
    ALCdevice* p_device = alcOpenDevice(nullptr);
    logLibraryLines(platform::endStderrCapture(capture));
    if (p_device == nullptr) {
        s_probe = Probe::MISSING;
        log.writeLog(
            "AudioDevice::probe(): Warning! No audio device can be opened. Sound and music are silent.");
        // A player who hears nothing looks at the console, not at the log.
        std::fprintf(stderr, "Veltrane: no audio device can be opened; playing without sound and music.\n");
        return false;
    }
    const ALCchar* p_name = alcGetString(p_device, ALC_DEVICE_SPECIFIER);
    log.writeLog(1, "AudioDevice::probe(): audio device '%s' opened.", p_name != nullptr ? p_name : "");
    alcCloseDevice(p_device);
    s_probe = Probe::AVAILABLE;
    return true;
}

}  // namespace vl
