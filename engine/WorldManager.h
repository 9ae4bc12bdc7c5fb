// SPDX-License-Identifier: MIT
// Owns every object in the world: updates, moves and draws them.
#ifndef VL_WORLD_MANAGER_H
#define VL_WORLD_MANAGER_H

#include "Box.h"
#include "Manager.h"
#include "ObjectList.h"
#include "Vector.h"

namespace vl {

class WorldManager : public Manager {
  public:
    static WorldManager& getInstance();
    int startUp() override;
    void shutDown() override;  // deletes every remaining object
    bool isValid(std::string event_type) const override;

    int insertObject(Object* p_o);
    int removeObject(Object* p_o);
    ObjectList getAllObjects() const;
    void update();
    void draw();

    void setBoundary(Box new_boundary);
    Box getBoundary() const;
    void setView(Box new_view);
    Box getView() const;
    void setViewSlack(Vector new_view_slack);
    Vector getViewSlack() const;

  private:
    WorldManager();

    ObjectList m_objects;
    Box m_boundary;
    Box m_view;
    Vector m_view_slack;
};

} // namespace vl

#endif
