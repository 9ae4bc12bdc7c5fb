// SPDX-License-Identifier: MIT
#include <veltrane/effects/EventView.h>

namespace vl {

EventView::EventView() : EventView("", 0, false) {}

EventView::EventView(std::string new_tag, int new_value, bool new_delta)
    : m_tag(std::move(new_tag)), m_value(new_value), m_delta(new_delta) {
    setType(VIEW_EVENT);
}

void EventView::setTag(std::string new_tag) {
    m_tag = std::move(new_tag);
}

std::string EventView::getTag() const {
    return m_tag;
}

void EventView::setValue(int new_value) {
    m_value = new_value;
}

int EventView::getValue() const {
    return m_value;
}

void EventView::setDelta(bool new_delta) {
    m_delta = new_delta;
}

bool EventView::getDelta() const {
    return m_delta;
}

}  // namespace vl
