// SPDX-License-Identifier: MIT
// Feeds arbitrary bytes to the MP3 reader: recognising, opening, reading and seeking must
// neither crash nor hang, and reading must never return more than the length given at open.
#include <SFML/System/MemoryInputStream.hpp>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include <veltrane/audio/Mp3Reader.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* p_data, size_t size) {
    static const uint8_t s_nothing = 0;
    sf::MemoryInputStream stream;
    stream.open(p_data != nullptr ? p_data : &s_nothing, p_data != nullptr ? size : 0);

    static_cast<void>(vl::Mp3Reader::check(stream));

    // Opened even when check() says no: open() must stand on its own.
    vl::Mp3Reader reader;
    sf::SoundFileReader::Info info{};
    if (!reader.open(stream, info)) {
        sf::Int16 sample = 0;
        if (reader.read(&sample, 1) != 0) {
            std::abort();
        }
        return 0;
    }
    if ((info.channelCount != 1 && info.channelCount != 2) || info.sampleRate == 0 ||
        info.sampleCount % info.channelCount != 0) {
        std::abort();
    }

    std::vector<sf::Int16> buffer(4096);
    sf::Uint64 total = 0;
    for (;;) {
        const sf::Uint64 got = reader.read(buffer.data(), buffer.size());
        if (got > buffer.size() || got % info.channelCount != 0) {
            std::abort();
        }
        if (got == 0) {
            break;
        }
        total += got;
        if (total > info.sampleCount) {
            std::abort();
        }
    }

    // Seek to the middle and read on; then back to the start, as a looping stream does.
    reader.seek(info.sampleCount / 2);
    static_cast<void>(reader.read(buffer.data(), buffer.size()));
    reader.seek(0);
    static_cast<void>(reader.read(buffer.data(), buffer.size() - 1));
    return 0;
}
