// SPDX-License-Identifier: MIT
#include "WindowClose.h"

#include <X11/Xlib.h>

namespace vltest {

bool requestWindowClose(unsigned long window_id) {
    Display* p_display = XOpenDisplay(nullptr);
    if (p_display == nullptr) {
        return false;
    }
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window_id;
    event.xclient.message_type = XInternAtom(p_display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(p_display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const Status sent = XSendEvent(p_display, window_id, False, NoEventMask, &event);
    XSync(p_display, False);
    XCloseDisplay(p_display);
    return sent != 0;
}

bool destroyWindow(unsigned long window_id) {
    Display* p_display = XOpenDisplay(nullptr);
    if (p_display == nullptr) {
        return false;
    }
    XDestroyWindow(p_display, window_id);
    XSync(p_display, False);
    XCloseDisplay(p_display);
    return true;
}

}  // namespace vltest
