// SPDX-License-Identifier: MIT
#include <veltrane/world/Path.h>

#include <cstdint>
#include <utility>

#include <veltrane/core/Record.h>
#include <veltrane/core/Utility.h>

namespace vl {

namespace {

const uint64_t WAYPOINT_BYTES = 8;

}  // namespace

Path::Path() : m_index(0) {}

Path::Path(std::vector<Vector> waypoints) : m_waypoints(std::move(waypoints)), m_index(0) {}

bool Path::isDone() const {
    return m_index >= getCount();
}

Vector Path::getCurrent() const {
    if (isDone() || m_index < 0) {
        return Vector(0, 0);
    }
    return m_waypoints[static_cast<size_t>(m_index)];
}

Path& Path::next() {
    if (m_index < getCount()) {
        m_index++;
    }
    return *this;
}

void Path::setWaypoints(std::vector<Vector> new_waypoints) {
    m_waypoints = std::move(new_waypoints);
}

const std::vector<Vector>& Path::getWaypoints() const {
    return m_waypoints;
}

int Path::getIndex() const {
    return m_index;
}

int Path::getCount() const {
    return static_cast<int>(m_waypoints.size());
}

int Path::serialize(std::ostream& stream) const {
    const uint64_t count = m_waypoints.size();
    record::write(stream, count);
    for (const Vector& waypoint : m_waypoints) {
        if (waypoint.serialize(stream) != 0) {
            break;
        }
    }
    return checkStream("Path::serialize()", stream);
}

int Path::deserialize(std::istream& stream) {
    uint64_t count = 0;
    if (!record::read(stream, count) ||
        !record::checkLength(stream, count, WAYPOINT_BYTES, "Path::deserialize()")) {
        return checkStream("Path::deserialize()", stream);
    }
    std::vector<Vector> waypoints(static_cast<size_t>(count));
    for (Vector& waypoint : waypoints) {
        if (waypoint.deserialize(stream) != 0) {
            return checkStream("Path::deserialize()", stream);
        }
    }
    m_waypoints.swap(waypoints);
    m_index = 0;
    return checkStream("Path::deserialize()", stream);
}

std::string Path::toString() const {
    std::string text;
    for (const Vector& waypoint : m_waypoints) {
        text += waypoint.toString() + "|";
    }
    return text;
}

bool Path::operator==(const Path& other) const {
    return m_index == other.m_index && m_waypoints == other.m_waypoints;
}

}  // namespace vl
