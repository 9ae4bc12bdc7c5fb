// SPDX-License-Identifier: MIT
#ifndef VL_OBJECT_H
#define VL_OBJECT_H

#include <sstream>
#include <string>

#include <veltrane/core/Box.h>
#include <veltrane/core/Event.h>
#include <veltrane/core/EventHandler.h>
#include <veltrane/core/Vector.h>
#include <veltrane/graphics/Animation.h>
#include <veltrane/graphics/Shape.h>
#include <veltrane/world/Path.h>
#include <veltrane/world/Solidness.h>

namespace vl {

class PathFind;

const int MAX_OBJ_EVENTS = 100;  ///< most event types one object may register for
const int MAX_ALTITUDE = 4;      ///< altitudes run from 0 to MAX_ALTITUDE; drawing goes upwards

/// One bit per attribute in the mask of attributes modified since last serialised.
/// The values are written in object records and must not change.
enum ObjectAttribute : unsigned int {
    ID = 0x1,
    ACTIVE = 0x2,
    VISIBLE = 0x4,
    EVENTS = 0x8,
    BOX = 0x10,
    POSITION = 0x20,
    TYPE = 0x40,
    ANIMATION = 0x80,
    ALTITUDE = 0x100,
    SOLIDNESS = 0x200,
    NO_SOFT = 0x400,
    SPEED = 0x800,
    DIRECTION = 0x1000,
    ACCELERATION = 0x2000,
    SHAPE = 0x4000,
    PATH = 0x8000,
    FOLLOW_PATH = 0x10000,
    AVOID_COLLISIONS = 0x20000,
};
const unsigned int ALL_OBJECT_ATTRIBUTES = 0x3FFFF;

/// Base class of everything in the game world.
/// Objects insert themselves into the world manager when built, which then owns them: game code
/// never deletes an object, it calls WorldManager::markForDelete. Setters that change how the world
/// indexes the object (activity, visibility, solidness, altitude, type, position, box) tell the
/// scene graph first; a refusal there leaves the object unchanged.
class Object : public EventHandler {
public:
    Object();            ///< takes the next id and inserts itself into the world (if the world is started)
    ~Object() override;  ///< unregisters every interest, drops its path search and leaves the world

    /// A name for the game's own tests, e.g. in collisions.
    virtual void setType(std::string new_type);
    virtual int setPosition(Vector new_position);       ///< no collision test; always 0
    int eventHandler(const Event* p_e) override;        ///< 1 handled, 0 ignored; base: follows found paths
    virtual int setSolidness(Solidness new_solidness);  ///< 0, or -1 for a value not HARD, SOFT or SPECTRAL
    /// Slide past hard objects instead of stopping at them.
    virtual void setAvoidCollisions(bool avoid = true);
    virtual int setAltitude(int new_altitude);              ///< 0, or -1 outside 0..MAX_ALTITUDE
    virtual void setDirection(Vector new_direction);        ///< stored normalised; zero stays zero
    virtual void setVelocity(Vector new_velocity);          ///< speed = magnitude, direction = normalised
    virtual void setAcceleration(Vector new_acceleration);  ///< added to the velocity every step
    /// Whether the object is drawn.
    virtual bool isVisible() const;
    virtual int setActive(bool active = true);  ///< inactive: not updated, moved, drawn or collided with
    virtual void setBox(Box new_box);           ///< relative to the position
    /// Shows the sprite labelled so (from the resource manager) and takes its box; -1 (logged, nothing
    /// changes) when no sprite has that label.
    [[nodiscard]] virtual int setSprite(std::string sprite_label);
    virtual void setAnimation(Animation new_animation,
                              bool set_box = true);  ///< copied; the box too if asked
    virtual int
    draw();  ///< the animation, then the shape if it has one, at the position; the animation's result
    /// Serialisation (object records): write the attributes in attr, or the modified ones when attr
    /// is 0, clearing their modified bits; read a record and apply it. 0, or -1 on a stream error.
    [[nodiscard]] virtual int serialize(std::stringstream& stream, unsigned int attr = 0);
    /// Reads an object record and applies it; 0, or -1 on a stream error.
    [[nodiscard]] virtual int deserialize(std::stringstream& stream, unsigned int* p_attr = nullptr);
    virtual void setModified(unsigned int new_modified);  ///< replaces the whole mask
    /// The attributes changed since last written.
    virtual unsigned int getModified() const;
    virtual void setShape(Shape new_shape);  ///< copied; drawn over the animation unless UNDEFINED
    /// Follow a found path at the object's speed.
    virtual void setFollowPath(bool follow = true);

