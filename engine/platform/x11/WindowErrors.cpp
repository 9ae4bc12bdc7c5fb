// SPDX-License-Identifier: MIT
#include <veltrane/platform/WindowErrors.h>

#include <X11/Xlib.h>

namespace vl {
namespace platform {

namespace {

XErrorHandler s_previous_handler = nullptr;
bool s_catching = false;
bool s_window_lost = false;

int onWindowError(Display* p_display, XErrorEvent* p_error) {
    if (p_error->error_code == BadWindow || p_error->error_code == BadDrawable) {
        s_window_lost = true;
    }
    // Once the window is gone, whatever else fails on it only follows from that.
    if (s_window_lost || s_previous_handler == nullptr) {
        return 0;
    }
    return s_previous_handler(p_display, p_error);
}

}  // namespace

void catchWindowErrors() {
    s_window_lost = false;
    if (s_catching) {
        return;
    }
    s_previous_handler = XSetErrorHandler(onWindowError);
    s_catching = true;
}

bool isWindowLost() {
    return s_window_lost;
}

}  // namespace platform
}  // namespace vl
