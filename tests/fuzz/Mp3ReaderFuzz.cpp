// SPDX-License-Identifier: MIT
// Arbitrary bytes to the MP3 reader: checking, opening, reading and seeking must neither crash nor hang,
// and reading must never give more than the length told at open.
#include <SFML/System/MemoryInputStream.hpp>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "audio/Mp3Reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* p_data, size_t size) {
    sf::MemoryInputStream stream;
    stream.open(p_data, size);
    static_cast<void>(vl::Mp3Reader::check(stream));
    // Opened even when check() says no: open() must stand on its own.
    vl::Mp3Reader reader;
    sf::SoundFileReader::Info info{};
    std::vector<sf::Int16> buffer(4096);
    const bool opened = reader.open(stream, info);
    bool sane = !opened || (info.channelCount >= 1 && info.channelCount <= 2 && info.sampleRate != 0);
    sf::Uint64 total = 0;
    for (sf::Uint64 got = 1; got > 0 && sane; total += got) {
        got = reader.read(buffer.data(), buffer.size());
        sane = got <= buffer.size() && (opened ? total + got <= info.sampleCount : got == 0);
    }
    if (!sane) {
        std::abort();
    }
    // To the middle and on, then back to the start, as a looping stream does.
    reader.seek(info.sampleCount / 2);
    static_cast<void>(reader.read(buffer.data(), buffer.size()));
    reader.seek(0);
    static_cast<void>(reader.read(buffer.data(), buffer.size() - 1));
    return 0;
}
