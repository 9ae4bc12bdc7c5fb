// SPDX-License-Identifier: MIT
#include <veltrane/platform/DisplayProbe.h>

#include <X11/Xlib.h>

#include <cstdlib>

namespace vl {

DisplayProbe::DisplayProbe() : m_p_display(nullptr) {
    const char* p_name = std::getenv("DISPLAY");
    m_name = p_name != nullptr ? p_name : "(unset)";
    if (p_name != nullptr && *p_name != '\0') {
        m_p_display = XOpenDisplay(nullptr);
    }
}

DisplayProbe::~DisplayProbe() {
    if (m_p_display != nullptr) {
        XCloseDisplay(static_cast<Display*>(m_p_display));
    }
}

bool DisplayProbe::isReachable() const {
    return m_p_display != nullptr;
}

std::string DisplayProbe::getName() const {
    return m_name;
}

}  // namespace vl
