// SPDX-License-Identifier: MIT
#ifndef VL_EVENT_MOUSE_H
#define VL_EVENT_MOUSE_H

#include <string>

#include <veltrane/core/Event.h>
#include <veltrane/core/Vector.h>

namespace vl {

/// What happened at the mouse. The values are part of the engine's interface and must not change.
enum EventMouseAction : int {
    UNDEFINED_MOUSE_ACTION = -1,  ///< never sent
    CLICKED = 0,                  ///< a button went down
    PRESSED = 1,                  ///< a button is held; once per loop iteration per held button
    MOVED = 2,                    ///< the pointer moved
};

namespace Mouse {

enum Button : int {
    UNDEFINED_MOUSE_BUTTON = -1,
    LEFT = 0,
    RIGHT = 1,
    MIDDLE = 2,
};

}  // namespace Mouse

/// "LEFT", "RIGHT", "MIDDLE" or "UNDEFINED_MOUSE_BUTTON"; null for other values.
const char* mouseButtonName(Mouse::Button button);
/// The button whose name is name, ignoring letter case; false when there is none.
[[nodiscard]] bool mouseButtonFromName(const std::string& name, Mouse::Button* p_button);
/// "clicked", "pressed" or "moved"; null for UNDEFINED_MOUSE_ACTION and others.
const char* mouseActionName(EventMouseAction action);

/// Mouse events, the engine's mouse buttons and mouse actions.
class EventMouse : public Event {
public:
    EventMouse();  ///< type "vl-mouse", action and button undefined, position (0, 0)
    ~EventMouse() override;
    ///@{
    /// What the mouse did, and with which button.
    void setMouseAction(EventMouseAction new_mouse_action);
    EventMouseAction getMouseAction() const;
    void setMouseButton(Mouse::Button new_mouse_button);
    Mouse::Button getMouseButton() const;
    ///@}
    void setMousePosition(Vector new_mouse_xy);  ///< world character cells
    /// Where, in world character cells.
    Vector getMousePosition() const;

private:
    EventMouseAction m_mouse_action;
    Mouse::Button m_mouse_button;
    Vector m_mouse_xy;
};

}  // namespace vl

#endif
