// SPDX-License-Identifier: MIT
#ifndef VL_WORLD_MANAGER_H
#define VL_WORLD_MANAGER_H

#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include <veltrane/core/Box.h>
#include <veltrane/core/Manager.h>
#include <veltrane/core/ObjectList.h>
#include <veltrane/core/Vector.h>
#include <veltrane/world/PathSearches.h>
#include <veltrane/world/SceneGraph.h>

namespace vl {

/// Owns every object in the world: updates, moves, collides and draws them, and keeps the view.
class WorldManager : public Manager {
public:
    /// The one world of the program.
    static WorldManager& getInstance();
    bool isValid(std::string event_type) const override;  ///< false for engine-sent and other managers' types
    ~WorldManager() override;
    [[nodiscard]] int
    startUp() override;        ///< empty world, zero boundary and view; -1 if started or the grid fails
    void shutDown() override;  ///< deletes every remaining object, then stops the scene graph

    int insertObject(Object* p_o);  ///< from Object's constructor only; refused (-1) when not started
    int removeObject(Object* p_o);  ///< from Object's destructor only; also forgets it as marked or followed
    /// Deleted at the end of the current (or next) update; marking twice is harmless. An object not in
    /// the world (deleted already, or never added) is refused with a log line and -1.
    [[nodiscard]] int markForDelete(Object* p_o);
    ObjectList getAllObjects(bool inactive = false) const;  ///< active ones, then the inactive ones if asked
    ObjectList objectsAtPosition(Vector where) const;  ///< active objects meeting the one-cell box at where

    /// Active solid objects other than p_o whose world box meets p_o's box placed at where.
    ObjectList getCollisions(const Object* p_o, Vector where) const;
    /// Moves p_o to where under the collision rules, sending collision and out events;
    /// 0 when it moved, -1 when it was blocked. A collision handler that sets p_o's position keeps it:
    /// the move then ends there instead of at where.
    int moveObject(Object* p_o, Vector where);

    void update();  ///< moves every active object, steps paths and accelerations, deletes the marked objects
    void
    draw();  ///< visible objects inside the view (view objects and those asking always), altitude 0 upwards

    void setBoundary(Box new_boundary);  ///< the world's extent; rebuilds the grid and re-lists every object
    /// The world's extent.
    Box getBoundary() const;
    void setView(Box new_view);  ///< stored as given
    /// The part of the world shown.
    Box getView() const;
    void
    setViewPosition(Vector view_pos);  ///< centres the view on a world position, kept inside the boundary
    void
    setViewSlack(Vector new_view_slack);  ///< fractions of the view (0 to 1) the followed object may roam
    /// The fractions of the view the followed object may move in without moving the view.
    Vector getViewSlack() const;
    /// The object the view keeps in its slack region as it moves, or null to stop following.
    /// Centres the view on it at once; -1 (nothing changes) for an object not in the world.
    [[nodiscard]] int setViewFollowing(Object* p_new_view_following);
    /// The object the view follows; null for none.
    Object* getViewFollowing() const;

    /// The path manager, through which objects drop their path searches; null until it is built. Not owned.
    void setPathSearches(PathSearches* p_path_searches);
    /// The path searches of the world's objects.
    PathSearches* getPathSearches() const;

    SceneGraph& getSceneGraph();  ///< for Object's setters
    /// The scene graph of every object.
    const SceneGraph& getSceneGraph() const;

    /// Compares every scene-graph list and grid cell with a recomputation from the objects' own state;
    /// logs each difference and returns the number found. Run after every update while the consistency
    /// checks are on, which then abort on a difference.
    [[nodiscard]] int checkConsistency() const;
    /// The checks are set at startUp from $VELTRANE_CHECKS (1 on, 0 off) or else the configuration's
    /// consistency_checks; off by default, so a player's game does no test-only work.
    void setConsistencyChecks(bool on);
    /// Whether the costly self-checks run after every update.
    bool getConsistencyChecks() const;

private:
    WorldManager();
    [[nodiscard]] int startSceneGraph();  ///< over the boundary, with the configured grid cell size
    void followView(const Object* p_o);   ///< the view-following step after p_o moved
    void deleteAll();                     ///< deletes every object, active or not
    /// With the checks on: whether p_o was deleted behind the world's back during this update's walk,
    /// reporting it the first time it is met.
    bool reportIfDeleted(const Object* p_o);

    SceneGraph m_scene_graph;
    ObjectList m_deletions;      //!< marked this step, in marking order, no repeats
    Object* m_p_view_following;  //!< not owned; null when not following
    Box m_boundary;
    Box m_view;
    Vector m_view_slack;
    PathSearches* m_p_path_searches;              //!< not owned
    bool m_checks;                                //!< consistency checks after every update
    std::unordered_set<const Object*> m_members;  //!< every object in the world, never dereferenced
    bool m_walking;                               //!< update is walking its copy of the active objects
    //! objects deleted during the walk (checks on): address, description, whether reported
    std::vector<std::pair<const Object*, std::string>> m_deleted_in_walk;
};

}  // namespace vl

#endif
