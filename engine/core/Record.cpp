// SPDX-License-Identifier: MIT
#include <veltrane/core/Record.h>

#include <climits>

#include <veltrane/core/LogManager.h>

namespace vl {
namespace record {

long long remainingBytes(std::istream& stream) {
    if (!stream.good()) {
        return -1;
    }
    const std::istream::pos_type here = stream.tellg();
    if (here == std::istream::pos_type(-1)) {
        return -1;
    }
    stream.seekg(0, std::ios::end);
    const std::istream::pos_type end = stream.tellg();
    if (!stream || end == std::istream::pos_type(-1)) {
        // The stream was good on entry: restoring that state loses nothing.
        stream.clear();
        stream.seekg(here);
        return -1;
    }
    stream.seekg(here);
    return static_cast<long long>(end - here);
}

bool checkLength(std::istream& stream, uint64_t count, uint64_t element_size, const char* p_who) {
    const long long remaining = remainingBytes(stream);
    const uint64_t limit = remaining >= 0 ? static_cast<uint64_t>(remaining) : MAX_UNSEEKABLE_BYTES;
    // Divided rather than multiplied, so that no count can overflow the test.
    if (element_size == 0 || count <= limit / element_size) {
        return true;
    }
    const uint64_t wanted = count > UINT64_MAX / element_size ? UINT64_MAX : count * element_size;
    LogManager::getInstance().writeLog("%s: Error! Cannot allocate %d bytes.", p_who,
                                       wanted > INT_MAX ? INT_MAX : static_cast<int>(wanted));
    stream.setstate(std::ios::failbit);
    return false;
}

void writeBool(std::ostream& stream, bool value) {
    const uint8_t byte = value ? 1 : 0;
    write(stream, byte);
}

bool readBool(std::istream& stream, bool& value) {
    uint8_t byte = 0;
    if (!read(stream, byte)) {
        return false;
    }
    value = byte != 0;
    return true;
}

void writeString(std::ostream& stream, const std::string& text) {
    const uint64_t length = text.size();
    write(stream, length);
    stream.write(text.data(), static_cast<std::streamsize>(text.size()));
}

bool readBytes(std::istream& stream, uint64_t n, std::string& text) {
    std::string got(static_cast<size_t>(n), '\0');
    if (n > 0) {
        stream.read(&got[0], static_cast<std::streamsize>(n));
    }
    if (!stream) {
        return false;
    }
    text.swap(got);
    return true;
}

bool readString(std::istream& stream, std::string& text, const char* p_who) {
    uint64_t length = 0;
    if (!read(stream, length) || !checkLength(stream, length, 1, p_who)) {
        return false;
    }
    return readBytes(stream, length, text);
}

}  // namespace record
}  // namespace vl
