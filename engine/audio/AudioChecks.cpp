// SPDX-License-Identifier: MIT
// The checks every audio file passes before the audio library, or the page, reads it.
#include <filesystem>
#include <system_error>

#include <veltrane/audio/AudioDevice.h>
#include <veltrane/core/LogManager.h>

namespace vl {

bool checkAudioFile(const std::string& filename, const char* writer) {
    std::error_code error;
    if (std::filesystem::is_regular_file(filename, error)) {
        return true;
    }
    if (error) {
        LogManager::getInstance().writeLog("%s: Error! Cannot open '%s': %s.", writer, filename.c_str(),
                                           error.message().c_str());
    } else {
        LogManager::getInstance().writeLog("%s: Error! '%s' is not a regular file.", writer,
                                           filename.c_str());
    }
    return false;
}

bool checkAudioFormat(unsigned int channels, unsigned int rate, const char* writer,
                      const std::string& filename) {
    if (channels == 0 || channels > MAX_AUDIO_CHANNELS) {
        LogManager::getInstance().writeLog("%s: Error! '%s' has %u channels (1 to %u can be played).", writer,
                                           filename.c_str(), channels, MAX_AUDIO_CHANNELS);
        return false;
    }
    if (rate == 0 || rate > MAX_AUDIO_RATE) {
        LogManager::getInstance().writeLog(
            "%s: Error! '%s' has a sample rate of %u Hz (1 to %u can be played).", writer, filename.c_str(),
            rate, MAX_AUDIO_RATE);
        return false;
    }
    return true;
}

}  // namespace vl
