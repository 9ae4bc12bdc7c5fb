// SPDX-License-Identifier: MIT
#ifndef VL_EVENT_VIEW_H
#define VL_EVENT_VIEW_H

#include <string>

#include <veltrane/core/Event.h>

namespace vl {

/// Changes the value of the view objects whose label is the event's tag.
/// Sent through the world manager's onEvent; every view object labelled tag takes it.
class EventView : public Event {
public:
    EventView();  ///< type "vl-view", empty tag, value 0, no delta
    /// delta true: add value to the view objects' value; false: replace it.
    EventView(std::string new_tag, int new_value, bool new_delta);
    ///@{
    /// Tag of the view objects meant, the value, and whether it is added (delta) or replaces theirs.
    void setTag(std::string new_tag);
    std::string getTag() const;
    void setValue(int new_value);
    int getValue() const;
    void setDelta(bool new_delta);
    bool getDelta() const;
    ///@}

private:
    std::string m_tag;
    int m_value;
    bool m_delta;
};

}  // namespace vl

#endif
