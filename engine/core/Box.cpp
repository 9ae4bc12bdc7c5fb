// SPDX-License-Identifier: MIT
#include <veltrane/core/Box.h>

#include <veltrane/core/Record.h>
#include <veltrane/core/Utility.h>

namespace vl {

Box::Box(Vector init_corner, float init_horizontal, float init_vertical)
    : m_corner(init_corner), m_horizontal(init_horizontal), m_vertical(init_vertical) {}

Box::Box() : m_corner(), m_horizontal(0.0f), m_vertical(0.0f) {}

Vector Box::getCorner() const {
    return m_corner;
}
void Box::setCorner(Vector new_corner) {
    m_corner = new_corner;
}
float Box::getHorizontal() const {
    return m_horizontal;
}
void Box::setHorizontal(float new_horizontal) {
    m_horizontal = new_horizontal;
}
float Box::getVertical() const {
    return m_vertical;
}
void Box::setVertical(float new_vertical) {
    m_vertical = new_vertical;
}

bool Box::operator==(const Box& other) const {
    return m_corner == other.m_corner && m_horizontal == other.m_horizontal && m_vertical == other.m_vertical;
}

bool Box::operator!=(const Box& other) const {
    return !(*this == other);
}

std::string Box::toString() const {
    return m_corner.toString() + " h: " + vl::toString(m_horizontal) + " v: " + vl::toString(m_vertical);
}

int Box::serialize(std::ostream& stream) const {
    if (m_corner.serialize(stream) != 0) {
        return checkStream("Box::serialize()", stream);
    }
    record::write(stream, m_horizontal);
    record::write(stream, m_vertical);
    return checkStream("Box::serialize()", stream);
}

int Box::deserialize(std::istream& stream) {
    Vector corner;
    float horizontal = 0.0f;
    float vertical = 0.0f;
    if (corner.deserialize(stream) == 0 && record::read(stream, horizontal) &&
        record::read(stream, vertical)) {
        m_corner = corner;
        m_horizontal = horizontal;
        m_vertical = vertical;
    }
    return checkStream("Box::deserialize()", stream);
}

}  // namespace vl
