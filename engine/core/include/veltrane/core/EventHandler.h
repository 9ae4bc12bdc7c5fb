// SPDX-License-Identifier: MIT
#ifndef VL_EVENT_HANDLER_H
#define VL_EVENT_HANDLER_H

#include <string>

#include <veltrane/core/Event.h>

namespace vl {

/// What a manager hands events to: the world's objects implement it, so core need not know them.
class EventHandler {
public:
    virtual ~EventHandler() = default;
    virtual int eventHandler(const Event* p_e) = 0;  ///< 1 handled, 0 ignored
    virtual bool isActive() const = 0;               ///< inactive handlers are skipped by delivery
    virtual int getId() const = 0;                   ///< id and type name the handler in messages
    /// The handler's type name, for logs and for tests on collisions.
    virtual std::string getType() const = 0;
};

}  // namespace vl

#endif
