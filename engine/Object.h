// SPDX-License-Identifier: MIT
// Base class of everything in the game world.
#ifndef VL_OBJECT_H
#define VL_OBJECT_H

#include <string>

#include "Event.h"
#include "Solidness.h"

namespace vl {

const int MAX_OBJ_EVENTS = 100;  // most event types one object may register for

class Object {
  public:
    Object();           // takes the next id and inserts itself into the world
    virtual ~Object();  // unregisters every interest and leaves the world

    int getId() const;
    void setId(int new_id);
    virtual void setType(std::string new_type);
    std::string getType() const;
    bool isActive() const;
    virtual int setActive(bool active = true);

    virtual int eventHandler(const Event* p_e);  // 1 handled, 0 ignored

    int registerInterest(std::string event_type);    // with the manager that sends that type
    int unregisterInterest(std::string event_type);

  private:
    static int s_next_id;  //!< id for the next object, shared by all objects

    int m_id;
    std::string m_type;
    bool m_is_active;
    int m_event_count;
    std::string m_event_name[MAX_OBJ_EVENTS];
};

} // namespace vl

#endif
