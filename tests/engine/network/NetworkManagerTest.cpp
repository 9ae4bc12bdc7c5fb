// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "InputProbe.h"
#include "TestSupport.h"
#include "WorldFixture.h"
#include <veltrane/core/LoopState.h>
#include <veltrane/game/GameManager.h>
#include <veltrane/network/EventNetwork.h>
#include <veltrane/network/NetworkManager.h>
#include <veltrane/platform/Platform.h>

namespace {

vl::NetworkManager& nm() {
    return vl::NetworkManager::getInstance();
}

// Notes each event's socket by type, the last data, and whether every close came while still listed.
class Listener : public vl::Object {
public:
    std::map<std::string, std::vector<int>> sockets;
    std::string data;
    bool closed_while_listed = true;

    Listener() {
        EXPECT_EQ(0, registerInterest(vl::NETWORK_ACCEPT_EVENT));
        EXPECT_EQ(0, registerInterest(vl::NETWORK_CLOSE_EVENT));
        EXPECT_EQ(0, registerInterest(vl::NETWORK_EVENT));
    }
    int eventHandler(const vl::Event* p_e) override {
        const auto* p_net = dynamic_cast<const vl::EventNetwork*>(p_e);
        sockets[p_e->getType()].push_back(p_net->getSocket());
        if (p_e->getType() == vl::NETWORK_CLOSE_EVENT) {
            closed_while_listed = closed_while_listed && nm().isConnected(p_net->getSocket());
        }
        if (p_net->getMessage() != nullptr) {
            data.assign(p_net->getMessage(), static_cast<size_t>(p_net->getBytes()));
        }
        return 1;
    }
};

// Something on the socket (data, the peer's end, an error) within a time only a fault reaches.
short waitOn(int sock, short events) {
    pollfd p{sock, events, 0};
    return poll(&p, 1, 5000) == 1 ? p.revents : 0;
}

// Reads bytes from a client socket as they come; with pump, after a game loop turn of sending each time.
std::string readExactly(int sock, size_t bytes, bool pump = false) {
    std::string got;
    char buffer[65536];
    ssize_t n = 1;
    while (n > 0 && got.size() < bytes && (!pump || nm().sendDelayed() == 0) &&
           (waitOn(sock, POLLIN) & POLLIN)) {
        n = recv(sock, buffer, std::min(sizeof(buffer), bytes - got.size()), 0);
        got.append(buffer, static_cast<size_t>(std::max<ssize_t>(n, 0)));
    }
    return got;
}

class NetworkManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(nm().startUp(), 0);
        ASSERT_EQ(nm().listen(0), 0);
    }
    void TearDown() override { nm().shutDown(); }
    bool logged(const std::string& line) const { return m_world.log().find(line) != std::string::npos; }
    std::vector<int> closed() { return mp_listener->sockets[vl::NETWORK_CLOSE_EVENT]; }

    // Connects a client and accepts it; returns the server side's socket.
    int connectAndAccept() {
        m_clients.push_back(vl::platform::socketConnect("127.0.0.1", nm().getPort()));
        EXPECT_GE(m_clients.back(), 0);
        return nm().accept();
    }
    // The last client goes: with a reset, as when a peer crashes, or with an orderly close.
    void dropClient(bool reset) {
        linger hard{1, 0};
        ASSERT_TRUE(!reset || setsockopt(m_clients.back(), SOL_SOCKET, SO_LINGER, &hard, sizeof(hard)) == 0);
        ::close(m_clients.back());
        m_clients.pop_back();
    }
    // Small buffers on both ends, so that a large message cannot go in one call.
    void shrinkBuffers(int sock, int bytes) {
        ASSERT_EQ(setsockopt(sock, SOL_SOCKET, SO_SNDBUF, &bytes, sizeof(bytes)), 0);
        ASSERT_EQ(setsockopt(m_clients.back(), SOL_SOCKET, SO_RCVBUF, &bytes, sizeof(bytes)), 0);
    }

    vltest::World m_world;
    Listener* mp_listener = new Listener;
    std::vector<int> m_clients;
};

}  // namespace

