// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "WorldFixture.h"
#include <veltrane/core/EventStep.h>
#include <veltrane/game/GameManager.h>
#include <veltrane/network/EventNetwork.h>
#include <veltrane/network/NetworkManager.h>
#include <veltrane/platform/Platform.h>
#include <veltrane/world/Object.h>

namespace {

const int WAIT_MS = 5000;  // only reached when something is broken

// Records every network event it is sent: type, label, socket and message.
class Listener : public vl::Object {
public:
    struct Seen {
        std::string type;
        int label;
        int socket;
        std::string message;
    };
    std::vector<Seen> seen;

    Listener() {
        registerInterest(vl::NETWORK_ACCEPT_EVENT);
        registerInterest(vl::NETWORK_CLOSE_EVENT);
        registerInterest(vl::NETWORK_EVENT);
    }
    int eventHandler(const vl::Event* p_e) override {
        const auto* p_net = dynamic_cast<const vl::EventNetwork*>(p_e);
        if (p_net == nullptr) {
            return 0;
        }
        std::string message;
        if (p_net->getMessage() != nullptr) {
            message.assign(p_net->getMessage(), static_cast<size_t>(p_net->getBytes()));
        }
        seen.push_back({p_e->getType(), p_net->getLabel(), p_net->getSocket(), message});
        return 1;
    }
    std::vector<int> socketsOf(const std::string& type) const {
        std::vector<int> sockets;
        for (const Seen& s : seen) {
            if (s.type == type) {
                sockets.push_back(s.socket);
            }
        }
        return sockets;
    }
};

// Waits for something to happen on a socket: readable data, the peer's end, or an error.
short waitOn(int sock, short events) {
    pollfd p{sock, events, 0};
    return poll(&p, 1, WAIT_MS) == 1 ? p.revents : 0;
}

// Reads exactly `bytes` bytes from a client socket, waiting as long as they take to come.
std::string readExactly(int sock, size_t bytes) {
    std::string got;
    char buffer[65536];
    while (got.size() < bytes && (waitOn(sock, POLLIN) & POLLIN) != 0) {
        const ssize_t n = recv(sock, buffer, std::min(sizeof(buffer), bytes - got.size()), 0);
        if (n <= 0) {
            break;
        }
        got.append(buffer, static_cast<size_t>(n));
    }
    return got;
}

vl::NetworkManager& nm() {
    return vl::NetworkManager::getInstance();
}

// A started network manager listening on a free port, with a listener for its events.
class NetworkManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(nm().startUp(), 0);
        ASSERT_EQ(nm().listen(0), 0);
        mp_listener = new Listener;
    }
    void TearDown() override {
        for (const int client : m_clients) {
            ::close(client);
        }
        if (nm().isStarted()) {
            nm().shutDown();
        }
    }
    bool logged(const std::string& line) const { return m_world.log().find(line) != std::string::npos; }

    // Connects a client and accepts it; returns the server side's socket.
    int connectAndAccept() {
        m_clients.push_back(vl::platform::socketConnect("127.0.0.1", nm().getPort()));
        EXPECT_GE(m_clients.back(), 0);
        const int sock = nm().accept();
        EXPECT_GE(sock, 0);
        return sock;
    }
    // Small socket buffers on both ends, so that a large message cannot go in one call.
    void shrinkBuffers(int sock, int bytes) {
        ASSERT_EQ(setsockopt(sock, SOL_SOCKET, SO_SNDBUF, &bytes, sizeof(bytes)), 0);
        ASSERT_EQ(setsockopt(m_clients.back(), SOL_SOCKET, SO_RCVBUF, &bytes, sizeof(bytes)), 0);
    }
    // The client goes away: with a reset, as when a peer crashes, or with an orderly close.
    void dropClient(bool reset) {
        linger hard{1, 0};
        if (reset) {
            ASSERT_EQ(setsockopt(m_clients.back(), SOL_SOCKET, SO_LINGER, &hard, sizeof(hard)), 0);
        }
        ::close(m_clients.back());
        m_clients.pop_back();
    }

    vltest::World m_world;
    Listener* mp_listener = nullptr;
    std::vector<int> m_clients;
};

}  // namespace

