// SPDX-License-Identifier: MIT
// The engine's eight colours, their components and names.
#ifndef VL_COLOR_H
#define VL_COLOR_H

#include <string>

namespace vl {

/// Stored as a 32-bit int; any value outside 0..8 is an unsupported colour.
enum Color : int {
    BLACK = 0,
    RED = 1,
    GREEN = 2,
    YELLOW = 3,
    BLUE = 4,
    MAGENTA = 5,
    CYAN = 6,
    WHITE = 7,
    CUSTOM = 8,  ///< no components of its own: the user supplies them
};

/// Stores the components of colours 0..7; CUSTOM and unsupported values leave r, g, b untouched
/// (unsupported values log "colorToRGB(): Color %d not supported." at level 5).
void colorToRGB(Color c, unsigned char& r, unsigned char& g, unsigned char& b);
/// "Black" .. "White"; "Unknown color" for CUSTOM and unsupported values.
std::string colorToName(Color c);
/// Parses the lower-case name of colours 0..7 ("black" .. "white"); -1 when it names none.
[[nodiscard]] int colorFromName(const std::string& name, Color& color);

}  // namespace vl

#endif
