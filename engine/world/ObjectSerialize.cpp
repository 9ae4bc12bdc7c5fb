// SPDX-License-Identifier: MIT
// Object records: writing and reading an object's attributes.
#include <climits>
#include <cmath>
#include <cstdint>
#include <vector>

#include <veltrane/core/LogManager.h>
#include <veltrane/core/Record.h>
#include <veltrane/core/Utility.h>
#include <veltrane/graphics/Sprite.h>
#include <veltrane/world/Object.h>

namespace vl {

namespace {

// Ids above this are refused: the next-id counter moves past a received id, and local objects
// still need room to count on.
const int MAX_RECORD_ID = INT_MAX / 2;

const char* boolText(bool value) {
    return value ? "true" : "false";
}

bool isFinite(const Vector& v) {
    return std::isfinite(v.getX()) && std::isfinite(v.getY());
}

bool isFinite(const Box& b) {
    return isFinite(b.getCorner()) && std::isfinite(b.getHorizontal()) && std::isfinite(b.getVertical());
}

bool isFinite(const Path& p) {
    for (const Vector& waypoint : p.getWaypoints()) {
        if (!isFinite(waypoint)) {
            return false;
        }
    }
    return true;
}

// A record that cannot be applied: the stream is marked failed so that its check reports it.
int refuse(std::stringstream& ss) {
    ss.setstate(std::ios::failbit);
    return checkStream("Object::deserialize()", ss);
}

// A value that reached the end of the stream, or that is no number, is refused.
int refuseValue(std::stringstream& ss, const char* p_attribute) {
    if (ss.good()) {
        LogManager::getInstance().writeLog("Object::deserialize(): Error! %s is not a finite value.",
                                           p_attribute);
    }
    return refuse(ss);
}

}  // namespace

int Object::serialize(std::stringstream& ss, unsigned int attr) {
    const LogManager& log = LogManager::getInstance();
    log.writeLog(20, "Object::serialize(): attr is %u, modified is %u (%s)", attr, m_modified,
                 boolText(m_modified != 0));
    log.writeLog(25, "\t%s", toBinaryString(static_cast<int>(attr)).c_str());

    const uint32_t mask = attr != 0 ? attr : m_modified;
    record::write(ss, mask);
    // Each attribute written is sent: its modified bit is cleared.
    auto sends = [this, mask](unsigned int bit) {
        if ((mask & bit) == 0) {
            return false;
        }
        m_modified &= ~bit;
        return true;
    };

    if (sends(ID)) {
        record::write(ss, static_cast<int32_t>(m_id));
        log.writeLog(25, "\tID: %d", m_id);
    }
    if (sends(ACTIVE)) {
        record::writeBool(ss, m_is_active);
        log.writeLog(25, "\tACTIVE: %s", boolText(m_is_active));
    }
    if (sends(VISIBLE)) {
        record::writeBool(ss, m_is_visible);
        log.writeLog(25, "\tVISIBLE: %s", boolText(m_is_visible));
    }
    if (sends(EVENTS)) {
        record::write(ss, static_cast<int32_t>(m_event_count));
        log.writeLog(25, "\tEVENTS: %d", m_event_count);
        for (int i = 0; i < m_event_count; i++) {
            record::writeString(ss, m_event_name[i]);
            log.writeLog(25, "\t\t%s (size %d)", m_event_name[i].c_str(),
                         static_cast<int>(m_event_name[i].size()));
        }
    }
    if (sends(BOX)) {
        if (m_box.serialize(ss) != 0) {
            return -1;
        }
        log.writeLog(25, "\tBOX: %s", m_box.toString().c_str());
    }
    if (sends(POSITION)) {
        if (m_position.serialize(ss) != 0) {
            return -1;
        }
        log.writeLog(25, "\tPOSITION: %s", m_position.toString().c_str());
    }
    if (sends(TYPE)) {
        record::writeString(ss, m_type);
        log.writeLog(25, "\tTYPE: %s", m_type.c_str());
    }
    if (sends(ANIMATION)) {
        if (m_animation.serialize(ss) != 0) {
            return -1;
        }
        log.writeLog(25, "\tANIMATION: %s", m_animation.toString().c_str());
    }
    if (sends(ALTITUDE)) {
        record::write(ss, static_cast<int32_t>(m_altitude));
        log.writeLog(25, "\tALTITUDE: %d", m_altitude);
    }
    if (sends(SOLIDNESS)) {
        record::write(ss, static_cast<int32_t>(m_solidness));
        log.writeLog(25, "\tSOLIDNESS: %s", solidnessToString(m_solidness).c_str());
    }
    if (sends(NO_SOFT)) {
        record::writeBool(ss, m_no_soft);
        log.writeLog(25, "\tNO_SOFT: %s", boolText(m_no_soft));
    }
    if (sends(DIRECTION)) {
        if (m_direction.serialize(ss) != 0) {
            return -1;
        }
        log.writeLog(25, "\tDIRECTION: %s", m_direction.toString().c_str());
    }
    if (sends(SPEED)) {
        record::write(ss, m_speed);
        log.writeLog(25, "\tSPEED: %f", static_cast<double>(m_speed));
    }
    if (sends(ACCELERATION)) {
        if (m_acceleration.serialize(ss) != 0) {
            return -1;
        }
        log.writeLog(25, "\tACCELERATION: %s", m_acceleration.toString().c_str());
    }
    if (sends(SHAPE)) {
        if (m_shape.serialize(ss) != 0) {
            return -1;
        }
        log.writeLog(25, "\tSHAPE: %s", m_shape.toString().c_str());
    }
    if (sends(FOLLOW_PATH)) {
        record::writeBool(ss, m_follow_path);
        log.writeLog(25, "\tFOLLOW_PATH: %s", boolText(m_follow_path));
    }
    if (sends(PATH)) {
        if (m_path.serialize(ss) != 0) {
            return -1;
        }
        log.writeLog(25, "\tPATH: %s", m_path.toString().c_str());
    }
    if (sends(AVOID_COLLISIONS)) {
        record::writeBool(ss, m_avoid_collisions);
        log.writeLog(25, "\tAVOID_COLLISIONS: %s", boolText(m_avoid_collisions));
    }
    return checkStream("Object::serialize()", ss);
}

// Every value is read whole and checked before it is applied, so a record cut short or holding
// nonsense stops at that attribute: the ones before it are applied, it and the rest are not.
int Object::deserialize(std::stringstream& ss, unsigned int* p_attr) {
    const int result = applyRecord(ss, p_attr);
    // Applied or refused part way, a received record leaves nothing to send back.
    m_modified = 0;
    return result;
}

int Object::applyRecord(std::stringstream& ss, unsigned int* p_attr) {
    const LogManager& log = LogManager::getInstance();
    if (p_attr != nullptr) {
        *p_attr = 0;
    }
    uint32_t mask = 0;
    if (!record::read(ss, mask)) {
        return checkStream("Object::deserialize()", ss);
    }
    if (p_attr != nullptr) {
        *p_attr = mask;
    }
    log.writeLog(20, "Object::deserialize(): attr %u (%s)", mask,
                 toBinaryString(static_cast<int>(mask)).c_str());

    if (mask & ID) {
        int32_t id = 0;
        if (!record::read(ss, id)) {
            return refuse(ss);
        }
        if (id > MAX_RECORD_ID) {
            log.writeLog("Object::deserialize(): Error! Id %d out of range.", id);
            return refuse(ss);
        }
        log.writeLog(25, "\tID: %d", id);
        setId(id);
    }
    if (mask & ACTIVE) {
        bool active = false;
        if (!record::readBool(ss, active)) {
            return refuse(ss);
        }
        log.writeLog(25, "\tACTIVE: %s", boolText(active));
        setActive(active);
    }
    if (mask & VISIBLE) {
        bool visible = false;
        if (!record::readBool(ss, visible)) {
            return refuse(ss);
        }
        log.writeLog(25, "\tVISIBLE: %s", boolText(visible));
        setVisible(visible);
    }
    if (mask & EVENTS) {
        // All names are read before the object's own are dropped, so a short record keeps them.
        int32_t count = 0;
        if (!record::read(ss, count)) {
            return refuse(ss);
        }
        log.writeLog(25, "\tEVENTS: %d", count);
        if (count < 0 || count > MAX_OBJ_EVENTS) {
            log.writeLog("Object::deserialize(): Error! %d events, not in range [0,%d].", count,
                         MAX_OBJ_EVENTS);
            return refuse(ss);
        }
        std::vector<std::string> names(static_cast<size_t>(count));
        for (std::string& name : names) {
            uint64_t length = 0;
            if (!record::read(ss, length)) {
                return refuse(ss);
            }
            log.writeLog(25, "\t\tsize %d", length > INT_MAX ? INT_MAX : static_cast<int>(length));
            if (!record::checkLength(ss, length, 1, "Object::deserialize()") ||
                !record::readBytes(ss, length, name)) {
                return refuse(ss);
            }
            log.writeLog(25, "\t\t%s (size %d)", name.c_str(), static_cast<int>(length));
        }
        for (int i = m_event_count - 1; i >= 0; i--) {
            const std::string name = m_event_name[i];
            unregisterInterest(name);
        }
        for (const std::string& name : names) {
            if (registerInterest(name) != 0) {
                log.writeLog("Object::deserialize(): Error! Register interest: %s", name.c_str());
            }
        }
    }
    Box box;
    if (mask & BOX) {
        if (box.deserialize(ss) != 0 || !isFinite(box)) {
            return refuseValue(ss, "BOX");
        }
        log.writeLog(25, "\tBOX: %s", box.toString().c_str());
        setBox(box);
    }
    if (mask & POSITION) {
        Vector position;
        if (position.deserialize(ss) != 0 || !isFinite(position)) {
            return refuseValue(ss, "POSITION");
        }
        log.writeLog(25, "\tPOSITION: %s", position.toString().c_str());
        setPosition(position);
    }
    if (mask & TYPE) {
        std::string type;
        if (!record::readString(ss, type, "Object::deserialize()")) {
            return refuse(ss);
        }
        log.writeLog(25, "\tTYPE: %s", type.c_str());
        setType(type);
    }
    if (mask & ANIMATION) {
        Animation animation;
        if (animation.deserialize(ss) != 0) {
            return refuse(ss);
        }
        log.writeLog(25, "\tANIMATION: %s", animation.toString().c_str());
        setAnimation(animation, true);
        if (!animation.getName().empty()) {
            // The sprite is found here by its label; the frame and its timing come from the record.
            int index = animation.getIndex();
            if (setSprite(animation.getName()) != 0) {
                log.writeLog(
                    "Object::deserialize(): Sprite '%s' is not loaded here: the object is not drawn.",
                    animation.getName().c_str());
            }
            Animation shown = m_animation;
            const Sprite* p_sprite = shown.getSprite();
            if (p_sprite != nullptr && (index < 0 || index >= p_sprite->getFrameCount())) {
                log.writeLog(
                    "Object::deserialize(): Warning! Frame %d not in sprite '%s' of %d frames. Using 0.",
                    index, animation.getName().c_str(), p_sprite->getFrameCount());
                index = 0;
            }
            shown.setIndex(index);
            shown.setSlowdownCount(animation.getSlowdownCount());
            setAnimation(shown, true);
        }
        // Installing the sprite took its box; a box in the record is the sender's own and wins.
        if (mask & BOX) {
            setBox(box);
        }
    }
    if (mask & ALTITUDE) {
        int32_t altitude = 0;
        if (!record::read(ss, altitude)) {
            return refuse(ss);
        }
        log.writeLog(25, "\tALTITUDE: %d", altitude);
        setAltitude(altitude);
    }
    if (mask & SOLIDNESS) {
        int32_t solidness = 0;
        if (!record::read(ss, solidness)) {
            return refuse(ss);
        }
        log.writeLog(25, "\tSOLIDNESS: %s", solidnessToString(static_cast<Solidness>(solidness)).c_str());
        setSolidness(static_cast<Solidness>(solidness));
    }
    if (mask & NO_SOFT) {
        bool no_soft = false;
        if (!record::readBool(ss, no_soft)) {
            return refuse(ss);
        }
        log.writeLog(25, "\tNO_SOFT: %s", boolText(no_soft));
        setNoSoft(no_soft);
    }
    if (mask & DIRECTION) {
        Vector direction;
        if (direction.deserialize(ss) != 0 || !isFinite(direction)) {
            return refuseValue(ss, "DIRECTION");
        }
        log.writeLog(25, "\tDIRECTION: %s", direction.toString().c_str());
        setDirection(direction);
    }
    if (mask & SPEED) {
        float speed = 0;
        if (!record::read(ss, speed) || !std::isfinite(speed)) {
            return refuseValue(ss, "SPEED");
        }
        log.writeLog(25, "\tSPEED: %f", static_cast<double>(speed));
        setSpeed(speed);
    }
    if (mask & ACCELERATION) {
        Vector acceleration;
        if (acceleration.deserialize(ss) != 0 || !isFinite(acceleration)) {
            return refuseValue(ss, "ACCELERATION");
        }
        log.writeLog(25, "\tACCELERATION: %s", acceleration.toString().c_str());
        setAcceleration(acceleration);
    }
    if (mask & SHAPE) {
        Shape shape;
        if (shape.deserialize(ss) != 0) {
            return refuse(ss);
        }
        log.writeLog(25, "\tSHAPE: %s", shape.toString().c_str());
        setShape(shape);
    }
    if (mask & FOLLOW_PATH) {
        bool follow = false;
        if (!record::readBool(ss, follow)) {
            return refuse(ss);
        }
        log.writeLog(25, "\tFOLLOW_PATH: %s", boolText(follow));
        setFollowPath(follow);
    }
    if (mask & PATH) {
        Path path;
        if (path.deserialize(ss) != 0 || !isFinite(path)) {
            return refuseValue(ss, "PATH");
        }
        log.writeLog(25, "\tPATH: %s", path.toString().c_str());
        setPath(path);
    }
    if (mask & AVOID_COLLISIONS) {
        bool avoid = false;
        if (!record::readBool(ss, avoid)) {
            return refuse(ss);
        }
        log.writeLog(25, "\tAVOID_COLLISIONS: %s", boolText(avoid));
        setAvoidCollisions(avoid);
    }
    log.writeLog(20, "Object::deserialize(): done checking all types.");
    return checkStream("Object::deserialize()", ss);
}

}  // namespace vl
