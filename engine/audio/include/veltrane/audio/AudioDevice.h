// SPDX-License-Identifier: MIT
// The audio device probe, and the sample formats sounds and music accept.
#ifndef VL_AUDIO_DEVICE_H
#define VL_AUDIO_DEVICE_H

#include <string>

namespace vl {

const unsigned int MAX_AUDIO_CHANNELS = 2;                ///< mono or stereo
const unsigned int MAX_AUDIO_RATE = 192000;               ///< samples per second per channel
const unsigned long long MAX_SOUND_SAMPLES = 1ull << 26;  ///< a sound decoded into memory: 128 MiB at most

/// True when the default audio device can be opened. The first call opens and closes it and logs the
/// answer once (the device's name at level 1, or, always written and on standard error, that sound and
/// music are silent);
/// later calls return the remembered answer without touching the device.
bool isAudioAvailable();

/// Whether filename names a regular file: the audio library spins forever reading a directory, and a
/// named pipe would block. Writes, always, why not, naming writer (e.g. "Sound::loadSound()").
[[nodiscard]] bool checkAudioFile(const std::string& filename, const char* writer);

/// Whether a file's channel count and sample rate can be played; writes, always, why not, naming
/// writer (e.g. "Sound::loadSound()") and filename.
[[nodiscard]] bool checkAudioFormat(unsigned int channels, unsigned int rate, const char* writer,
                                    const std::string& filename);

}  // namespace vl

#endif
