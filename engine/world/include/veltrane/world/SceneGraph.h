// SPDX-License-Identifier: MIT
#ifndef VL_SCENE_GRAPH_H
#define VL_SCENE_GRAPH_H

#include <map>
#include <string>

#include <veltrane/core/Box.h>
#include <veltrane/core/ObjectList.h>
#include <veltrane/core/Vector.h>
#include <veltrane/world/Grid.h>
#include <veltrane/world/Object.h>

namespace vl {

/// The world's objects sorted the ways the engine asks for them, and the grid of the solid ones.
/// Holds pointers only. Each update operation is called by an object setter while the object
/// still holds its old value; a -1 makes the setter refuse the change.
class SceneGraph {
public:
    SceneGraph();
    SceneGraph(const SceneGraph&) = delete;
    SceneGraph& operator=(const SceneGraph&) = delete;

    /// Empties the type map and starts the grid over boundary in cells of cell_width by cell_height.
    [[nodiscard]] int startUp(const Box& boundary, int cell_width, int cell_height);
    void shutDown();  ///< empties the type map and frees the grid; the other lists stay

    int insertObject(Object* p_o);  ///< into every list its state asks for; -1 on failure
    int removeObject(Object* p_o);  ///< out of every list it is in; -1 if any removal failed

    ObjectList activeObjects() const;               ///< copy
    ObjectList inactiveObjects() const;             ///< copy
    ObjectList solidObjects() const;                ///< copy of the active solid objects
    ObjectList visibleObjects(int altitude) const;  ///< copy; empty (with a warning) outside 0..MAX_ALTITUDE
    ObjectList objectsOfType(const std::string& type) const;  ///< copy of the active objects of that type
    ObjectList getCollisions(const Object* p_o, Vector where) const;  ///< the grid's answer
    /// The grid of cells the solid objects are kept in.
    const Grid& getGrid() const;

    ///@{
    /// Called before the object changes that attribute; 0, or -1 when the graph refuses and the object keeps
    /// its old value.
    [[nodiscard]] int updateActive(Object* p_o, bool new_active);
    [[nodiscard]] int updateVisible(Object* p_o, bool new_visible);
    [[nodiscard]] int updateSolidness(Object* p_o, Solidness new_solidness);
    [[nodiscard]] int updateAltitude(Object* p_o, int new_altitude);
    int updateType(Object* p_o, const std::string& new_type);
    int updatePosition(Object* p_o, Vector new_position);
    ///@}

    /// Re-lists every active object by type and every active solid object in the grid,
    /// after a restart emptied both.
    int reindex();

    /// Recomputes every list and every grid cell from the objects' own state and compares.
    /// Logs each difference; returns the number found (0: consistent).
    [[nodiscard]] int checkConsistency() const;

private:
    ObjectList m_objects;                            //!< every active object
    ObjectList m_solid_objects;                      //!< active HARD and SOFT objects
    ObjectList m_visible_objects[MAX_ALTITUDE + 1];  //!< active visible objects by altitude
    ObjectList m_inactive_objects;                   //!< every inactive object
    std::map<std::string, ObjectList> m_type_map;    //!< active objects by type
    Grid m_grid;                                     //!< the active solid objects by cell
};

}  // namespace vl

#endif
