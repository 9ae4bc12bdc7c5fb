// SPDX-License-Identifier: MIT
#ifndef VL_VIEW_OBJECT_H
#define VL_VIEW_OBJECT_H

#include <string>

#include <veltrane/graphics/Color.h>
#include <veltrane/world/Object.h>

namespace vl {

enum ViewObjectLocation : int {
    UNDEFINED_LOCATION = -1,  ///< placed directly with setPosition
    TOP_LEFT = 0,
    TOP_CENTER,
    TOP_RIGHT,
    CENTER_LEFT,
    CENTER_CENTER,
    CENTER_RIGHT,
    BOTTOM_LEFT,
    BOTTOM_CENTER,
    BOTTOM_RIGHT,
};

/// "top-left" .. "bot-right"; "unknown" for UNDEFINED_LOCATION and any other value.
std::string locationToString(int location);

/// Attribute bits of view objects, beyond those of every object (written in records: must not change).
const unsigned int VALUE = 0x40000;       ///< the value
const unsigned int APPEARANCE = 0x80000;  ///< label, border, colour, location or value display

/// Head-up display text: a label, an optional value and an optional border at a fixed place on the screen.
/// Positions are in view coordinates (relative to the world manager's view) and become world
/// coordinates only when drawn, so a view object stays put on the screen while the world scrolls.
class ViewObject : public Object {
public:
    ViewObject();  ///< spectral, on top, "ViewObject", at TOP_CENTER with border and value; takes "vl-view"
    ~ViewObject() override;

    int setPosition(Vector view_pos) override;    ///< view coordinates; the location becomes undefined
    int eventHandler(const Event* p_e) override;  ///< view events with its label set or add to the value
    int draw() override;                          ///< 0 when everything was drawn
    [[nodiscard]] int serialize(std::stringstream& stream, unsigned int attr = 0) override;
    /// A colour outside 0..8 is logged and refused (-1).
    [[nodiscard]] int deserialize(std::stringstream& stream, unsigned int* p_attr = nullptr) override;

    /// A named place on the screen, from the current view's size; anything outside 0..8 is logged and
    /// ignored.
    virtual void setLocation(ViewObjectLocation new_location);
    ///@{
    /// What the view object shows: whether and which value, a border, its colour and its label.
    virtual void setDrawValue(bool new_draw_value = true);
    virtual void setValue(int new_value);
    virtual void setBorder(bool new_border);  ///< moves the object when at a named location
    virtual void setColor(Color new_color);
    virtual void setViewString(std::string new_view_string);

    ViewObjectLocation getLocation() const;
    bool getDrawValue() const;
    int getValue() const;
    bool getBorder() const;
    Color getColor() const;
    std::string getViewString() const;
    ///@}
    std::string getDisplayString() const;  ///< the text drawn: label, value and the border's spaces

private:
    void markModified(unsigned int bit);

    std::string m_view_string;
    int m_value;
    bool m_draw_value;
    bool m_border;
    Color m_color;
    ViewObjectLocation m_location;
};

}  // namespace vl

#endif