TEST_F(NetworkManagerTest, ListenAndAcceptRefuseBadRequests) {
    EXPECT_EQ(nm().listen(0), -1);
    EXPECT_TRUE(logged("NetworkManager::listen(): Error! Already listening on port"));
    nm().shutDown();
    EXPECT_EQ(nm().listen(0), -1);
    EXPECT_TRUE(logged("NetworkManager::listen(): Error! NetworkManager not started."));
    ASSERT_EQ(nm().startUp(), 0);
    EXPECT_FALSE(nm().isServer());
    EXPECT_EQ(nm().getPort(), -1);
    EXPECT_EQ(nm().accept(), -2);
    EXPECT_TRUE(logged("NetworkManager::accept(): Error! Not setup as server."));
    EXPECT_EQ(nm().listen(70000), -1);
    const int other = vl::platform::socketListen("127.0.0.1", 0, 1);
    ASSERT_GE(other, 0);
    const int taken = vl::platform::socketLocalPort(other);
    EXPECT_EQ(nm().listen(taken), -1);  // a port another socket already listens on
    EXPECT_TRUE(logged("Cannot listen on 127.0.0.1 port " + std::to_string(taken) + ":"));
    EXPECT_TRUE(logged("\t98 - "));  // the system's own text follows the code
    vl::platform::socketClose(other);
    EXPECT_FALSE(nm().isServer());
}

TEST_F(NetworkManagerTest, AcceptSendsAnEventPerConnectionUpToTheLimit) {
    EXPECT_EQ(nm().accept(), -1);  // nobody waiting, and no waiting either
    std::vector<int> sockets;
    for (int i = 0; i < vl::DEFAULT_MAX_CONNECTIONS; i++) {
        sockets.push_back(connectAndAccept());
    }
    EXPECT_EQ(nm().getConnections(), sockets);
    EXPECT_TRUE(nm().isConnected() && nm().isConnected(sockets[0]));
    EXPECT_EQ(mp_listener->socketsOf(vl::NETWORK_ACCEPT_EVENT), sockets);
    EXPECT_EQ(mp_listener->seen[0].label, vl::NETWORK_ACCEPT);
    EXPECT_FALSE(logged("accept()"));  // nothing about accepting at the default log level

    m_clients.push_back(vl::platform::socketConnect("127.0.0.1", nm().getPort()));  // waits in the backlog
    EXPECT_EQ(nm().accept(), -1);
    nm().setMaxConnections(-2);
    EXPECT_TRUE(logged("-2 is not a valid maximum"));
    EXPECT_EQ(nm().accept(), -1);
    nm().setMaxConnections(4);
    EXPECT_GE(nm().accept(), 0);
    EXPECT_EQ(nm().getConnectionCount(), 4);
}

TEST_F(NetworkManagerTest, CloseEndsOneOrEveryConnectionWithAnEventEach) {
    const int a = connectAndAccept();
    const int b = connectAndAccept();
    const int c = connectAndAccept();
    ASSERT_EQ(nm().queueDelayed("x", 1, b, 100), 0);
    EXPECT_EQ(nm().close(b), 0);
    EXPECT_EQ(nm().getConnections(), (std::vector<int>{a, c}));
    EXPECT_EQ(nm().getDelayedCount(b), 0);
    EXPECT_EQ(nm().close(b), -1);
    EXPECT_TRUE(logged("NetworkManager::close(): Error! Socket " + std::to_string(b) + " not connected."));
    ASSERT_EQ(nm().close(-1), 0);
    EXPECT_FALSE(nm().isConnected());
    EXPECT_EQ(mp_listener->socketsOf(vl::NETWORK_CLOSE_EVENT), (std::vector<int>{b, a, c}));
    EXPECT_EQ(mp_listener->seen.back().label, vl::NETWORK_CLOSE);
    char byte = 0;
    for (const int client : m_clients) {  // every client sees its connection end
        ASSERT_NE(waitOn(client, POLLIN), 0);
        EXPECT_EQ(recv(client, &byte, 1, 0), 0);
    }
}

TEST_F(NetworkManagerTest, SendAndQueueDeliverTheBytesAndRefuseWhatIsNoMessage) {
    const int sock = connectAndAccept();
    const std::string text("hello\0world", 11);
    EXPECT_EQ(nm().send(text.data(), static_cast<int>(text.size()), sock), 0);
    EXPECT_EQ(nm().send(text.data(), 0, sock), 0);
    EXPECT_EQ(readExactly(m_clients[0], text.size()), text);
    char message[] = "abc";
    ASSERT_EQ(nm().queueDelayed(message, 3, sock, 0), 0);
    message[0] = 'X';  // the manager keeps its own copy
    EXPECT_EQ(nm().sendDelayed(), 0);
    EXPECT_EQ(readExactly(m_clients[0], 3), "abc");
    EXPECT_EQ(nm().send("abc", 3, 12345), -1);
    EXPECT_TRUE(logged("NetworkManager::send(): Error! Socket 12345 not connected. Unable to send."));
    // -1 means "any connection" to isConnected, and must not reach the socket layer.
    EXPECT_EQ(nm().send("abc", 3, -1) + nm().send(nullptr, 3, sock) + nm().send("abc", -3, sock), -3);
    EXPECT_EQ(nm().queueDelayed("abc", -1, sock, 0) + nm().queueDelayed(nullptr, 3, sock, 0), -2);
    EXPECT_EQ(nm().queueDelayed("abc", 3, sock + 100, 0) + nm().queueDelayed("abc", 3, -1, 0), -2);
    EXPECT_EQ(nm().getDelayedCount(sock), 0);
    EXPECT_TRUE(nm().isConnected(sock));
    EXPECT_TRUE(mp_listener->socketsOf(vl::NETWORK_CLOSE_EVENT).empty());
}

