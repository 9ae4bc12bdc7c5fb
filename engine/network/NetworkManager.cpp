// SPDX-License-Identifier: MIT
#include <veltrane/network/NetworkManager.h>

#include <cstring>

#include <veltrane/core/EventRoutes.h>
#include <veltrane/core/LogManager.h>
#include <veltrane/core/LoopState.h>
#include <veltrane/network/EventNetwork.h>
#include <veltrane/platform/Platform.h>

namespace vl {

namespace {

const int LISTEN_BACKLOG = 16;

void logSystemError(int error_number) {
    LogManager::getInstance().writeLog("\t%d - %s", error_number, platform::errorText(error_number).c_str());
}

Manager& networkManager() {
    return NetworkManager::getInstance();
}

// Objects find this manager by event type, so the world need not know the network module.
[[maybe_unused]] const int ROUTE_ADDED = EventRoutes::add(isNetworkEvent, networkManager);

}  // namespace

NetworkManager::NetworkManager()
    : m_sock(-1), m_max_connections(DEFAULT_MAX_CONNECTIONS), m_receive_buffer(RECEIVE_CHUNK_BYTES) {
    setType("NetworkManager");
}

NetworkManager::~NetworkManager() = default;

NetworkManager& NetworkManager::getInstance() {
    static NetworkManager instance;
    return instance;
}

int NetworkManager::startUp() {
    const LogManager& log = LogManager::getInstance();
    if (refuseIfStarted()) {
        return -1;
    }
    // POSIX sockets need no library start-up.
    if (Manager::startUp() != 0) {
        return -1;
    }
    log.writeLog(5, "NetworkManager::startUp(): successfully started.");
    return 0;
}

void NetworkManager::shutDown() {
    if (!m_connections.empty()) {
        close(-1);
    }
    if (m_sock != -1) {
        if (platform::socketClose(m_sock) != 0) {
            LogManager::getInstance().writeLog("NetworkManager::shutDown(): Error! close() returned:");
            logSystemError(platform::lastError());
        }
        m_sock = -1;
    }
    Manager::shutDown();
    LogManager::getInstance().writeLog(5, "NetworkManager::shutDown(): successfully stopped.");
}

bool NetworkManager::isValid(std::string event_type) const {
    if (isNetworkEvent(event_type)) {
        return true;
    }
    LogManager::getInstance().writeLog("NetworkManager::isValid(): Error! NetworkManager does not handle %s.",
                                       event_type.c_str());
    return false;
}

int NetworkManager::listen(int port, const std::string& address) {
    const LogManager& log = LogManager::getInstance();
    if (!isStarted()) {
        log.writeLog("NetworkManager::listen(): Error! NetworkManager not started.");
        return -1;
    }
    if (m_sock != -1) {
        log.writeLog("NetworkManager::listen(): Error! Already listening on port %d.", getPort());
        return -1;
    }
    const int sock = platform::socketListen(address, port, LISTEN_BACKLOG);
    if (sock < 0) {
        log.writeLog("NetworkManager::listen(): Error! Cannot listen on %s port %d:", address.c_str(), port);
        logSystemError(platform::lastError());
        return -1;
    }
    m_sock = sock;
    log.writeLog(1, "NetworkManager::listen(): Listening on %s port %d, socket %d.", address.c_str(),
                 getPort(), m_sock);
    return 0;
}

int NetworkManager::getPort() const {
    return m_sock == -1 ? -1 : platform::socketLocalPort(m_sock);
}

bool NetworkManager::isServer() const {
    return m_sock != -1;
}

bool NetworkManager::isConnected(int sock) const {
    if (sock == -1) {
        return !m_connections.empty();
    }
    if (indexOf(sock) != -1) {
        return true;
    }
    LogManager::getInstance().writeLog("NetworkManager::isConnected(): Warning! Socket %d not connected.",
                                       sock);
    return false;
}

int NetworkManager::getConnectionCount() const {
    return static_cast<int>(m_connections.size());
}

std::vector<int> NetworkManager::getConnections() const {
    std::vector<int> sockets;
    sockets.reserve(m_connections.size());
    for (const Connection& connection : m_connections) {
        sockets.push_back(connection.sock);
    }
    return sockets;
}

int NetworkManager::indexOf(int sock) const {
    for (size_t i = 0; i < m_connections.size(); i++) {
        if (m_connections[i].sock == sock) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

NetworkManager::Connection* NetworkManager::find(int sock) {
    const int index = indexOf(sock);
    return index == -1 ? nullptr : &m_connections[static_cast<size_t>(index)];
}

int NetworkManager::accept() {
    const LogManager& log = LogManager::getInstance();
    if (!isServer()) {
        log.writeLog("NetworkManager::accept(): Error! Not setup as server.");
        return -2;
    }
    if (getConnectionCount() >= m_max_connections) {
        log.writeLog(20, "NetworkManager::accept(): Won't check for new connetions since at max.");
        log.writeLog(20, "\tUse NM.setMaxConnections() to change max.");
        return -1;
    }
    const int sock = platform::socketAccept(m_sock);
    if (sock < 0) {
        const int error = platform::lastError();
        if (platform::isWouldBlock(error)) {
            log.writeLog(15, "NetworkManager::accept(): No new connection. Not blocking.");
            return -1;
        }
        log.writeLog("NetworkManager::accept(): Error! accept() returned:");
        logSystemError(error);
        return -2;
    }
    log.writeLog(1, "NetworkManager::accept(): New connection, socket %d.", sock);
    m_connections.emplace_back(sock);

    EventNetworkAccept event(NETWORK_ACCEPT);
    event.setSocket(sock);
    event.setBytes(0);
    onEvent(&event);
    return sock;
}

int NetworkManager::close(int sock) {
    const LogManager& log = LogManager::getInstance();
    std::vector<int> to_close;
    if (sock == -1) {
        to_close = getConnections();
    } else if (indexOf(sock) == -1) {
        log.writeLog("NetworkManager::close(): Error! Socket %d not connected.", sock);
        return -1;
    } else {
        to_close.push_back(sock);
    }
    for (const int closing : to_close) {
        const int index = indexOf(closing);
        if (index == -1) {
            continue;  // a close handler already closed it
        }
        if (platform::socketClose(closing) != 0) {
            const int error = platform::lastError();
            // The descriptor is released even when close() fails, so the connection goes, unannounced.
            m_connections.erase(m_connections.begin() + index);
            log.writeLog("NetworkManager::close(): Error! close() returned:");
            logSystemError(error);
            return -1;
        }
        EventNetworkClose event(NETWORK_CLOSE);
        event.setSocket(closing);
        event.setBytes(0);
        onEvent(&event);
        dropConnection(closing);
    }
    return 0;
}

// Handlers of the close event may have dropped it already.
void NetworkManager::dropConnection(int sock) {
    const int index = indexOf(sock);
    if (index != -1) {
        m_connections.erase(m_connections.begin() + index);
    }
}

int NetworkManager::reportSocketError(int sock, const char* p_caller) {
    const LogManager& log = LogManager::getInstance();
    const int error = platform::lastError();
    log.writeLog("%s: Error! Return is -1.", p_caller);
    logSystemError(error);
    if (platform::isConnectionGone(error)) {
        log.writeLog(1, "\tsocket is closed");
        if (indexOf(sock) != -1) {
            close(sock);
        }
    }
    return -1;
}

int NetworkManager::flushUnsent(Connection& connection) {
    std::string& unsent = connection.unsent;
    if (unsent.empty()) {
        return 0;
    }
    const int sock = connection.sock;
    const long sent = platform::socketSend(sock, unsent.data(), unsent.size());
    if (sent < 0) {
        if (platform::isWouldBlock(platform::lastError())) {
            return 0;
        }
        return reportSocketError(sock, "NetworkManager::send()");
    }
    unsent.erase(0, static_cast<size_t>(sent));
    return 0;
}

int NetworkManager::send(const void* p_data, int bytes, int sock) {
    const LogManager& log = LogManager::getInstance();
    if (bytes < 0 || (bytes > 0 && p_data == nullptr)) {
        log.writeLog("NetworkManager::send(): Error! Invalid message of %d bytes at %p.", bytes, p_data);
        return -1;
    }
    // -1 means "any connection" to isConnected(), never a socket to send to.
    if (sock == -1 || !isConnected(sock)) {
        log.writeLog("NetworkManager::send(): Error! Socket %d not connected. Unable to send.", sock);
        return -1;
    }
    log.writeLog(15, "NetworkManager::send(): Socket %d. Calling ::send()...", sock);
    Connection* p_connection = find(sock);
    if (flushUnsent(*p_connection) != 0) {
        return -1;
    }
    std::string& unsent = p_connection->unsent;
    if (!unsent.empty()) {
        // Bytes still waiting go first, or the peer would receive the stream out of order.
        if (unsent.size() + static_cast<size_t>(bytes) > static_cast<size_t>(MAX_UNSENT_BYTES)) {
            log.writeLog(
                "NetworkManager::send(): Error! %d bytes already waiting for socket %d. Unable to send.",
                static_cast<int>(unsent.size()), sock);
            return -1;
        }
        unsent.append(static_cast<const char*>(p_data), static_cast<size_t>(bytes));
        log.writeLog(15, "NetworkManager::send(): %d bytes queued behind unsent bytes.", bytes);
        return 0;
    }
    if (bytes == 0) {
        return 0;
    }
    long sent = platform::socketSend(sock, p_data, static_cast<size_t>(bytes));
    if (sent < 0) {
        if (!platform::isWouldBlock(platform::lastError())) {
            return reportSocketError(sock, "NetworkManager::send()");
        }
        sent = 0;
    }
    if (sent < bytes) {
        log.writeLog("NetworkManager::send(): Warning! %d of %d bytes sent.", static_cast<int>(sent), bytes);
        log.writeLog("\tThe other %d bytes go at the next turn.", bytes - static_cast<int>(sent));
        unsent.assign(static_cast<const char*>(p_data) + sent, static_cast<size_t>(bytes - sent));
    }
    return 0;
}

int NetworkManager::queueDelayed(const void* p_data, int bytes, int sock, int step) {
    const LogManager& log = LogManager::getInstance();
    if (bytes < 0 || bytes > MAX_UNSENT_BYTES || (bytes > 0 && p_data == nullptr)) {
        log.writeLog("NetworkManager::queueDelayed(): Error! Invalid message of %d bytes at %p.", bytes,
                     p_data);
        return -1;
    }
    if (sock < 0 || !isConnected(sock)) {
        log.writeLog("NetworkManager::queueDelayed(): Error! Socket %d not connected. Unable to queue.",
                     sock);
        return -1;
    }
    DelayedMessage message{bytes, std::unique_ptr<char[]>(new char[static_cast<size_t>(bytes) + 1]), step};
    if (bytes > 0) {
        std::memcpy(message.data.get(), p_data, static_cast<size_t>(bytes));
    }
    find(sock)->delayed.push_back(std::move(message));
    log.writeLog(15, "NetworkManager::queueDelayed(): %d bytes for socket %d at step %d.", bytes, sock, step);
    return 0;
}

int NetworkManager::sendDelayed() {
    const int now = LoopState::getInstance().getStepCount();
    int total = 0;
    // Sockets, not indices: a failed send closes its connection and shifts the others.
    const std::vector<int> sockets = getConnections();
    for (const int sock : sockets) {
        Connection* p_connection = find(sock);
        if (p_connection == nullptr) {
            continue;
        }
        if (flushUnsent(*p_connection) != 0) {
            total += -1;
            continue;
        }
        while ((p_connection = find(sock)) != nullptr) {
            std::deque<DelayedMessage>& queue = p_connection->delayed;
            if (queue.empty() || queue.front().step > now) {
                break;
            }
            const DelayedMessage message = std::move(queue.front());
            queue.pop_front();
            total += send(message.data.get(), message.bytes, sock);
        }
    }
    return total;
}

int NetworkManager::getDelayedCount(int sock) const {
    const int index = indexOf(sock);
    return index == -1 ? 0 : static_cast<int>(m_connections[static_cast<size_t>(index)].delayed.size());
}

int NetworkManager::getUnsentBytes(int sock) const {
    const int index = indexOf(sock);
    return index == -1 ? 0 : static_cast<int>(m_connections[static_cast<size_t>(index)].unsent.size());
}

int NetworkManager::receive(void* p_buffer, int max_bytes, int sock) {
    const LogManager& log = LogManager::getInstance();
    if (max_bytes <= 0 || p_buffer == nullptr) {
        log.writeLog("NetworkManager::receive(): Error! Invalid buffer of %d bytes at %p.", max_bytes,
                     p_buffer);
        return -1;
    }
    if (sock < 0 || !isConnected(sock)) {
        log.writeLog("NetworkManager::receive(): Error! Socket %d not connected. Unable to receive.", sock);
        return -1;
    }
    const long got = platform::socketReceive(sock, p_buffer, static_cast<size_t>(max_bytes));
    if (got > 0) {
        log.writeLog(15, "NetworkManager::receive(): Socket %d, %d bytes.", sock, static_cast<int>(got));
        return static_cast<int>(got);
    }
    if (got == 0) {
        log.writeLog(1, "NetworkManager::receive(): Socket %d closed by the peer.", sock);
        close(sock);
        return -1;
    }
    if (platform::isWouldBlock(platform::lastError())) {
        return 0;
    }
    return reportSocketError(sock, "NetworkManager::receive()");
}

int NetworkManager::receiveAll() {
    int total = 0;
    const std::vector<int> sockets = getConnections();
    for (const int sock : sockets) {
        // Bounded, so that a peer that never stops sending cannot hold up the game loop.
        for (int chunk = 0; chunk < 16 && indexOf(sock) != -1; chunk++) {
            const int got = receive(m_receive_buffer.data(), RECEIVE_CHUNK_BYTES, sock);
            if (got <= 0) {
                break;
            }
            EventNetwork event(NETWORK_DATA);
            event.setSocket(sock);
            event.setBytes(got);
            event.setMessage(m_receive_buffer.data());
            onEvent(&event);
            total += got;
        }
    }
    return total;
}

void NetworkManager::setMaxConnections(int new_max_connections) {
    if (new_max_connections < 0) {
        LogManager::getInstance().writeLog(
            "NetworkManager::setMaxConnections(): Error! %d is not a valid maximum. Ignored.",
            new_max_connections);
        return;
    }
    m_max_connections = new_max_connections;
}

int NetworkManager::getMaxConnections() const {
    return m_max_connections;
}

}  // namespace vl
