// SPDX-License-Identifier: MIT
// Small functions shared across the engine.
#ifndef VL_UTILITY_H
#define VL_UTILITY_H

#include <ios>
#include <string>

namespace vl {

const char* getTimeString();  ///< "hh:mm:ss" local time in a static buffer, or "(time error)"
[[nodiscard]] int checkStream(const std::string& name,
                              const std::ios& stream);  ///< 0 if good, else logs and -1
std::string toString(int value);
std::string toString(float value);                     ///< default stream format: 2.5, 1, 0.333333
std::string toBinaryString(int value);                 ///< 32 characters, most significant bit first
bool valueInRange(float value, float min, float max);  ///< min <= value <= max
/// The integer at the start of text: blanks skipped, optional sign, the rest ignored, 0 when there is
/// none; out-of-range values are clamped to int.
int leadingInteger(const std::string& text);
/// The path names something other than a regular file (a directory, a pipe, a device): opening it to
/// read would block, or read nothing a file reader expects. False for a missing path.
bool isSpecialFile(const std::string& path);
/// The number of single-character insertions, deletions and changes that turn a into b.
size_t editDistance(const std::string& a, const std::string& b);
/// Random numbers from the C library's generator, which the configuration's random_seed seeds at
/// start-up: with a fixed seed a replay draws the same numbers every run. Bounds may come in any order.
int randomInt(int low, int high);          ///< low to high, both included
float randomFloat(float low, float high);  ///< from low up to, but not including, high

}  // namespace vl

#endif
