// SPDX-License-Identifier: MIT
// The fixed encodings of object records (machine byte order, no padding), with every length read
// from a record checked against what the stream still holds before anything is allocated.
#ifndef VL_RECORD_H
#define VL_RECORD_H

#include <cstdint>
#include <istream>
#include <ostream>
#include <string>

namespace vl {
namespace record {

/// Most bytes a length may claim when the stream cannot tell how much it holds.
const uint64_t MAX_UNSEEKABLE_BYTES = 1 << 20;

long long remainingBytes(std::istream& stream);  ///< bytes left to read in a seekable stream, or -1

/// True when count elements of element_size bytes can still be in the stream. Otherwise writes,
/// always, "\<who>: Error! Cannot allocate %d bytes.", sets the fail bit and returns false.
[[nodiscard]] bool checkLength(std::istream& stream, uint64_t count, uint64_t element_size,
                               const char* p_who);

template <typename T>
void write(std::ostream& stream, const T& value) {
    stream.write(reinterpret_cast<const char*>(&value), sizeof(value));
}

/// Reads a value's bytes; on a short read the value is left as it was and false returned.
template <typename T>
[[nodiscard]] bool read(std::istream& stream, T& value) {
    T got{};
    stream.read(reinterpret_cast<char*>(&got), sizeof(got));
    if (!stream) {
        return false;
    }
    value = got;
    return true;
}

void writeBool(std::ostream& stream, bool value);                 ///< one byte, 0 or 1
[[nodiscard]] bool readBool(std::istream& stream, bool& value);   ///< any non-zero byte is true
void writeString(std::ostream& stream, const std::string& text);  ///< 8-byte length, then the bytes
/// Reads an 8-byte length and that many bytes into text; false (text unchanged) on a short stream
/// or a length beyond it (checked with checkLength under p_who).
[[nodiscard]] bool readString(std::istream& stream, std::string& text, const char* p_who);
/// Reads n bytes after a length already read and checked; false on a short stream.
[[nodiscard]] bool readBytes(std::istream& stream, uint64_t n, std::string& text);

}  // namespace record
}  // namespace vl

#endif
