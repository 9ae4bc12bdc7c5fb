// SPDX-License-Identifier: MIT
// Geometry shared by the engine and games: box tests, distance, world and view coordinates.
#ifndef VL_GEOMETRY_H
#define VL_GEOMETRY_H

#include "Box.h"
#include "Vector.h"

namespace vl {

class Object;

bool boxIntersectsBox(const Box& a, const Box& b);  // closed intervals: touching edges intersect
bool boxContainsPosition(const Box& b, const Vector& p);
float distance(const Vector& p1, const Vector& p2);  // Euclidean
Vector worldToView(const Vector& world_pos);          // minus the view's corner
Vector viewToWorld(const Vector& view_pos);           // plus the view's corner

} // namespace vl

#endif
