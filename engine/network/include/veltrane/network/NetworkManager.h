// SPDX-License-Identifier: MIT
#ifndef VL_NETWORK_MANAGER_H
#define VL_NETWORK_MANAGER_H

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include <veltrane/core/Manager.h>

namespace vl {

const int DEFAULT_MAX_CONNECTIONS = 3;
const int MAX_UNSENT_BYTES = 4 * 1024 * 1024;  ///< per connection, waiting for the peer to read
const int RECEIVE_CHUNK_BYTES = 4096;          ///< one read of receiveAll()

/// TCP connections for games that talk over the network: a listening socket, the connections it
/// accepted, sending now or at a later game step, receiving, and network events about them.
/// A message held back until a game step.
struct DelayedMessage {
    int bytes;                     ///< length of data
    std::unique_ptr<char[]> data;  ///< owned copy of the caller's bytes
    int step;                      ///< first game loop step at which it may be sent
};

/// Connections, messages and network events: a server accepts, a client connects.
class NetworkManager : public Manager {
public:
    /// The one network manager of the program.
    static NetworkManager& getInstance();
    ~NetworkManager() override;  ///< frees the queues; shutDown() closes the sockets

    [[nodiscard]] int startUp() override;  ///< 0, or -1 when already started
    void shutDown() override;  ///< closes every connection (with close events) and the listening socket
    bool isValid(std::string event_type) const override;  ///< the eleven network types; logs any other

    /// Becomes a server: listens on address (dotted IPv4, loopback by default) and port (0 picks a
    /// free one), non-blocking, with address reuse. 0, or -1 with a log line. Needs startUp().
    [[nodiscard]] int listen(int port, const std::string& address = "127.0.0.1");
    int getPort() const;    ///< the listening port, or -1 when not a server
    bool isServer() const;  ///< a listening socket exists

    /// With -1: is there at least one connection? Otherwise: is sock a connection (logs if not)?
    bool isConnected(int sock = -1) const;
    /// The number of open connections.
    int getConnectionCount() const;
    std::vector<int> getConnections() const;  ///< in the order they were accepted

    /// Accepts one waiting connection without blocking and sends an accept event.
    /// The new socket, -1 when none is waiting or at the limit, -2 on error or when not a server.
    [[nodiscard]] int accept();
    /// Closes sock, or every connection with -1, sending a close event for each and dropping their
    /// queued messages. 0, or -1 when sock is not a connection or closing failed.
    int close(int sock = -1);

    /// Sends bytes at p_data to sock without waiting. 0 when all were sent or, if the peer is slow,
    /// kept (copied) to go first at the next turn; -1 on failure. A dead connection is closed.
    [[nodiscard]] int send(const void* p_data, int bytes, int sock);
    /// Copies bytes at p_data to go to sock at the turn of game step `step` (or later). 0 or -1.
    [[nodiscard]] int queueDelayed(const void* p_data, int bytes, int sock, int step);
    /// The per-iteration turn: sends kept bytes, then every queued message that is due, in order.
    /// The sum of the send() results (0 when all went well).
    int sendDelayed();
    int getDelayedCount(int sock) const;  ///< messages queued for sock, 0 for unknown sockets
    int getUnsentBytes(int sock) const;   ///< bytes kept for sock because the peer was slow

    /// Reads up to max_bytes waiting bytes of sock into p_buffer without waiting: the count read,
    /// 0 when nothing is waiting, -1 on error or when the peer has gone (the connection is then closed).
    [[nodiscard]] int receive(void* p_buffer, int max_bytes, int sock);
    /// Reads what has arrived on every connection and hands it, chunk by chunk, to the objects
    /// registered for "vl-network" (label NETWORK_DATA). Games call it from a step handler.
    /// Returns the bytes delivered.
    int receiveAll();

    void setMaxConnections(int new_max_connections);  ///< limit for accept(); negative values are refused
    /// The most connections a server accepts.
    int getMaxConnections() const;

private:
    /// One accepted connection and what waits to go to it.
    struct Connection {
        explicit Connection(int new_sock) : sock(new_sock) {}
        /// Move-only, so that the vector moves connections (queues and all) when it grows.
        Connection(Connection&&) = default;
        Connection& operator=(Connection&&) = default;

        int sock;
        std::deque<DelayedMessage> delayed;  //!< queued messages, oldest first
        std::string unsent;                  //!< bytes the peer could not take yet
    };

    NetworkManager();
    int indexOf(int sock) const;                            ///< -1 when not a connection; writes nothing
    [[nodiscard]] Connection* find(int sock);               ///< null when not a connection; writes nothing
    void dropConnection(int sock);                          ///< forgets it and its queues, if still there
    [[nodiscard]] int flushUnsent(Connection& connection);  ///< 0, or -1 when the connection was lost
    int reportSocketError(int sock, const char* p_caller);  ///< reports the last socket error, -1

    int m_sock;  //!< listening socket, -1 when not a server
    int m_max_connections;
    std::vector<Connection> m_connections;  //!< in the order accepted
    std::vector<char> m_receive_buffer;     //!< one chunk, reused by receiveAll()
};

}  // namespace vl

#endif