TEST_F(NetworkManagerTest, SendToAPeerThatClosedClosesTheConnection) {
    const int sock = connectAndAccept();
    dropClient(false);
    // The first bytes still leave; the vanished peer answers them with a reset.
    EXPECT_EQ(nm().send("first", 5, sock), 0);
    ASSERT_NE(waitOn(sock, POLLERR) & (POLLERR | POLLHUP), 0);
    EXPECT_EQ(nm().send("second", 6, sock), -1);  // the process is still alive: no SIGPIPE
    EXPECT_FALSE(nm().isConnected(sock));
    EXPECT_EQ(mp_listener->socketsOf(vl::NETWORK_CLOSE_EVENT), (std::vector<int>{sock}));
    EXPECT_TRUE(logged("NetworkManager::send(): Error! Return is -1."));
}

TEST_F(NetworkManagerTest, APeerThatResetsMidSendLosesItsConnection) {
    const int sock = connectAndAccept();
    shrinkBuffers(sock, 4096);
    const std::string big(1 << 20, 'b');
    ASSERT_EQ(nm().send(big.data(), static_cast<int>(big.size()), sock), 0);
    const int kept = nm().getUnsentBytes(sock);
    EXPECT_GT(kept, 0);
    EXPECT_TRUE(logged("NetworkManager::send(): Warning! " + std::to_string(big.size() - kept) + " of " +
                       std::to_string(big.size()) + " bytes sent."));
    dropClient(true);
    ASSERT_NE(waitOn(sock, POLLERR) & (POLLERR | POLLHUP), 0);
    EXPECT_EQ(nm().sendDelayed(), -1);
    EXPECT_FALSE(nm().isConnected(sock));
    EXPECT_EQ(nm().getUnsentBytes(sock), 0);
    EXPECT_EQ(mp_listener->socketsOf(vl::NETWORK_CLOSE_EVENT), (std::vector<int>{sock}));
    EXPECT_EQ(nm().sendDelayed(), 0);
}

