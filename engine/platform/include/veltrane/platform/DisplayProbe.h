// SPDX-License-Identifier: MIT
#ifndef VL_DISPLAY_PROBE_H
#define VL_DISPLAY_PROBE_H

#include <string>

namespace vl {

/// Asks the window system whether a display can be reached, before the graphics library would abort on it.
/// Connects to the display named by $DISPLAY and holds the connection until destroyed: a fresh X server
/// resets when its last client leaves, so the connection must outlive the opening of the real window.
class DisplayProbe {
public:
    DisplayProbe();
    ~DisplayProbe();

    /// Whether the X display can be opened.
    bool isReachable() const;
    std::string getName() const;  ///< $DISPLAY, or "(unset)"

private:
    DisplayProbe(const DisplayProbe&) = delete;
    DisplayProbe& operator=(const DisplayProbe&) = delete;

    void* m_p_display;  //!< the X connection, or null
    std::string m_name;
};

}  // namespace vl

#endif
