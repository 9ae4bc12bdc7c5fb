// SPDX-License-Identifier: MIT
// Stand-in for the window library's colour in the browser build: the same value type, nothing drawn.
#ifndef VL_STAND_IN_COLOR_HPP
#define VL_STAND_IN_COLOR_HPP

#include <cstdint>

namespace sf {

using Uint8 = std::uint8_t;
using Uint32 = std::uint32_t;

class Color {
public:
    constexpr Color() : r(0), g(0), b(0), a(255) {}
    constexpr Color(Uint8 red, Uint8 green, Uint8 blue, Uint8 alpha = 255)
        : r(red), g(green), b(blue), a(alpha) {}

    static const Color Black;
    static const Color White;

    Uint8 r;
    Uint8 g;
    Uint8 b;
    Uint8 a;
};

inline constexpr Color Color::Black(0, 0, 0);
inline constexpr Color Color::White(255, 255, 255);

}  // namespace sf

#endif
