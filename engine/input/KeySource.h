// SPDX-License-Identifier: MIT
#ifndef VL_KEY_SOURCE_H
#define VL_KEY_SOURCE_H

#include <cstdint>
#include <vector>

#include <veltrane/core/Vector.h>
#include <veltrane/input/EventKeyboard.h>
#include <veltrane/input/EventMouse.h>

namespace vl {

/// One report of a key source: a press, a release, a click, a move or a signal key.
struct KeyInput {
    enum Kind {
        PRESS,
        RELEASE,
        CLICK,
        MOVE,
        SIGNAL  //!< an interrupt, quit or suspend key a terminal reported as a key code
    };
    Kind kind;
    Keyboard::Key key;
    Mouse::Button button;
    Vector position;  //!< cells from the top-left corner
    int signal_number;
};

/// Where keys and the mouse come from when they arrive as a stream rather than as window events: the
/// terminal on the desktop, the page in the browser.
class KeySource {
public:
    virtual ~KeySource() = default;

    virtual void stop() = 0;                  ///< gives back whatever the source took over
    virtual const char* getName() const = 0;  ///< for log lines: "Terminal", "Page"
    /// Everything that happened since the last call, in order.
    virtual std::vector<KeyInput> read(int64_t now_ms) = 0;
    virtual bool isHeld(Keyboard::Key key) const = 0;
    /// False while a source can only guess releases (a terminal without release reports).
    virtual bool reportsReleases() const = 0;
    virtual void deliver(int signal_number) = 0;  ///< acts on a SIGNAL input it gave
    virtual bool isButtonHeld(Mouse::Button button) const = 0;
    virtual Vector getMousePosition() const = 0;  ///< cells
};

}  // namespace vl

#endif
