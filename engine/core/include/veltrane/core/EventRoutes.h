// SPDX-License-Identifier: MIT
#ifndef VL_EVENT_ROUTES_H
#define VL_EVENT_ROUTES_H

#include <string>

#include <veltrane/core/Manager.h>

namespace vl {

/// Which manager keeps interest in, and sends, each event type.
/// Managers above the world add their routes when the program starts, so an object reaches them
/// without the world depending on their modules. Types no route claims belong to the world manager;
/// so do a manager's types in a program that does not link that manager at all.
class EventRoutes {
public:
    using Claims = bool (*)(const std::string& event_type);  ///< the event types a route takes
    using ManagerAccess = Manager& (*)();                    ///< a getInstance: built on first use

    /// Called from the initialiser of a namespace-scope constant in the manager's source, so the
    /// route exists before any object registers; 0. Only function pointers are kept, so the order in
    /// which sources are initialised does not matter.
    [[nodiscard]] static int add(Claims claims, ManagerAccess access);
    [[nodiscard]] static Manager* find(const std::string& event_type);  ///< null for a type no route claims
};

}  // namespace vl

#endif
