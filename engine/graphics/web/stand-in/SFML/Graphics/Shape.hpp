// SPDX-License-Identifier: MIT
// Stand-in for the window library's filled figures in the browser build: their geometry only, as the
// display needs it to colour the cells under a figure (position, rotation and the points' bounds).
#ifndef VL_STAND_IN_SHAPE_HPP
#define VL_STAND_IN_SHAPE_HPP

#include <algorithm>
#include <cmath>
#include <cstddef>

#include <SFML/Graphics/Color.hpp>

namespace sf {

struct Vector2f {
    constexpr Vector2f() : x(0), y(0) {}
    constexpr Vector2f(float new_x, float new_y) : x(new_x), y(new_y) {}
    float x;
    float y;
};

struct FloatRect {
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
};

// Rotation by an angle in degrees, then a translation.
class Transform {
public:
    Transform(float degrees, Vector2f translation)
        : m_cos(std::cos(-degrees * 3.141592654f / 180.f)), m_sin(std::sin(-degrees * 3.141592654f / 180.f)),
          m_translation(translation) {}
    Vector2f transformPoint(Vector2f point) const {
        return Vector2f(m_cos * point.x + m_sin * point.y + m_translation.x,
                        -m_sin * point.x + m_cos * point.y + m_translation.y);
    }

private:
    float m_cos;
    float m_sin;
    Vector2f m_translation;
};

class Shape {
public:
    virtual ~Shape() = default;
    virtual std::size_t getPointCount() const = 0;
    virtual Vector2f getPoint(std::size_t index) const = 0;

    void setFillColor(const Color& color) { m_fill = color; }
    const Color& getFillColor() const { return m_fill; }
    void setPosition(float x, float y) { m_position = Vector2f(x, y); }
    void setRotation(float degrees) { m_rotation = degrees; }
    Transform getTransform() const { return Transform(m_rotation, m_position); }
    // The box around the transformed corners of the box around the points.
    FloatRect getGlobalBounds() const {
        const std::size_t count = getPointCount();
        Vector2f low = count > 0 ? getPoint(0) : Vector2f();
        Vector2f high = low;
        for (std::size_t i = 1; i < count; i++) {
            const Vector2f p = getPoint(i);
            low = Vector2f(std::min(low.x, p.x), std::min(low.y, p.y));
            high = Vector2f(std::max(high.x, p.x), std::max(high.y, p.y));
        }
        const Transform transform = getTransform();
        const Vector2f corners[4] = {
            transform.transformPoint(low), transform.transformPoint(Vector2f(high.x, low.y)),
            transform.transformPoint(high), transform.transformPoint(Vector2f(low.x, high.y))};
        Vector2f first = corners[0];
        Vector2f last = corners[0];
        for (const Vector2f& corner : corners) {
            first = Vector2f(std::min(first.x, corner.x), std::min(first.y, corner.y));
            last = Vector2f(std::max(last.x, corner.x), std::max(last.y, corner.y));
        }
        return FloatRect{first.x, first.y, last.x - first.x, last.y - first.y};
    }

private:
    Color m_fill = Color::White;
    Vector2f m_position;
    float m_rotation = 0;
};

}  // namespace sf

#endif
