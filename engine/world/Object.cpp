// SPDX-License-Identifier: MIT
#include <veltrane/world/Object.h>

#include <climits>
#include <cmath>

#include <veltrane/core/EventRoutes.h>
#include <veltrane/core/LogManager.h>
#include <veltrane/resources/ResourceManager.h>
#include <veltrane/world/SceneGraph.h>
#include <veltrane/world/WorldManager.h>

namespace vl {

int Object::s_next_id = 1;

namespace {

// The manager that keeps interest in, and sends, events of this type; the world's by default.
Manager& managerFor(const std::string& event_type) {
    Manager* p_manager = EventRoutes::find(event_type);
    if (p_manager != nullptr) {
        return *p_manager;
    }
    return WorldManager::getInstance();
}

}  // namespace

// The id counter stops at the top of the range instead of overflowing.
Object::Object()
    : m_id(s_next_id == INT_MAX ? INT_MAX : s_next_id++), m_type("(Undefined)"), m_is_active(true),
      m_is_visible(true), m_box(Vector(-0.5f, -0.5f), 0.99f, 0.99f), m_position(1.0f, 1.0f),
      m_direction(0, 0), m_speed(0), m_acceleration(0, 0), m_altitude(2), m_solidness(HARD), m_no_soft(false),
      m_event_count(0), m_modified(ALL_OBJECT_ATTRIBUTES), m_p_path_find(nullptr), m_follow_path(false),
      m_avoid_collisions(false), m_in_world(false), m_view_anchored(false), m_warned_still(false),
      m_drawn_out_of_view(false) {
    m_shape.setType(UNDEFINED);
    WorldManager& world = WorldManager::getInstance();
    // A refused object is in no list; it must not be indexed later by its setters either.
    m_in_world = world.isStarted();
    world.insertObject(this);
}

Object::~Object() {
    for (int i = m_event_count - 1; i >= 0; i--) {
        const std::string name = m_event_name[i];
        unregisterInterest(name);
    }
    leavePathSearches();
    if (m_in_world) {
        WorldManager::getInstance().removeObject(this);
    }
}

int Object::getNextId() {
    return s_next_id;
}
void Object::setNextId(int next_id) {
    s_next_id = next_id;
}

int Object::getId() const {
    return m_id;
}

void Object::setId(int new_id) {
    if (new_id == m_id) {
        return;
    }
    if (new_id >= s_next_id) {
        s_next_id = new_id == INT_MAX ? INT_MAX : new_id + 1;
    }
    m_id = new_id;
    m_modified |= ID;
}

void Object::setType(std::string new_type) {
    if (m_in_world) {
        WorldManager::getInstance().getSceneGraph().updateType(this, new_type);
    }
    m_type = std::move(new_type);
    m_modified |= TYPE;
}

std::string Object::getType() const {
    return m_type;
}

bool Object::isActive() const {
    return m_is_active;
}

int Object::setActive(bool active) {
    if (active == m_is_active) {
        return 0;
    }
    if (m_in_world && WorldManager::getInstance().getSceneGraph().updateActive(this, active) != 0) {
        return -1;
    }
    m_is_active = active;
    m_modified |= ACTIVE;
    return 0;
}

bool Object::isVisible() const {
    return m_is_visible;
}

int Object::setVisible(bool visible) {
    if (visible == isVisible()) {
        return 0;
    }
    if (m_in_world && WorldManager::getInstance().getSceneGraph().updateVisible(this, visible) != 0) {
        return -1;
    }
    m_is_visible = visible;
    m_modified |= VISIBLE;
    return 0;
}

Box Object::getBox() const {
    return m_box;
}

void Object::setBox(Box new_box) {
    if (new_box == m_box) {
        return;
    }
    // Out and back in, so that the grid lists the object under its new extent.
    SceneGraph& scene_graph = WorldManager::getInstance().getSceneGraph();
    if (m_in_world) {
        scene_graph.removeObject(this);
    }
    m_box = new_box;
    if (m_in_world) {
        scene_graph.insertObject(this);
    }
    m_modified |= BOX;
}

Vector Object::getPosition() const {
    return m_position;
}

int Object::setPosition(Vector new_position) {
    if (new_position == m_position) {
        return 0;
    }
    if (m_in_world) {
        WorldManager::getInstance().getSceneGraph().updatePosition(this, new_position);
    }
    m_position = new_position;
    m_modified |= POSITION;
    return 0;
}

Vector Object::getDirection() const {
    return m_direction;
}

void Object::setDirection(Vector new_direction) {
    new_direction.normalize();
    if (new_direction == m_direction) {
        return;
    }
    m_direction = new_direction;
    // Marked so that a changed direction reaches the peers like every other attribute.
    m_modified |= DIRECTION;
}

float Object::getSpeed() const {
    return m_speed;
}

void Object::setSpeed(float new_speed) {
    m_speed = new_speed;
    m_modified |= SPEED;
}

Vector Object::getVelocity() const {
    Vector velocity = m_direction;
    velocity.scale(m_speed);
    return velocity;
}

void Object::setVelocity(Vector new_velocity) {
    m_speed = new_velocity.getMagnitude();
    new_velocity.normalize();
    m_direction = new_velocity;
    m_modified |= SPEED | DIRECTION;
}

Vector Object::getAcceleration() const {
    return m_acceleration;
}

void Object::setAcceleration(Vector new_acceleration) {
    m_acceleration = new_acceleration;
    m_modified |= ACCELERATION;
}

int Object::getAltitude() const {
    return m_altitude;
}

int Object::setAltitude(int new_altitude) {
    if (new_altitude == m_altitude) {
        return 0;
    }
    if (new_altitude < 0 || new_altitude > MAX_ALTITUDE) {
        LogManager::getInstance().writeLog(
            "Object::setAltitude(): Altitude %d not in range [%d,%d].  Ignored.", new_altitude, 0,
            MAX_ALTITUDE);
        return -1;
    }
    if (m_in_world && WorldManager::getInstance().getSceneGraph().updateAltitude(this, new_altitude) != 0) {
        return -1;
    }
    m_altitude = new_altitude;
    m_modified |= ALTITUDE;
    return 0;
}

Solidness Object::getSolidness() const {
    return m_solidness;
}

bool Object::isSolid() const {
    return m_solidness == HARD || m_solidness == SOFT;
}

int Object::setSolidness(Solidness new_solidness) {
    if (new_solidness == m_solidness) {
        return 0;
    }
    if (new_solidness != HARD && new_solidness != SOFT && new_solidness != SPECTRAL) {
        LogManager::getInstance().writeLog(
            "Object::setSolidness(): Solidness %d not one of HARD, SOFT or SPECTRAL.",
            static_cast<int>(new_solidness));
        return -1;
    }
    if (m_in_world && WorldManager::getInstance().getSceneGraph().updateSolidness(this, new_solidness) != 0) {
        return -1;
    }
    m_solidness = new_solidness;
    m_modified |= SOLIDNESS;
    return 0;
}

bool Object::getNoSoft() const {
    return m_no_soft;
}

void Object::setNoSoft(bool no_soft) {
    m_no_soft = no_soft;
    m_modified |= NO_SOFT;
}

bool Object::getAvoidCollisions() const {
    return m_avoid_collisions;
}

void Object::setAvoidCollisions(bool avoid) {
    m_avoid_collisions = avoid;
    m_modified |= AVOID_COLLISIONS;
}

bool Object::getFollowPath() const {
    return m_follow_path;
}

void Object::setModified(unsigned int new_modified) {
    m_modified = new_modified;
}
unsigned int Object::getModified() const {
    return m_modified;
}
bool Object::isModified() const {
    return m_modified != 0;
}

Vector Object::predictPosition() const {
    return m_position + getVelocity();
}

bool Object::isViewAnchored() const {
    return m_view_anchored;
}

void Object::setViewAnchored(bool anchored) {
    m_view_anchored = anchored;
}

bool Object::isDrawnOutOfView() const {
    return m_drawn_out_of_view;
}

void Object::setDrawnOutOfView(bool drawn) {
    m_drawn_out_of_view = drawn;
}

void Object::setDirectionTo(Vector target) {
    setDirection(target - m_position);
}

int Object::getEventCount() const {
    return m_event_count;
}

int Object::registerInterest(std::string event_type) {
    if (m_event_count == MAX_OBJ_EVENTS) {
        LogManager::getInstance().writeLog(
            "Object::registerInterest(): maximum (%d) reached, cannot register for event '%s'",
            MAX_OBJ_EVENTS, event_type.c_str());
        return -1;
    }
    if (managerFor(event_type).registerInterest(this, event_type) != 0) {
        return -1;
    }
    // The manager keeps the object once; so do we, or one unregister would leave a stale name.
    for (int i = 0; i < m_event_count; i++) {
        if (m_event_name[i] == event_type) {
            return 0;
        }
    }
    m_event_name[m_event_count] = event_type;
    m_event_count++;
    m_modified |= EVENTS;
    return 0;
}

int Object::unregisterInterest(std::string event_type) {
    int index = -1;
    for (int i = 0; i < m_event_count; i++) {
        if (m_event_name[i] == event_type) {
            index = i;
            break;
        }
    }
    if (index < 0) {
        LogManager::getInstance().writeLog(
            "Object::unregisterInterest(): event '%s' not previously registered", event_type.c_str());
        return -1;
    }
    if (managerFor(event_type).unregisterInterest(this, event_type) != 0) {
        return -1;
    }
    for (int j = index + 1; j < m_event_count; j++) {
        m_event_name[j - 1] = m_event_name[j];
    }
    m_event_count--;
    m_event_name[m_event_count].clear();
    m_modified |= EVENTS;
    return 0;
}

int Object::setSprite(std::string sprite_label) {
    Sprite* p_sprite = ResourceManager::getInstance().getSprite(sprite_label);
    if (p_sprite == nullptr) {
        LogManager::getInstance().writeLog("Object::setSprite(): Warning! Sprite '%s' not found",
                                           sprite_label.c_str());
        return -1;
    }
    m_animation.setSprite(p_sprite);
    setBox(m_animation.getBox());
    return 0;
}

void Object::setAnimation(Animation new_animation, bool set_box) {
    m_animation = std::move(new_animation);
    m_modified |= ANIMATION;
    if (set_box) {
        setBox(m_animation.getBox());
    }
}

Animation Object::getAnimation() const {
    return m_animation;
}

void Object::setShape(Shape new_shape) {
    m_shape = new_shape;
    m_modified |= SHAPE;
}

Shape Object::getShape() const {
    return m_shape;
}

int Object::draw() {
    return drawAt(m_position);
}

int Object::drawAt(Vector where) {
    const int result = m_animation.draw(where);
    if (m_shape.getType() != UNDEFINED) {
        m_shape.draw(where);
    }
    return result;
}

void Object::applyAcceleration() {
    if (m_acceleration.isZero()) {
        return;
    }
    setVelocity(getVelocity() + m_acceleration);
}

}  // namespace vl