// Refusals are logged and change nothing; closing and shutting down send an event per connection while
// it is still listed, a failed close none.
TEST_F(NetworkManagerTest, ListenAcceptAndCloseRefuseBadRequestsAndEndConnectionsWithAnEventEach) {
    EXPECT_EQ(nm().listen(0), -1);
    EXPECT_TRUE(logged("NetworkManager::listen(): Error! Already listening on port"));
    nm().shutDown();
    EXPECT_EQ(nm().listen(0), -1);
    EXPECT_TRUE(logged("NetworkManager::listen(): Error! NetworkManager not started."));
    ASSERT_EQ(nm().startUp(), 0);
    EXPECT_EQ(nm().accept(), -2);
    EXPECT_TRUE(logged("NetworkManager::accept(): Error! Not setup as server."));
    const int other = vl::platform::socketListen("127.0.0.1", 0, 1);
    const int taken = vl::platform::socketLocalPort(other);
    EXPECT_EQ(nm().listen(taken), -1);
    EXPECT_TRUE(logged("Cannot listen on 127.0.0.1 port " + std::to_string(taken) + ":"));
    EXPECT_TRUE(logged("\t98 - "));  // the system's own text follows the code
    vl::platform::socketClose(other);
    EXPECT_FALSE(nm().isServer());
    ASSERT_EQ(nm().listen(0), 0);
    EXPECT_EQ(nm().accept(), -1);  // nobody waiting, and no waiting either
    std::vector<int> sockets;
    for (int i = 0; i < vl::DEFAULT_MAX_CONNECTIONS; i++) {
        sockets.push_back(connectAndAccept());
    }
    EXPECT_EQ(mp_listener->sockets[vl::NETWORK_ACCEPT_EVENT], sockets);
    EXPECT_EQ(connectAndAccept(), -1);  // the client waits in the backlog
    nm().setMaxConnections(vl::DEFAULT_MAX_CONNECTIONS + 1);
    sockets.push_back(nm().accept());
    EXPECT_EQ(nm().getConnections(), sockets);
    const int b = sockets[1];
    ASSERT_EQ(nm().queueDelayed("x", 1, b, 100), 0);
    EXPECT_EQ(nm().close(b), 0);
    EXPECT_EQ(nm().getDelayedCount(b), 0);
    EXPECT_EQ(nm().close(b), -1);
    EXPECT_TRUE(logged("NetworkManager::close(): Error! Socket " + std::to_string(b) + " not connected."));
    ::close(sockets[2]);  // the descriptor is gone underneath the manager
    EXPECT_EQ(nm().close(sockets[2]), -1);
    EXPECT_EQ(nm().getConnections(), (std::vector<int>{sockets[0], sockets[3]}));
    ASSERT_EQ(nm().close(-1), 0);
    EXPECT_FALSE(nm().isConnected());
    const int d = connectAndAccept();
    const int port = nm().getPort();
    nm().shutDown();  // closes the connections and the listening socket
    EXPECT_FALSE(nm().isServer() || nm().isConnected());
    EXPECT_EQ(closed(), (std::vector<int>{b, sockets[0], sockets[3], d}));
    EXPECT_TRUE(mp_listener->closed_while_listed);
    ASSERT_EQ(nm().startUp(), 0);
    EXPECT_EQ(nm().listen(port), 0);  // address reuse lets a restarted server take the same port at once
    char byte = 0;
    for (const int client : m_clients) {  // every client sees its connection end
        ASSERT_NE(waitOn(client, POLLIN), 0);
        EXPECT_EQ(recv(client, &byte, 1, 0), 0);
    }
}

