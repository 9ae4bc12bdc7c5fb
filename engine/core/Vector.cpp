// SPDX-License-Identifier: MIT
#include <veltrane/core/Vector.h>

#include <cmath>

#include <veltrane/core/Record.h>
#include <veltrane/core/Utility.h>

namespace vl {

Vector::Vector(float init_x, float init_y) : m_x(init_x), m_y(init_y) {}

Vector::Vector() : m_x(0.0f), m_y(0.0f) {}

float Vector::getX() const {
    return m_x;
}
void Vector::setX(float new_x) {
    m_x = new_x;
}
float Vector::getY() const {
    return m_y;
}
void Vector::setY(float new_y) {
    m_y = new_y;
}

void Vector::setXY(float new_x, float new_y) {
    m_x = new_x;
    m_y = new_y;
}

float Vector::getMagnitude() const {
    return std::sqrt(m_x * m_x + m_y * m_y);
}

void Vector::normalize() {
    const float length = getMagnitude();
    if (length > 0.0f) {
        m_x /= length;
        m_y /= length;
    }
}

void Vector::scale(float s) {
    m_x *= s;
    m_y *= s;
}

bool Vector::isZero() const {
    return m_x == 0.0f && m_y == 0.0f;
}

Vector Vector::operator+(const Vector& other) const {
    return Vector(m_x + other.m_x, m_y + other.m_y);
}

Vector Vector::operator-(const Vector& other) const {
    return Vector(m_x - other.m_x, m_y - other.m_y);
}

Vector& Vector::operator+=(const Vector& other) {
    m_x += other.m_x;
    m_y += other.m_y;
    return *this;
}

bool Vector::operator==(const Vector& other) const {
    return m_x == other.m_x && m_y == other.m_y;
}

bool Vector::operator!=(const Vector& other) const {
    return !(*this == other);
}

std::string Vector::toString() const {
    return "(" + vl::toString(m_x) + "," + vl::toString(m_y) + ")";
}

int Vector::serialize(std::ostream& stream) const {
    record::write(stream, m_x);
    record::write(stream, m_y);
    return checkStream("Vector::serialize()", stream);
}

int Vector::deserialize(std::istream& stream) {
    float x = 0.0f;
    float y = 0.0f;
    if (record::read(stream, x) && record::read(stream, y)) {
        m_x = x;
        m_y = y;
    }
    return checkStream("Vector::deserialize()", stream);
}

}  // namespace vl
