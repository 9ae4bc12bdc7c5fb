// SPDX-License-Identifier: MIT
#ifndef VL_BOX_H
#define VL_BOX_H

#include <istream>
#include <ostream>
#include <string>

#include <veltrane/core/Vector.h>

namespace vl {

/// An axis-aligned box: a top-left corner and extents, covering closed intervals.
class Box {
public:
    /// A box with its top-left corner and its extents in cells.
    Box(Vector init_corner, float init_horizontal, float init_vertical);
    Box();  ///< corner (0, 0), extents 0

    ///@{
    /// The top-left corner and the horizontal and vertical extents, in cells.
    Vector getCorner() const;
    void setCorner(Vector new_corner);
    float getHorizontal() const;
    void setHorizontal(float new_horizontal);
    float getVertical() const;
    void setVertical(float new_vertical);
    ///@}

    bool operator==(const Box& other) const;  ///< exact
    /// Not equal in corner or extents.
    bool operator!=(const Box& other) const;
    std::string toString() const;  ///< "(x,y) h: w v: h"
    [[nodiscard]] int
    serialize(std::ostream& stream) const;  ///< corner x, y, horizontal, vertical as 4-byte floats; 0 or -1
    [[nodiscard]] int deserialize(std::istream& stream);  ///< reads that record; unchanged on a short stream

private:
    Vector m_corner;
    float m_horizontal;
    float m_vertical;
};

}  // namespace vl

#endif