TEST_F(NetworkManagerTest, SendQueueAndReceiveCarryTheBytesAndRefuseWhatIsNoMessage) {
    const int sock = connectAndAccept();
    const std::string text("hello\0world", 11);
    EXPECT_EQ(nm().send(text.data(), 11, sock) + nm().send(text.data(), 0, sock), 0);
    EXPECT_EQ(readExactly(m_clients[0], text.size()), text);
    char message[] = "abc";
    ASSERT_EQ(nm().queueDelayed(message, 3, sock, 0), 0);
    message[0] = 'X';  // the manager keeps its own copy
    for (const auto& [bytes, step] : {std::pair{"b", 10}, {"c", 10}, {"d", 11}}) {
        ASSERT_EQ(nm().queueDelayed(bytes, 1, sock, step), 0);
    }
    std::vector<int> waiting;
    for (const int step : {0, 9, 10, 11}) {
        vl::LoopState::getInstance().setStepCount(step);
        EXPECT_EQ(nm().sendDelayed(), 0);
        waiting.push_back(nm().getDelayedCount(sock));
    }
    EXPECT_EQ(waiting, (std::vector<int>{3, 3, 1, 0}));
    EXPECT_EQ(readExactly(m_clients[0], 6), "abcbcd");
    EXPECT_EQ(nm().send("abc", 3, 12345), -1);
    EXPECT_TRUE(logged("NetworkManager::isConnected(): Warning! Socket 12345 not connected."));
    EXPECT_TRUE(logged("NetworkManager::send(): Error! Socket 12345 not connected. Unable to send."));
    // -1 means "any connection" to isConnected, and must not reach the socket layer.
    EXPECT_EQ(nm().send("abc", 3, -1) + nm().send(nullptr, 3, sock) + nm().send("abc", -3, sock), -3);
    EXPECT_EQ(nm().queueDelayed("abc", -1, sock, 0) + nm().queueDelayed(nullptr, 3, sock, 0), -2);
    EXPECT_EQ(nm().queueDelayed("abc", 3, sock + 100, 0) + nm().queueDelayed("abc", 3, -1, 0), -2);
    EXPECT_EQ(nm().getDelayedCount(sock), 0);
    char buffer[16] = {};
    EXPECT_EQ(nm().receive(buffer, sizeof(buffer), sock), 0);  // nothing yet, and no waiting
    ASSERT_EQ(::send(m_clients[0], "ping", 4, 0), 4);
    ASSERT_NE(waitOn(sock, POLLIN) & POLLIN, 0);
    ASSERT_EQ(nm().receive(buffer, sizeof(buffer), sock), 4);
    EXPECT_EQ(std::string(buffer, 4), "ping");
    EXPECT_EQ(nm().receive(nullptr, 4, sock) + nm().receive(buffer, 4, 999), -2);
    ASSERT_EQ(::send(m_clients[0], "to b", 4, 0), 4);
    ASSERT_NE(waitOn(sock, POLLIN) & POLLIN, 0);
    EXPECT_EQ(nm().receiveAll(), 4);
    ASSERT_EQ(mp_listener->sockets[vl::NETWORK_EVENT], std::vector<int>{sock});
    EXPECT_EQ(mp_listener->data, "to b");
    EXPECT_EQ(nm().receiveAll(), 0);
    EXPECT_TRUE(nm().isConnected(sock) && closed().empty());
}

