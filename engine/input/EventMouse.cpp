// SPDX-License-Identifier: MIT
#include <veltrane/input/EventMouse.h>

#include <cctype>

namespace vl {

const char* mouseButtonName(Mouse::Button button) {
    switch (button) {
    case Mouse::UNDEFINED_MOUSE_BUTTON:
        return "UNDEFINED_MOUSE_BUTTON";
    case Mouse::LEFT:
        return "LEFT";
    case Mouse::RIGHT:
        return "RIGHT";
    case Mouse::MIDDLE:
        return "MIDDLE";
    }
    return nullptr;
}

bool mouseButtonFromName(const std::string& name, Mouse::Button* p_button) {
    std::string upper = name;
    for (char& c : upper) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    for (int value = Mouse::UNDEFINED_MOUSE_BUTTON; value <= Mouse::MIDDLE; value++) {
        const Mouse::Button button = static_cast<Mouse::Button>(value);
        if (upper == mouseButtonName(button)) {
            *p_button = button;
            return true;
        }
    }
    return false;
}

const char* mouseActionName(EventMouseAction action) {
    switch (action) {
    case CLICKED:
        return "clicked";
    case PRESSED:
        return "pressed";
    case MOVED:
        return "moved";
    default:
        return nullptr;
    }
}

EventMouse::EventMouse()
    : m_mouse_action(UNDEFINED_MOUSE_ACTION), m_mouse_button(Mouse::UNDEFINED_MOUSE_BUTTON), m_mouse_xy() {
    setType(MSE_EVENT);
}

EventMouse::~EventMouse() = default;

void EventMouse::setMouseAction(EventMouseAction new_mouse_action) {
    m_mouse_action = new_mouse_action;
}

EventMouseAction EventMouse::getMouseAction() const {
    return m_mouse_action;
}

void EventMouse::setMouseButton(Mouse::Button new_mouse_button) {
    m_mouse_button = new_mouse_button;
}

Mouse::Button EventMouse::getMouseButton() const {
    return m_mouse_button;
}

void EventMouse::setMousePosition(Vector new_mouse_xy) {
    m_mouse_xy = new_mouse_xy;
}

Vector EventMouse::getMousePosition() const {
    return m_mouse_xy;
}

}  // namespace vl
