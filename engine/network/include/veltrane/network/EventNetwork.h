// SPDX-License-Identifier: MIT
#ifndef VL_EVENT_NETWORK_H
#define VL_EVENT_NETWORK_H

#include <veltrane/core/Event.h>

namespace vl {

/// What a network event is about.
enum NetworkEventLabel {
    NETWORK_UNDEFINED = -1,
    NETWORK_ACCEPT = 0,   ///< a connection was accepted
    NETWORK_CONNECT = 1,  ///< a connection to a server was made (not produced by the engine)
    NETWORK_CLOSE = 2,    ///< a connection was closed
    NETWORK_DATA = 3,     ///< bytes arrived on a connection
};

/// Network events: a connection accepted, closed, or bytes received.
/// Type "vl-network"; the network manager fills in the socket, byte count and message.
class EventNetwork : public Event {
public:
    /// A network event of the given kind.
    explicit EventNetwork(int init_label = NETWORK_UNDEFINED);
    ~EventNetwork() override;

    void setLabel(int new_label);  ///< outside -1..3 logs and stores -1
    /// The kind of network event.
    int getLabel() const;
    /// Sets the socket the event is about.
    void setSocket(int new_socket);
    int getSocket() const;  ///< -1 when not about one socket
    /// Sets the message's length in bytes.
    void setBytes(int new_bytes);
    int getBytes() const;                        ///< message bytes at getMessage()
    void setMessage(const char* p_new_message);  ///< not owned; valid only while the event is handled
    /// The message received; getBytes() long.
    const char* getMessage() const;

private:
    int m_label;
    int m_socket;
    int m_bytes;
    const char* m_p_message;  //!< not owned
};

/// Type "vl-network-accept": a connection was accepted on the listening socket.
class EventNetworkAccept : public EventNetwork {
public:
    /// An event for an accepted connection.
    explicit EventNetworkAccept(int init_label = NETWORK_ACCEPT);
};

/// Type "vl-network-close": a connection was closed, by us or because the peer vanished.
class EventNetworkClose : public EventNetwork {
public:
    /// An event for a closed connection.
    explicit EventNetworkClose(int init_label = NETWORK_CLOSE);
};

}  // namespace vl

#endif