// A peer that left is noticed by the next send (the first still leaves; the reset answers it) or receive,
// and one that resets while a message waits for it, by the next turn of sending.
TEST_F(NetworkManagerTest, APeerThatLeftOrResetMidSendLosesItsConnection) {
    const auto sendTwice = [this](int sock) {
        dropClient(false);
        EXPECT_EQ(nm().send("first", 5, sock), 0);
        EXPECT_NE(waitOn(sock, POLLERR) & (POLLERR | POLLHUP), 0);
        return nm().send("second", 6, sock);  // the process is still alive: no SIGPIPE
    };
    const auto receive = [this](int sock) {
        dropClient(false);
        char buffer[16];
        EXPECT_NE(waitOn(sock, POLLIN), 0);
        return nm().receive(buffer, sizeof(buffer), sock);
    };
    const auto resetMidSend = [this](int sock) {
        shrinkBuffers(sock, 4096);
        const std::string big(1 << 20, 'b');
        EXPECT_EQ(nm().send(big.data(), static_cast<int>(big.size()), sock), 0);
        const int kept = nm().getUnsentBytes(sock);
        EXPECT_GT(kept, 0);
        EXPECT_TRUE(logged("NetworkManager::send(): Warning! " + std::to_string(big.size() - kept) + " of " +
                           std::to_string(big.size()) + " bytes sent."));
        dropClient(true);
        EXPECT_NE(waitOn(sock, POLLERR) & (POLLERR | POLLHUP), 0);
        return nm().sendDelayed();
    };
    for (const auto& end : std::vector<std::function<int(int)>>{sendTwice, receive, resetMidSend}) {
        mp_listener->sockets.clear();
        const int sock = connectAndAccept();
        EXPECT_EQ(end(sock), -1);
        EXPECT_FALSE(nm().isConnected(sock));
        EXPECT_EQ(nm().getUnsentBytes(sock), 0);
        EXPECT_EQ(closed(), std::vector<int>{sock});
        EXPECT_EQ(nm().sendDelayed(), 0);
    }
    EXPECT_TRUE(logged("NetworkManager::send(): Error! Return is -1."));
}

TEST_F(NetworkManagerTest, ASlowPeerGetsEveryByteInOrderAndAFullBacklogRefusesMessagesWhole) {
    const int sock = connectAndAccept();
    shrinkBuffers(sock, 16384);
    std::string first;
    while (first.size() < 200000) {
        first += static_cast<char>('a' + first.size() % 26);
    }
    const std::string second = "and then the end";
    ASSERT_EQ(nm().send(first.data(), static_cast<int>(first.size()), sock), 0);
    ASSERT_GT(nm().getUnsentBytes(sock), 0);
    ASSERT_EQ(nm().send(second.data(), static_cast<int>(second.size()), sock), 0);
    EXPECT_TRUE(readExactly(m_clients[0], first.size() + second.size(), true) == first + second);
    EXPECT_EQ(nm().getUnsentBytes(sock), 0);

    const std::string chunk(vl::MAX_UNSENT_BYTES / 2, 'c');
    ASSERT_EQ(nm().send(chunk.data(), static_cast<int>(chunk.size()), sock), 0);
    ASSERT_EQ(nm().send(chunk.data(), static_cast<int>(chunk.size()), sock), 0);
    const int kept = nm().getUnsentBytes(sock);
    EXPECT_EQ(nm().send(chunk.data(), static_cast<int>(chunk.size()), sock), -1);
    // Nothing of the refused message is queued; the kernel may meanwhile have taken some of the backlog.
    EXPECT_LE(nm().getUnsentBytes(sock), kept);
    EXPECT_TRUE(logged("already waiting for socket"));
    EXPECT_TRUE(nm().isConnected(sock));
}

// With networking on, the loop accepts a waiting client and sends what is due in its turn.
TEST(NetworkGameLoop, TheLoopAcceptsAndSendsDelayedMessages) {
    const std::string config = "headless:true,networking:true,frame_time:0\n";
    vltest::useTempLog(&config);
    vl::GameManager& game = vl::GameManager::getInstance();
    ASSERT_EQ(game.startUp(), 0);
    ASSERT_EQ(nm().listen(0), 0);
    const int first = vl::platform::socketConnect("127.0.0.1", nm().getPort());
    const int sock = nm().accept();
    ASSERT_EQ(nm().queueDelayed("late", 4, sock, 5), 0);
    ASSERT_GE(vl::platform::socketConnect("127.0.0.1", nm().getPort()), 0);  // for the loop to accept
    new vltest::InputProbe(10);
    game.run();
    EXPECT_EQ(nm().getConnectionCount(), 2);
    EXPECT_EQ(readExactly(first, 4), "late");
    game.shutDown();
}