    int getId() const override;
    void setId(int new_id);  ///< a new id at or above the next-id counter moves the counter past it
    /// The name set with setType().
    std::string getType() const override;
    bool isActive() const override;
    int setVisible(bool visible = true);  ///< 0, or -1 when the scene graph refuses
    ///@{
    /// The box, the position in cells and the unit direction.
    Box getBox() const;
    Vector getPosition() const;
    Vector getDirection() const;
    ///@}
    float getSpeed() const;  ///< cells per step
    /// Sets the speed in cells per step.
    void setSpeed(float new_speed);
    Vector getVelocity() const;  ///< direction scaled by speed
    ///@{
    /// The acceleration, the drawing altitude and the solidness.
    Vector getAcceleration() const;
    int getAltitude() const;
    Solidness getSolidness() const;
    ///@}
    bool isSolid() const;  ///< HARD or SOFT
    /// Whether the object stops at soft objects.
    bool getNoSoft() const;
    void setNoSoft(bool no_soft = true);  ///< if true the object does not move onto soft objects
    ///@{
    /// Whether the object slides past hard objects, and follows found paths.
    bool getAvoidCollisions() const;
    bool getFollowPath() const;
    ///@}
    Animation getAnimation() const;      ///< copy
    Shape getShape() const;              ///< copy
    bool isModified() const;             ///< any attribute modified since last serialised
    Vector predictPosition() const;      ///< position plus velocity; changes nothing
    bool isViewAnchored() const;         ///< positioned in view coordinates, so drawn wherever the view is
    bool isDrawnOutOfView() const;       ///< asked to be drawn even while its box misses the view
    void setDirectionTo(Vector target);  ///< points the direction from the position toward target

    [[nodiscard]] int
    registerInterest(std::string event_type);        ///< with the manager that sends that type; 0 or -1
    int unregisterInterest(std::string event_type);  ///< 0, or -1 if not registered
    int getEventCount() const;                       ///< event types registered

    /// Called by the world manager once per step for each active object, after its move.
    void stepPath();           ///< walks the path, if following one
    void applyAcceleration();  ///< velocity += acceleration

    static int getNextId();  ///< the id the next object will get

    /// Path searches and following. A position stands for its nearest cell (halves
    /// round up); the search runs over the world's cells from this object's cell, a little every
    /// loop iteration, and a found path is then followed at the object's speed. A search started
    /// while one is pending replaces it. 0, or -1 (logged) when no search can start. Paths may cut
    /// a corner beside one blocked cell: a hard walker slower than one diagonal cell per step grazes
    /// it, so give such walkers setAvoidCollisions(true) to slide past.
    [[nodiscard]] int findPath(Vector goal);  ///< to goal's cell
    [[nodiscard]] int
    findPath(Object* p_target);  ///< to p_target's cell; touching p_target counts as arriving
    bool isFindingPath() const;  ///< a search is pending
    /// Velocity is direction times speed, and a path is walked at the speed: to stand still and stay
    /// ready for the next path, stop here (drops the search and the path, zeroes the direction, keeps
    /// the speed) rather than setVelocity(0, 0), which zeroes the speed paths are walked at.
    void stopPath();
    void setPath(Path new_path);  ///< waypoints and index; marks PATH; the current step's motion stays
    /// The path followed.
    Path getPath() const;

protected:
    static void setNextId(int next_id);          ///< for objects that give their id back
    void setViewAnchored(bool anchored = true);  ///< for objects whose position is in view coordinates
    /// For objects whose draw shows something in sight while they are not, such as a marker at the edge.
    void setDrawnOutOfView(bool drawn = true);
    int drawAt(Vector where);  ///< as draw, with the animation and shape at where instead of the position

private:
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;
    [[nodiscard]] int startPathFind(Vector goal, Object* p_target);
    void dropPathFind();       ///< withdraws and deletes the pending search, if any
    void leavePathSearches();  ///< drops the pending search; searches walking to this object forget it
    void warnIfStill();        ///< a found path followed at speed 0 is logged, once per object
    [[nodiscard]] int applyRecord(std::stringstream& ss,
                                  unsigned int* p_attr);  ///< deserialize's reading and applying

    static int s_next_id;  //!< id for the next object, shared by all objects

    int m_id;
    std::string m_type;
    bool m_is_active;
    bool m_is_visible;
    Box m_box;
    Vector m_position;
    Vector m_direction;
    float m_speed;
    Vector m_acceleration;
    int m_altitude;
    Solidness m_solidness;
    Animation m_animation;
    bool m_no_soft;
    int m_event_count;
    std::string m_event_name[MAX_OBJ_EVENTS];
    unsigned int m_modified;
    Shape m_shape;
    PathFind* m_p_path_find;  //!< owned path search in progress, or null
    Path m_path;
    bool m_follow_path;
    bool m_avoid_collisions;
    bool m_in_world;  //!< the world manager accepted it; only then are its lists kept up to date
    bool m_view_anchored;
    bool m_warned_still;       //!< a path was followed at speed 0 and logged
    bool m_drawn_out_of_view;  //!< drawn even while its box is out of the view
};

}  // namespace vl

#endif
