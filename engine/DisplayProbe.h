// SPDX-License-Identifier: MIT
// Asks the window system whether a display can be reached, before the graphics library would abort on it.
#ifndef VL_DISPLAY_PROBE_H
#define VL_DISPLAY_PROBE_H

#include <string>

namespace vl {

// 0 when a connection to the display named by $DISPLAY can be opened (and is closed again), else -1.
// display_name receives $DISPLAY, or "(unset)".
int probeDisplay(std::string& display_name);

}  // namespace vl

#endif
