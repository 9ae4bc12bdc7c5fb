// SPDX-License-Identifier: MIT
#ifndef VL_SHAPE_H
#define VL_SHAPE_H

#include <istream>
#include <ostream>
#include <string>

#include <veltrane/core/Vector.h>
#include <veltrane/graphics/Color.h>

namespace vl {

enum ShapeType : int {
    UNDEFINED = -1,  ///< not drawn
    CIRCLE = 0,
    SQUARE = 1,
    TRIANGLE = 2,
};

std::string shapeTypeToString(int type);  ///< "circle", "square", "triangle"; "undefined" otherwise

/// An optional filled figure (circle, square or triangle) drawn in pixels at an object's position.
class Shape {
public:
    Shape();  ///< white circle, opaque, sized from the font scale and the cell size

    /// The kind of shape: -1 none, 0 to 2 the shapes.
    int getType() const;
    void setType(int new_type);  ///< -1..2; anything else is logged and ignored
    /// The named colour.
    Color getColor() const;
    void setColor(Color new_color);  ///< a named colour: the components follow it at each draw
    void setColor(unsigned char r, unsigned char g, unsigned char b);  ///< CUSTOM with these components
    /// The colour's components.
    void getRGB(unsigned char& r, unsigned char& g, unsigned char& b) const;
    /// The size in pixels.
    float getSize() const;
    void setSize(float new_size);  ///< pixels
    /// 255 opaque, 0 invisible.
    unsigned char getOpacity() const;
    void setOpacity(unsigned char new_opacity);  ///< 255 opaque, 0 invisible

    /// Draws the figure centred near world_pos (cells) through the display; nothing for UNDEFINED, and
    /// logged and skipped without a window. Non-const: a named colour refreshes the components.
    void draw(Vector world_pos);
    std::string toString() const;  ///< "circle, size 16.000000, White, 255"

    /// 13 bytes: type, size, colour (4 bytes each), opacity (1 byte), machine byte order. 0 or -1.
    [[nodiscard]] int serialize(std::ostream& stream) const;
    /// Reads the 13 bytes; a type or colour no shape can have, or a size that is not a finite number, is
    /// logged and refused with -1, leaving the shape unchanged.
    [[nodiscard]] int deserialize(std::istream& stream);

private:
    Color m_color;
    unsigned char m_red;
    unsigned char m_green;
    unsigned char m_blue;
    int m_type;
    float m_size;
    unsigned char m_opacity;
};

}  // namespace vl

#endif
