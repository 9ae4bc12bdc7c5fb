// SPDX-License-Identifier: MIT
#include "DisplayProbe.h"

#include <X11/Xlib.h>

#include <cstdlib>

namespace vl {

int probeDisplay(std::string& display_name) {
    const char* p_name = std::getenv("DISPLAY");
    display_name = p_name != nullptr ? p_name : "(unset)";
    if (p_name == nullptr || *p_name == '\0') {
        return -1;
    }
    Display* p_display = XOpenDisplay(nullptr);
    if (p_display == nullptr) {
        return -1;
    }
    XCloseDisplay(p_display);
    return 0;
}

}  // namespace vl