TEST_F(NetworkManagerTest, ASlowPeerGetsEveryByteInOrderAndAFullBacklogRefusesMessagesWhole) {
    const int sock = connectAndAccept();
    const int client = m_clients[0];
    shrinkBuffers(sock, 16384);
    std::string first(200000, '\0');
    for (size_t i = 0; i < first.size(); i++) {
        first[i] = static_cast<char>('a' + i % 26);
    }
    const std::string second = "and then the end";
    ASSERT_EQ(nm().send(first.data(), static_cast<int>(first.size()), sock), 0);
    ASSERT_GT(nm().getUnsentBytes(sock), 0);
    ASSERT_EQ(nm().send(second.data(), static_cast<int>(second.size()), sock), 0);
    // The game loop's turns push the rest out as the client reads.
    const std::string expected = first + second;
    std::string got;
    char buffer[65536];
    while (got.size() < expected.size()) {
        ASSERT_EQ(nm().sendDelayed(), 0);
        ASSERT_NE(waitOn(client, POLLIN) & POLLIN, 0) << "stalled after " << got.size() << " bytes";
        const ssize_t n = recv(client, buffer, sizeof(buffer), 0);
        ASSERT_GT(n, 0);
        got.append(buffer, static_cast<size_t>(n));
    }
    EXPECT_TRUE(got == expected);
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

TEST_F(NetworkManagerTest, ReceiveReadsWhatArrivedAndNoticesThePeerLeaving) {
    const int a = connectAndAccept();
    const int sock = connectAndAccept();
    char buffer[16] = {};
    EXPECT_EQ(nm().receive(buffer, sizeof(buffer), sock), 0);  // nothing yet, and no waiting
    ASSERT_EQ(::send(m_clients[1], "ping", 4, 0), 4);
    ASSERT_NE(waitOn(sock, POLLIN) & POLLIN, 0);
    ASSERT_EQ(nm().receive(buffer, sizeof(buffer), sock), 4);
    EXPECT_EQ(std::string(buffer, 4), "ping");
    EXPECT_EQ(nm().receive(nullptr, 4, sock), -1);
    EXPECT_EQ(nm().receive(buffer, 4, 999), -1);
    // receiveAll hands what arrived to interested objects as data events.
    ASSERT_EQ(::send(m_clients[1], "to b", 4, 0), 4);
    ASSERT_NE(waitOn(sock, POLLIN) & POLLIN, 0);
    EXPECT_EQ(nm().receiveAll(), 4);
    ASSERT_EQ(mp_listener->socketsOf(vl::NETWORK_EVENT), (std::vector<int>{sock}));
    EXPECT_EQ(mp_listener->seen.back().label, vl::NETWORK_DATA);
    EXPECT_EQ(mp_listener->seen.back().message, "to b");
    EXPECT_EQ(nm().receiveAll(), 0);

    dropClient(false);
    ASSERT_NE(waitOn(sock, POLLIN), 0);
    EXPECT_EQ(nm().receive(buffer, sizeof(buffer), sock), -1);
    EXPECT_FALSE(nm().isConnected(sock));
    EXPECT_TRUE(nm().isConnected(a));
    EXPECT_EQ(mp_listener->socketsOf(vl::NETWORK_CLOSE_EVENT), (std::vector<int>{sock}));
}

TEST_F(NetworkManagerTest, ShutDownClosesConnectionsAndTheListeningSocket) {
    const int port = nm().getPort();
    const int a = connectAndAccept();
    const int b = connectAndAccept();
    nm().shutDown();
    EXPECT_FALSE(nm().isServer() || nm().isConnected());
    EXPECT_EQ(mp_listener->socketsOf(vl::NETWORK_CLOSE_EVENT), (std::vector<int>{a, b}));
    ASSERT_EQ(nm().startUp(), 0);
    EXPECT_EQ(nm().listen(port), 0);  // address reuse lets a restarted server take the same port at once
}

namespace {

// Queues messages when its connection is accepted and notes, at each step event, how many wait.
class Scheduler : public vl::Object {
public:
    int sock = -1;
    std::vector<int> waiting;  // queued messages at the start of each step

    Scheduler() {
        registerInterest(vl::STEP_EVENT);
        registerInterest(vl::NETWORK_ACCEPT_EVENT);
    }
    int eventHandler(const vl::Event* p_e) override {
        if (p_e->getType() == vl::NETWORK_ACCEPT_EVENT) {
            sock = dynamic_cast<const vl::EventNetwork*>(p_e)->getSocket();
            nm().queueDelayed("a", 1, sock, 0);
            nm().queueDelayed("b", 1, sock, 10);
            nm().queueDelayed("c", 1, sock, 10);
            nm().queueDelayed("d", 1, sock, 11);
            return 1;
        }
        const auto* p_step = dynamic_cast<const vl::EventStep*>(p_e);
        if (p_step == nullptr) {
            return 0;
        }
        waiting.push_back(nm().getDelayedCount(sock));
        if (p_step->getStepCount() == 12) {
            vl::GameManager::getInstance().setGameOver();
        }
        return 1;
    }
};

}  // namespace

TEST(NetworkGameLoop, DelayedMessagesLeaveAtTheirStep) {
    const std::string config = vltest::tempPath("vl-config.txt");
    ASSERT_TRUE(vltest::writeFile(config, "headless:true,networking:true,frame_time:0\n"));
    setenv("VELTRANE_CONFIG", config.c_str(), 1);
    setenv("VELTRANE_LOG", vltest::tempPath("loop.log").c_str(), 1);
    vl::GameManager& game = vl::GameManager::getInstance();
    ASSERT_EQ(game.startUp(), 0);
    ASSERT_EQ(nm().listen(0), 0);
    const int client = vl::platform::socketConnect("127.0.0.1", nm().getPort());  // accepted in turn one
    ASSERT_GE(client, 0);
    auto* p_scheduler = new Scheduler;
    game.run();
    // Step 0 accepts and sends "a" at once; "b" and "c" go in the turn of step 10, "d" in step 11's.
    const std::vector<int> expected = {0, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 1, 0};
    EXPECT_EQ(p_scheduler->waiting, expected);
    EXPECT_EQ(readExactly(client, 4), "abcd");
    ::close(client);
    game.shutDown();
}
