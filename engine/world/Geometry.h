// SPDX-License-Identifier: MIT
// Geometry shared by the engine and games: box tests, distance, world and view coordinates.
#ifndef VL_GEOMETRY_H
#define VL_GEOMETRY_H

#include <veltrane/core/Box.h>
#include <veltrane/core/Vector.h>

namespace vl {

class Object;

bool boxIntersectsBox(const Box& a, const Box& b);  // closed intervals: touching edges intersect
bool boxContainsPosition(const Box& b, const Vector& p);
float distance(const Vector& p1, const Vector& p2);  // Euclidean
Vector worldToView(const Vector& world_pos);         // minus the view's corner
Vector viewToWorld(const Vector& view_pos);          // plus the view's corner
Box getWorldBox(const Object* p_o);                  // the object's box moved to its position
Box getWorldBox(const Object* p_o, Vector where);    // the object's box moved to where
// Side of p_hit that the moving p_o meets, as a unit step such as (0, -1) for "from above";
// (0, 0) when no side is found.
Vector getNormal(const Object* p_o, const Object* p_hit);

}  // namespace vl

#endif
