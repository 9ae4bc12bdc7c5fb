// SPDX-License-Identifier: MIT
// Stand-in for the window library's regular polygon in the browser build: its points, from the top,
// clockwise.
#ifndef VL_STAND_IN_CIRCLE_SHAPE_HPP
#define VL_STAND_IN_CIRCLE_SHAPE_HPP

#include <cmath>
#include <cstddef>

#include <SFML/Graphics/Shape.hpp>

namespace sf {

class CircleShape : public Shape {
public:
    explicit CircleShape(float radius = 0, std::size_t point_count = 30)
        : m_radius(radius), m_count(point_count) {}

    void setRadius(float radius) { m_radius = radius; }
    void setPointCount(std::size_t count) { m_count = count; }
    std::size_t getPointCount() const override { return m_count; }
    // On the circle of the radius, inside the radius-sized box at the shape's position.
    Vector2f getPoint(std::size_t index) const override {
        const float pi = 3.141592654f;
        const float angle = static_cast<float>(index) * 2 * pi / static_cast<float>(m_count) - pi / 2;
        return Vector2f(m_radius + std::cos(angle) * m_radius, m_radius + std::sin(angle) * m_radius);
    }

private:
    float m_radius;
    std::size_t m_count;
};

}  // namespace sf

#endif
