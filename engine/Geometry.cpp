// SPDX-License-Identifier: MIT
#include "Geometry.h"

#include <cmath>

#include "WorldManager.h"

namespace vl {

namespace {

// [a_low, a_high] and [b_low, b_high] share at least one point.
bool overlaps(float a_low, float a_high, float b_low, float b_high) {
    return (b_low <= a_low && a_low <= b_high) || (a_low <= b_low && b_low <= a_high);
}

} // namespace

bool boxIntersectsBox(const Box& a, const Box& b) {
    const float ax = a.getCorner().getX();
    const float ay = a.getCorner().getY();
    const float bx = b.getCorner().getX();
    const float by = b.getCorner().getY();
    return overlaps(ax, ax + a.getHorizontal(), bx, bx + b.getHorizontal()) &&
           overlaps(ay, ay + a.getVertical(), by, by + b.getVertical());
}

bool boxContainsPosition(const Box& b, const Vector& p) {
    const Vector c = b.getCorner();
    return c.getX() <= p.getX() && p.getX() <= c.getX() + b.getHorizontal() && c.getY() <= p.getY() &&
           p.getY() <= c.getY() + b.getVertical();
}

float distance(const Vector& p1, const Vector& p2) {
    const float dx = p1.getX() - p2.getX();
    const float dy = p1.getY() - p2.getY();
    return std::sqrt(dx * dx + dy * dy);
}

Vector worldToView(const Vector& world_pos) {
    return world_pos - WorldManager::getInstance().getView().getCorner();
}

Vector viewToWorld(const Vector& view_pos) { return view_pos + WorldManager::getInstance().getView().getCorner(); }

} // namespace vl
