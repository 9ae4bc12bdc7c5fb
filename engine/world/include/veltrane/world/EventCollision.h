// SPDX-License-Identifier: MIT
#ifndef VL_EVENT_COLLISION_H
#define VL_EVENT_COLLISION_H

#include <veltrane/core/Event.h>
#include <veltrane/core/Vector.h>

namespace vl {

class Object;

/// Sent by the movement code to both objects of a collision.
class EventCollision : public Event {
public:
    EventCollision(Object* p_o1, Object* p_o2, Vector p);  ///< mover, object hit, where
    Object* getObject1() const;                            ///< the object that was moving
    Object* getObject2() const;                            ///< the object that was hit
    Vector getPosition() const;                            ///< where the mover was trying to go

private:
    Vector m_pos;
    Object* m_p_obj1;
    Object* m_p_obj2;
};

}  // namespace vl

#endif
