// SPDX-License-Identifier: MIT
// How an object takes part in collisions.
#ifndef VL_SOLIDNESS_H
#define VL_SOLIDNESS_H

#include <string>

namespace vl {

enum Solidness : int {
    HARD = 0,      ///< solid; two hard objects cannot overlap
    SOFT = 1,      ///< solid; collides but may overlap
    SPECTRAL = 2,  ///< not solid; never collides
};

std::string solidnessToString(Solidness solidness);  ///< "hard", "soft", "spectral" or "undefined"

}  // namespace vl

#endif
