// SPDX-License-Identifier: MIT
#ifndef VL_EVENT_H
#define VL_EVENT_H

#include <string>

namespace vl {

/// Every engine event type in one place; senders and receivers compare against these.
const std::string UNDEFINED_EVENT = "vl-undefined";
const std::string STEP_EVENT = "vl-step";
const std::string COLLISION_EVENT = "vl-collision";
const std::string OUT_EVENT = "vl-out";
const std::string KEYBOARD_EVENT = "vl-keyboard";
const std::string MSE_EVENT = "vl-mouse";
const std::string VIEW_EVENT = "vl-view";
const std::string PATH_EVENT = "vl-path";
const std::string NETWORK_EVENT = "vl-network";
const std::string NETWORK_ACCEPT_EVENT = "vl-network-accept";
const std::string NETWORK_CONNECT_EVENT = "vl-network-connect";
const std::string NETWORK_CLOSE_EVENT = "vl-network-close";
const std::string NETWORK_CREATE_EVENT = "vl-network-create";
const std::string NETWORK_DELETE_EVENT = "vl-network-delete";
const std::string NETWORK_SYNC_EVENT = "vl-network-sync";
const std::string NETWORK_GAME_OVER_EVENT = "vl-network-game-over";
const std::string CUSTOM_NETWORK_EVENT = "vl-custom-network";
const std::string KEYBOARD_NETWORK_EVENT = "vl-keyboard-network";
const std::string MSE_NETWORK_EVENT = "vl-mouse-network";

/// True for the eleven network event types.
bool isNetworkEvent(const std::string& event_type);

/// Base class of every event, and the engine's event type strings.
class Event {
public:
    Event();  ///< type "vl-undefined"
    virtual ~Event();
    void setType(const std::string& new_type);  ///< replaces only the type string
    /// The event's type string.
    std::string getType() const;

private:
    std::string m_event_type;
};

}  // namespace vl

#endif
