// SPDX-License-Identifier: MIT
#ifndef VL_VECTOR_H
#define VL_VECTOR_H

#include <istream>
#include <ostream>
#include <string>

namespace vl {

/// A position, velocity or offset in character cells (x to the right, y downwards).
class Vector {
public:
    /// The vector (init_x, init_y).
    Vector(float init_x, float init_y);
    Vector();  ///< (0, 0)

    ///@{
    /// The components, in cells.
    float getX() const;
    void setX(float new_x);
    float getY() const;
    void setY(float new_y);
    void setXY(float new_x, float new_y);
    ///@}

    /// The length.
    float getMagnitude() const;
    void normalize();  ///< unit length; a zero vector stays zero
    /// Multiplies both components by s.
    void scale(float s);
    /// Both components are zero.
    bool isZero() const;

    /// The component-wise sum.
    Vector operator+(const Vector& other) const;
    Vector operator-(const Vector& other) const;  ///< this minus other
    /// Adds other to this vector.
    Vector& operator+=(const Vector& other);
    bool operator==(const Vector& other) const;  ///< exact
    /// Differs in a component.
    bool operator!=(const Vector& other) const;

    std::string toString() const;  ///< "(1.5,2)"
    [[nodiscard]] int
    serialize(std::ostream& stream) const;  ///< x and y as 4-byte floats; 0, or -1 (logged) on a stream error
    [[nodiscard]] int deserialize(std::istream& stream);  ///< reads that record; unchanged on a short stream

private:
    float m_x;
    float m_y;
};

}  // namespace vl

#endif
