// SPDX-License-Identifier: MIT
#include <veltrane/world/Solidness.h>

namespace vl {

std::string solidnessToString(Solidness solidness) {
    switch (static_cast<int>(solidness)) {
    case HARD:
        return "hard";
    case SOFT:
        return "soft";
    case SPECTRAL:
        return "spectral";
    default:
        return "undefined";
    }
}

}  // namespace vl
