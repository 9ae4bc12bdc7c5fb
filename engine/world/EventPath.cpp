// SPDX-License-Identifier: MIT
#include <veltrane/world/EventPath.h>

namespace vl {

EventPath::EventPath() : m_status(NO_PATH), m_p_search(nullptr) {
    setType(PATH_EVENT);
}

EventPath::~EventPath() = default;

int EventPath::getStatus() const {
    return m_status;
}
void EventPath::setStatus(int new_status) {
    m_status = new_status;
}
Path EventPath::getPath() const {
    return m_path;
}
void EventPath::setPath(const Path& new_path) {
    m_path = new_path;
}
const PathFind* EventPath::getSearch() const {
    return m_p_search;
}
void EventPath::setSearch(const PathFind* p_new_search) {
    m_p_search = p_new_search;
}

}  // namespace vl
