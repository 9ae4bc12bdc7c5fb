// SPDX-License-Identifier: MIT
#include <veltrane/effects/ViewObject.h>

#include <cstdint>

#include <veltrane/core/LogManager.h>
#include <veltrane/core/Record.h>
#include <veltrane/core/Utility.h>
#include <veltrane/effects/EventView.h>
#include <veltrane/graphics/DisplayManager.h>
#include <veltrane/world/WorldManager.h>

namespace vl {

namespace {

const char* boolText(bool value) {
    return value ? "true" : "false";
}

// The location's place in view coordinates, for a view of W by H cells.
Vector locationPosition(ViewObjectLocation location, bool border, float w, float h) {
    const int column = location % 3;
    const int row = location / 3;
    float x = 0;
    if (column == 0) {
        x = w / 6;
    } else if (column == 2) {
        x = 5 * w / 6;
    } else {
        x = row == 1 ? w * 0.5f : 3 * w / 6;
    }
    float y = 0;
    if (row == 0) {
        y = border ? 1.0f : 0.0f;
    } else if (row == 1) {
        y = border ? h * 0.5f : h * 0.5f - 1;
    } else {
        y = border ? h - 2 : h - 1;
    }
    return Vector(x, y);
}

}  // namespace

std::string locationToString(int location) {
    static const char* const NAMES[] = {"top-left",    "top-center",    "top-right",
                                        "center-left", "center-center", "center-right",
                                        "bot-left",    "bot-center",    "bot-right"};
    if (location < TOP_LEFT || location > BOTTOM_RIGHT) {
        return "unknown";
    }
    return NAMES[location];
}

ViewObject::ViewObject()
    : m_value(0), m_draw_value(true), m_border(true), m_color(WHITE), m_location(UNDEFINED_LOCATION) {
    setSolidness(SPECTRAL);
    setAltitude(MAX_ALTITUDE);
    setType("ViewObject");
    setViewAnchored(true);
    const Box view = WorldManager::getInstance().getView();
    setPosition(Vector(3 * view.getHorizontal() / 6, 1));
    m_location = TOP_CENTER;
    if (registerInterest(VIEW_EVENT) != 0) {
        LogManager::getInstance().writeLog("ViewObject: Warning! Object %d hears no view events.", getId());
    }
    markModified(VALUE | APPEARANCE);
}

ViewObject::~ViewObject() = default;

void ViewObject::markModified(unsigned int bit) {
    setModified(getModified() | bit);
}

int ViewObject::setPosition(Vector view_pos) {
    if (view_pos == getPosition()) {
        return 0;
    }
    m_location = UNDEFINED_LOCATION;
    const int result = Object::setPosition(view_pos);
    markModified(APPEARANCE);
    return result;
}

void ViewObject::setLocation(ViewObjectLocation new_location) {
    if (new_location < TOP_LEFT || new_location > BOTTOM_RIGHT) {
        LogManager::getInstance().writeLog(
            "ViewObject::setLocation(): Warning! Location out of range (%d). Ignored.",
            static_cast<int>(new_location));
        return;
    }
    const Box view = WorldManager::getInstance().getView();
    setPosition(locationPosition(new_location, m_border, view.getHorizontal(), view.getVertical()));
    m_location = new_location;
    markModified(APPEARANCE);
}

void ViewObject::setDrawValue(bool new_draw_value) {
    if (new_draw_value == m_draw_value) {
        return;
    }
    m_draw_value = new_draw_value;
    markModified(APPEARANCE);
}

void ViewObject::setValue(int new_value) {
    if (new_value == m_value) {
        return;
    }
    m_value = new_value;
    markModified(VALUE);
}

void ViewObject::setBorder(bool new_border) {
    if (new_border == m_border) {
        return;
    }
    m_border = new_border;
    markModified(APPEARANCE);
    // The rows of the named locations depend on the border.
    if (m_location != UNDEFINED_LOCATION) {
        setLocation(m_location);
    }
}

void ViewObject::setColor(Color new_color) {
    if (new_color == m_color) {
        return;
    }
    m_color = new_color;
    markModified(APPEARANCE);
}

void ViewObject::setViewString(std::string new_view_string) {
    if (new_view_string == m_view_string) {
        return;
    }
    m_view_string = std::move(new_view_string);
    markModified(APPEARANCE);
}

ViewObjectLocation ViewObject::getLocation() const {
    return m_location;
}

bool ViewObject::getDrawValue() const {
    return m_draw_value;
}

int ViewObject::getValue() const {
    return m_value;
}

bool ViewObject::getBorder() const {
    return m_border;
}

Color ViewObject::getColor() const {
    return m_color;
}

std::string ViewObject::getViewString() const {
    return m_view_string;
}

int ViewObject::eventHandler(const Event* p_e) {
    if (p_e->getType() == VIEW_EVENT) {
        const auto* p_view = dynamic_cast<const EventView*>(p_e);
        if (p_view == nullptr || p_view->getTag() != m_view_string) {
            return 0;
        }
        // Wraps like the machine's integers instead of overflowing.
        const int64_t sum = static_cast<int64_t>(m_value) + p_view->getValue();
        setValue(p_view->getDelta() ? static_cast<int>(static_cast<uint32_t>(sum)) : p_view->getValue());
        return 1;
    }
    return Object::eventHandler(p_e);
}

std::string ViewObject::getDisplayString() const {
    std::string text = m_view_string;
    if (m_draw_value) {
        text += " " + toString(m_value);
    }
    return m_border ? " " + text + " " : text;
}

int ViewObject::draw() {
    const DisplayManager& display = DisplayManager::getInstance();
    const std::string text = getDisplayString();
    const Vector p = viewToWorld(getPosition());
    int result = display.drawString(p, text, CENTER, m_color);
    if (m_border) {
        const int w = static_cast<int>(text.size());
        const std::string rule(text.size(), '-');
        result += display.drawString(Vector(p.getX(), p.getY() - 1), rule, CENTER, m_color);
        result += display.drawString(Vector(p.getX(), p.getY() + 1), rule, CENTER, m_color);
        const float left = p.getX() - static_cast<float>(w / 2) - 1;
        result += display.drawCharacter(Vector(left, p.getY()), '|', m_color, 0);
        result += display.drawCharacter(Vector(left + static_cast<float>(w) + 1, p.getY()), '|', m_color, 0);
    }
    return result;
}

int ViewObject::serialize(std::stringstream& stream, unsigned int attr) {
    const LogManager& log = LogManager::getInstance();
    const unsigned int mask = attr != 0 ? attr : getModified();
    if (Object::serialize(stream, attr) != 0) {
        return -1;
    }
    log.writeLog(20, "ViewObject::serialize(): serializing attributes");
    log.writeLog(20, "ViewObject::serialize(): attr is %u, modified is %u (%s)", attr, getModified(),
                 boolText(getModified() != 0));
    if (mask & VALUE) {
        record::write(stream, static_cast<int32_t>(m_value));
        log.writeLog(25, "\tVALUE");
        setModified(getModified() & ~VALUE);
    }
    if (mask & APPEARANCE) {
        log.writeLog(25, "\tAPPEARANCE");
        record::writeString(stream, m_view_string);
        log.writeLog(25, "\tVIEW_STRING: %s", m_view_string.c_str());
        record::writeBool(stream, m_border);
        log.writeLog(25, "\tBORDER: %s", boolText(m_border));
        record::write(stream, static_cast<int32_t>(m_color));
        log.writeLog(25, "\tCOLOR: %s", colorToName(m_color).c_str());
        record::write(stream, static_cast<int32_t>(m_location));
        log.writeLog(25, "\tLOCATION: %s", locationToString(m_location).c_str());
        record::writeBool(stream, m_draw_value);
        log.writeLog(25, "\tDRAW_VALUE: %s", boolText(m_draw_value));
        setModified(getModified() & ~APPEARANCE);
    }
    return checkStream("ViewObject::serialize()", stream);
}

int ViewObject::deserialize(std::stringstream& stream, unsigned int* p_attr) {
    const LogManager& log = LogManager::getInstance();
    unsigned int mask = 0;
    if (Object::deserialize(stream, &mask) != 0) {
        log.writeLog("ViewObject::deserialize(): Error calling Object::deserialize().");
        if (p_attr != nullptr) {
            *p_attr = mask;
        }
        return -1;
    }
    if (p_attr != nullptr) {
        *p_attr = mask;
    }
    log.writeLog(20, "ViewObject::deserialize(): attr %u (%s)", mask,
                 toBinaryString(static_cast<int>(mask)).c_str());
    if (mask & VALUE) {
        int32_t value = 0;
        if (!record::read(stream, value)) {
            return checkStream("ViewObject::deserialize()", stream);
        }
        log.writeLog(25, "\tVALUE: %d", value);
        setValue(value);
    }
    if (mask & APPEARANCE) {
        // Everything is read and checked before anything is applied.
        std::string view_string;
        bool border = false;
        int32_t color = 0;
        int32_t location = 0;
        bool draw_value = false;
        if (!record::readString(stream, view_string, "ViewObject::deserialize()") ||
            !record::readBool(stream, border) || !record::read(stream, color) ||
            !record::read(stream, location) || !record::readBool(stream, draw_value)) {
            stream.setstate(std::ios::failbit);
            return checkStream("ViewObject::deserialize()", stream);
        }
        if (color < BLACK || color > CUSTOM) {
            log.writeLog("ViewObject::deserialize(): Error! Color %d out of range.", static_cast<int>(color));
            stream.setstate(std::ios::failbit);
            return checkStream("ViewObject::deserialize()", stream);
        }
        log.writeLog(25, "\tVIEW_STRING: %s", view_string.c_str());
        log.writeLog(25, "\tBORDER: %s", boolText(border));
        log.writeLog(25, "\tCOLOR: %s", colorToName(static_cast<Color>(color)).c_str());
        log.writeLog(25, "\tLOCATION: %s", locationToString(location).c_str());
        log.writeLog(25, "\tDRAW_VALUE: %s", boolText(draw_value));
        setViewString(view_string);
        setBorder(border);
        setColor(static_cast<Color>(color));
        // A position set directly has no location: the object's part already placed it.
        if (location != UNDEFINED_LOCATION) {
            setLocation(static_cast<ViewObjectLocation>(location));
        }
        setDrawValue(draw_value);
    }
    log.writeLog(20, "ViewObject::deserialize(): done checking all types.");
    return checkStream("ViewObject::deserialize()", stream);
}

}  // namespace vl
