// SPDX-License-Identifier: MIT
// Geometry shared by the engine and games: box tests, distance, object boxes and collision normals.
// Conversions between world and view coordinates are the display's (graphics/DisplayManager.h).
#ifndef VL_GEOMETRY_H
#define VL_GEOMETRY_H

#include <veltrane/core/Box.h>
#include <veltrane/core/Vector.h>

namespace vl {

class Object;

bool boxIntersectsBox(const Box& a, const Box& b);  ///< closed intervals: touching edges intersect
bool boxContainsPosition(const Box& b, const Vector& p);
float distance(const Vector& p1, const Vector& p2);  ///< Euclidean
Box getWorldBox(const Object* p_o);                  ///< the object's box moved to its position
Box getWorldBox(const Object* p_o, Vector where);    ///< the object's box moved to where
/// Side of p_hit that the moving p_o meets, as a unit step such as (0, -1) for "from above";
/// (0, 0) when no side is found.
Vector getNormal(const Object* p_o, const Object* p_hit);

}  // namespace vl

#endif
