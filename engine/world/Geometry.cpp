// SPDX-License-Identifier: MIT
#include <veltrane/world/Geometry.h>

#include <cmath>

#include <veltrane/core/LogManager.h>
#include <veltrane/world/Object.h>

namespace vl {

namespace {

// [a_low, a_high] and [b_low, b_high] share at least one point.
bool overlaps(float a_low, float a_high, float b_low, float b_high) {
    return (b_low <= a_low && a_low <= b_high) || (a_low <= b_low && b_low <= a_high);
}

}  // namespace

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

Box getWorldBox(const Object* p_o) {
    return getWorldBox(p_o, p_o->getPosition());
}

Box getWorldBox(const Object* p_o, Vector where) {
    Box box = p_o->getBox();
    box.setCorner(box.getCorner() + where);
    return box;
}

Vector getNormal(const Object* p_o, const Object* p_hit) {
    // Halve the step toward the hit object to find how far the mover gets before touching it.
    Vector v = p_o->getVelocity();
    float s = 0.5f;
    const Vector position = p_o->getPosition();
    Vector last_free = position;
    const Box hit = getWorldBox(p_hit);
    for (int i = 1; i <= 7; i++) {
        v.scale(s);
        const Vector p = position + v;
        const float step = static_cast<float>(std::pow(0.5, i));
        if (boxIntersectsBox(getWorldBox(p_o, p), hit)) {
            s -= step;
        } else {
            s += step;
            last_free = p;
        }
    }

    const Box mover = getWorldBox(p_o, last_free);
    const float x = hit.getCorner().getX();
    const float y = hit.getCorner().getY();
    const float w = hit.getHorizontal();
    const float h = hit.getVertical();
    struct Probe {
        float x;
        float y;
        Vector normal;
    };
    const Probe probes[] = {
        {x, y - h, Vector(0, -1)},     {x, y + h, Vector(0, 1)},       {x - w, y, Vector(-1, 0)},
        {x + w, y, Vector(1, 0)},      {x - w, y - h, Vector(-1, -1)}, {x + w, y - h, Vector(1, -1)},
        {x - w, y + h, Vector(-1, 1)}, {x + w, y + h, Vector(1, 1)},
    };
    for (const Probe& probe : probes) {
        if (boxIntersectsBox(mover, Box(Vector(probe.x, probe.y), w, h))) {
            return probe.normal;
        }
    }
    LogManager::getInstance().writeLog(1, "getNormal(): No collision detected. Returning (0,0).");
    return Vector(0, 0);
}

}  // namespace vl
