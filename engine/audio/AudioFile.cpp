// SPDX-License-Identifier: MIT
// Opening a sound file through the desktop's audio library, checked first.
#include <veltrane/audio/AudioResource.h>

#include <SFML/Audio/InputSoundFile.hpp>

#include "Mp3Reader.h"
#include <veltrane/audio/AudioDevice.h>

namespace vl {

bool AudioResource::openChecked(sf::InputSoundFile& file, const std::string& filename, const char* writer) {
    registerMp3Reader();
    // Checked before the library reads it: a directory or a pipe would hold it up.
    if (!checkAudioFile(filename, writer)) {
        return false;
    }
    if (!file.openFromFile(filename)) {
        return false;
    }
    return checkAudioFormat(file.getChannelCount(), file.getSampleRate(), writer, filename);
}

}  // namespace vl
