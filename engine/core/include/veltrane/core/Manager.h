// SPDX-License-Identifier: MIT
#ifndef VL_MANAGER_H
#define VL_MANAGER_H

#include <string>
#include <vector>

#include <veltrane/core/Event.h>
#include <veltrane/core/EventHandler.h>

namespace vl {

const int MAX_EVENTS = 100;  ///< distinct event types one manager keeps interest in

/// Base of every engine service: a name, a started flag and an interest table.
class Manager {
public:
    virtual bool isValid(std::string event_type) const;  ///< may objects register for it? base: no
    virtual ~Manager();
    [[nodiscard]] virtual int startUp();  ///< 0 on success, -1 on failure
    /// Stops the manager; base: marks it not started.
    virtual void shutDown();

    /// The manager's type name, used in its log lines.
    std::string getType() const;
    /// Whether startUp() succeeded and shutDown() has not run since.
    bool isStarted() const;
    /// For work that needs a started manager: true, with "\<type> not started!" logged, when it is not.
    [[nodiscard]] bool refuseUnlessStarted() const;

    /// Objects are the handlers: callers pass an Object*.
    [[nodiscard]] int registerInterest(EventHandler* p_o,
                                       std::string event_type);         ///< 0 also when already registered
    int unregisterInterest(EventHandler* p_o, std::string event_type);  ///< -1 when not registered
    int onEvent(const Event* p_e) const;  ///< number of active handlers whose eventHandler was called

    int getEventCount() const;  //!< event types in use in the interest table

protected:
    Manager();
    /// Names the manager, for derived classes.
    void setType(std::string type);
    /// For a derived startUp(): true, with the warning every manager writes, when already started.
    [[nodiscard]] bool refuseIfStarted() const;

private:
    Manager(const Manager&) = delete;
    Manager& operator=(const Manager&) = delete;

    std::string m_type;
    int m_event_count;
    std::string m_event_name[MAX_EVENTS];
    std::vector<EventHandler*> m_obj_list[MAX_EVENTS];  //!< in registration order
    bool m_is_started;
};

}  // namespace vl

#endif
