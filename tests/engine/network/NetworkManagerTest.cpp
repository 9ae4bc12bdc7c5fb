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
#include <veltrane/core/EventStep.h>
#include <veltrane/core/LogManager.h>
#include <veltrane/game/GameManager.h>
#include <veltrane/network/EventNetwork.h>
#include <veltrane/network/NetworkManager.h>
#include <veltrane/platform/Platform.h>
#include <veltrane/world/Object.h>
#include <veltrane/world/WorldManager.h>

namespace {

const int WAIT_MS = 5000;  // only reached when something is broken

struct Seen {
    std::string type;
    int label;
    int socket;
    std::string message;
};

// Records every network event it is sent.
class Listener : public vl::Object {
public:
    std::vector<Seen> seen;
    std::vector<int> close_on_accept;  // sockets this listener closes from its accept handler

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
    if (poll(&p, 1, WAIT_MS) != 1) {
        return 0;
    }
    return p.revents;
}

// Reads exactly `bytes` bytes from a blocking client socket, waiting as long as they take to come.
std::string readExactly(int sock, size_t bytes) {
    std::string got;
    char buffer[65536];
    while (got.size() < bytes) {
        if ((waitOn(sock, POLLIN) & POLLIN) == 0) {
            break;
        }
        const ssize_t n = recv(sock, buffer, std::min(sizeof(buffer), bytes - got.size()), 0);
        if (n <= 0) {
            break;
        }
        got.append(buffer, static_cast<size_t>(n));
    }
    return got;
}

class NetworkManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_log_path = vltest::tempPath("network.log");
        setenv("VELTRANE_LOG", m_log_path.c_str(), 1);
        ASSERT_EQ(vl::LogManager::getInstance().startUp(), 0);
        vl::LogManager::getInstance().setFlush(true);
        ASSERT_EQ(vl::WorldManager::getInstance().startUp(), 0);
        ASSERT_EQ(nm().startUp(), 0);
        mp_listener = new Listener;
    }

    void TearDown() override {
        for (const int client : m_clients) {
            ::close(client);
        }
        if (nm().isStarted()) {
            nm().shutDown();
        }
        vl::WorldManager::getInstance().shutDown();
        vl::LogManager::getInstance().shutDown();
    }

    static vl::NetworkManager& nm() { return vl::NetworkManager::getInstance(); }
    std::string log() const { return vltest::readFile(m_log_path); }

    // A client connected to the manager's listening socket; closed at the end of the test.
    int connectClient() {
        const int client = vl::platform::socketConnect("127.0.0.1", nm().getPort());
        EXPECT_GE(client, 0) << vl::platform::errorText(vl::platform::lastError());
        m_clients.push_back(client);
        return client;
    }

    // Connects a client and accepts it; returns the server side's socket.
    int connectAndAccept() {
        connectClient();
        const int sock = nm().accept();
        EXPECT_GE(sock, 0);
        return sock;
    }

    // The client end stops with a reset instead of an orderly close, as when a peer crashes.
    void resetClient(int client) {
        linger hard{1, 0};
        ASSERT_EQ(setsockopt(client, SOL_SOCKET, SO_LINGER, &hard, sizeof(hard)), 0);
        ::close(client);
        m_clients.erase(std::find(m_clients.begin(), m_clients.end(), client));
    }

    Listener* mp_listener = nullptr;
    std::vector<int> m_clients;

private:
    std::string m_log_path;
};

}  // namespace

TEST_F(NetworkManagerTest, IsValidForTheElevenNetworkTypesOnly) {
    for (const std::string& type :
         {vl::NETWORK_EVENT, vl::KEYBOARD_NETWORK_EVENT, vl::MSE_NETWORK_EVENT, vl::NETWORK_ACCEPT_EVENT,
          vl::NETWORK_CONNECT_EVENT, vl::NETWORK_CLOSE_EVENT, vl::NETWORK_CREATE_EVENT,
          vl::CUSTOM_NETWORK_EVENT, vl::NETWORK_DELETE_EVENT, vl::NETWORK_GAME_OVER_EVENT,
          vl::NETWORK_SYNC_EVENT}) {
        EXPECT_TRUE(nm().isValid(type)) << type;
    }
    EXPECT_EQ(log().find("does not handle"), std::string::npos);
    EXPECT_FALSE(nm().isValid(vl::STEP_EVENT));
    EXPECT_NE(log().find("NetworkManager::isValid(): Error! NetworkManager does not handle vl-step."),
              std::string::npos);
}

TEST_F(NetworkManagerTest, StartUpTwiceIsRefused) {
    EXPECT_EQ(nm().startUp(), -1);
    EXPECT_NE(log().find("NetworkManager::startup(): Warning! NetworkManager already started."),
              std::string::npos);
    EXPECT_TRUE(nm().isStarted());
}

TEST_F(NetworkManagerTest, WithoutListeningSocketItIsNoServer) {
    EXPECT_FALSE(nm().isServer());
    EXPECT_EQ(nm().getPort(), -1);
    EXPECT_EQ(nm().accept(), -2);
    EXPECT_NE(log().find("NetworkManager::accept(): Error! Not setup as server."), std::string::npos);
    EXPECT_FALSE(nm().isConnected());
}

TEST_F(NetworkManagerTest, ListenRefusesBadRequests) {
    nm().shutDown();
    EXPECT_EQ(nm().listen(0), -1);
    EXPECT_NE(log().find("NetworkManager::listen(): Error! NetworkManager not started."), std::string::npos);
    ASSERT_EQ(nm().startUp(), 0);

    EXPECT_EQ(nm().listen(0, "300.0.0.1"), -1);
    EXPECT_NE(log().find("NetworkManager::listen(): Error! Cannot listen on 300.0.0.1 port 0:"),
              std::string::npos);
    EXPECT_EQ(nm().listen(70000), -1);
    EXPECT_FALSE(nm().isServer());

    // A port another socket already listens on.
    const int other = vl::platform::socketListen("127.0.0.1", 0, 1);
    ASSERT_GE(other, 0);
    const int taken = vl::platform::socketLocalPort(other);
    EXPECT_EQ(nm().listen(taken), -1);
    EXPECT_NE(log().find("Cannot listen on 127.0.0.1 port " + std::to_string(taken) + ":"),
              std::string::npos);
    EXPECT_NE(log().find("\t98 - "), std::string::npos);  // the system's own text follows the code
    vl::platform::socketClose(other);

    ASSERT_EQ(nm().listen(0), 0);
    EXPECT_TRUE(nm().isServer());
    EXPECT_EQ(nm().listen(0), -1);
    EXPECT_NE(log().find("NetworkManager::listen(): Error! Already listening on port"), std::string::npos);
}

TEST_F(NetworkManagerTest, AcceptSendsAnAcceptEventPerConnection) {
    ASSERT_EQ(nm().listen(0), 0);
    EXPECT_EQ(nm().accept(), -1);  // nobody waiting, and no waiting either
    const int first = connectAndAccept();
    const int second = connectAndAccept();
    EXPECT_NE(first, second);
    EXPECT_EQ(nm().getConnections(), (std::vector<int>{first, second}));
    EXPECT_TRUE(nm().isConnected());
    EXPECT_TRUE(nm().isConnected(first));
    EXPECT_EQ(mp_listener->socketsOf(vl::NETWORK_ACCEPT_EVENT), (std::vector<int>{first, second}));
    ASSERT_EQ(mp_listener->seen.size(), 2u);
    EXPECT_EQ(mp_listener->seen[0].label, vl::NETWORK_ACCEPT);
    EXPECT_EQ(nm().accept(), -1);
    // Nothing about accepting is written at the default log level.
    EXPECT_EQ(log().find("accept()"), std::string::npos);
}

TEST_F(NetworkManagerTest, AcceptStopsAtTheConnectionLimit) {
    ASSERT_EQ(nm().listen(0), 0);
    EXPECT_EQ(nm().getMaxConnections(), 3);
    for (int i = 0; i < 3; i++) {
        connectAndAccept();
    }
    connectClient();  // waits in the listening socket's backlog
    EXPECT_EQ(nm().accept(), -1);
    EXPECT_EQ(nm().getConnectionCount(), 3);
    EXPECT_EQ(log().find("connetions since at max"), std::string::npos);  // level 20 only

    nm().setMaxConnections(-2);
    EXPECT_EQ(nm().getMaxConnections(), 3);
    EXPECT_NE(log().find("-2 is not a valid maximum"), std::string::npos);
    nm().setMaxConnections(4);
    const int fourth = nm().accept();
    EXPECT_GE(fourth, 0);
    EXPECT_EQ(nm().getConnectionCount(), 4);
    EXPECT_EQ(mp_listener->socketsOf(vl::NETWORK_ACCEPT_EVENT).size(), 4u);
}

TEST_F(NetworkManagerTest, CloseAllClosesEveryConnectionWithAnEventEach) {
    ASSERT_EQ(nm().listen(0), 0);
    nm().setMaxConnections(4);
    std::vector<int> sockets;
    for (int i = 0; i < 4; i++) {
        sockets.push_back(connectAndAccept());
    }
    ASSERT_EQ(nm().close(-1), 0);
    EXPECT_FALSE(nm().isConnected());
    EXPECT_EQ(nm().getConnectionCount(), 0);
    EXPECT_EQ(mp_listener->socketsOf(vl::NETWORK_CLOSE_EVENT), sockets);
    for (const Seen& s : mp_listener->seen) {
        if (s.type == vl::NETWORK_CLOSE_EVENT) {
            EXPECT_EQ(s.label, vl::NETWORK_CLOSE);
        }
    }
    // Every client sees its connection end.
    char byte = 0;
    for (const int client : m_clients) {
        ASSERT_NE(waitOn(client, POLLIN), 0);
        EXPECT_EQ(recv(client, &byte, 1, 0), 0);
    }
}

TEST_F(NetworkManagerTest, CloseOneKeepsTheOthersInOrder) {
    ASSERT_EQ(nm().listen(0), 0);
    const int a = connectAndAccept();
    const int b = connectAndAccept();
    const int c = connectAndAccept();
    ASSERT_EQ(nm().queueDelayed("x", 1, b, 100), 0);
    EXPECT_EQ(nm().close(b), 0);
    EXPECT_EQ(nm().getConnections(), (std::vector<int>{a, c}));
    EXPECT_EQ(mp_listener->socketsOf(vl::NETWORK_CLOSE_EVENT), (std::vector<int>{b}));
    EXPECT_EQ(nm().getDelayedCount(b), 0);

    EXPECT_EQ(nm().close(b), -1);
    EXPECT_NE(log().find("NetworkManager::close(): Error! Socket " + std::to_string(b) + " not connected."),
              std::string::npos);
    EXPECT_EQ(mp_listener->socketsOf(vl::NETWORK_CLOSE_EVENT).size(), 1u);
}

TEST_F(NetworkManagerTest, SendDeliversTheBytes) {
    ASSERT_EQ(nm().listen(0), 0);
    const int sock = connectAndAccept();
    const std::string text("hello\0world", 11);
    EXPECT_EQ(nm().send(text.data(), static_cast<int>(text.size()), sock), 0);
    EXPECT_EQ(nm().send(text.data(), 0, sock), 0);
    EXPECT_EQ(readExactly(m_clients[0], text.size()), text);
    EXPECT_EQ(nm().getUnsentBytes(sock), 0);
}

TEST_F(NetworkManagerTest, SendToASocketThatIsNoConnectionFails) {
    ASSERT_EQ(nm().listen(0), 0);
    const int sock = connectAndAccept();
    EXPECT_EQ(nm().send("abc", 3, 12345), -1);
    const std::string text = log();
    const size_t warning = text.find("NetworkManager::isConnected(): Warning! Socket 12345 not connected.");
    const size_t error =
        text.find("NetworkManager::send(): Error! Socket 12345 not connected. Unable to send.");
    ASSERT_NE(warning, std::string::npos);
    ASSERT_NE(error, std::string::npos);
    EXPECT_LT(warning, error);

    // -1 means "any connection" to isConnected, and must not reach the socket layer.
    EXPECT_EQ(nm().send("abc", 3, -1), -1);
    EXPECT_TRUE(nm().isConnected(sock));
    EXPECT_EQ(nm().send(nullptr, 3, sock), -1);
    EXPECT_EQ(nm().send("abc", -3, sock), -1);
    EXPECT_TRUE(nm().isConnected(sock));
    EXPECT_TRUE(mp_listener->socketsOf(vl::NETWORK_CLOSE_EVENT).empty());
}

TEST_F(NetworkManagerTest, SendToAPeerThatClosedClosesTheConnection) {
    ASSERT_EQ(nm().listen(0), 0);
    const int sock = connectAndAccept();
    const int client = m_clients[0];
    ::close(client);
    m_clients.clear();
    // The first bytes still leave; the vanished peer answers them with a reset.
    EXPECT_EQ(nm().send("first", 5, sock), 0);
    ASSERT_NE(waitOn(sock, POLLERR) & (POLLERR | POLLHUP), 0);
    EXPECT_EQ(nm().send("second", 6, sock), -1);  // the process is still alive: no SIGPIPE
    EXPECT_FALSE(nm().isConnected(sock));
    EXPECT_EQ(mp_listener->socketsOf(vl::NETWORK_CLOSE_EVENT), (std::vector<int>{sock}));
    EXPECT_NE(log().find("NetworkManager::send(): Error! Return is -1."), std::string::npos);
}

TEST_F(NetworkManagerTest, APeerThatResetsMidSendLosesItsConnection) {
    ASSERT_EQ(nm().listen(0), 0);
    const int sock = connectAndAccept();
    // Small buffers, so that a large message cannot go in one call.
    const int small = 4096;
    ASSERT_EQ(setsockopt(sock, SOL_SOCKET, SO_SNDBUF, &small, sizeof(small)), 0);
    ASSERT_EQ(setsockopt(m_clients[0], SOL_SOCKET, SO_RCVBUF, &small, sizeof(small)), 0);
    const std::string big(1 << 20, 'b');
    ASSERT_EQ(nm().send(big.data(), static_cast<int>(big.size()), sock), 0);
    const int kept = nm().getUnsentBytes(sock);
    EXPECT_GT(kept, 0);
    EXPECT_NE(log().find("NetworkManager::send(): Warning! " + std::to_string(big.size() - kept) + " of " +
                         std::to_string(big.size()) + " bytes sent."),
              std::string::npos);

    resetClient(m_clients[0]);
    ASSERT_NE(waitOn(sock, POLLERR) & (POLLERR | POLLHUP), 0);
    EXPECT_EQ(nm().sendDelayed(), -1);
    EXPECT_FALSE(nm().isConnected(sock));
    EXPECT_EQ(nm().getUnsentBytes(sock), 0);
    EXPECT_EQ(mp_listener->socketsOf(vl::NETWORK_CLOSE_EVENT), (std::vector<int>{sock}));
    EXPECT_EQ(nm().sendDelayed(), 0);
}

TEST_F(NetworkManagerTest, ASlowPeerGetsEveryByteInOrder) {
    ASSERT_EQ(nm().listen(0), 0);
    const int sock = connectAndAccept();
    const int client = m_clients[0];
    const int small = 16384;
    ASSERT_EQ(setsockopt(sock, SOL_SOCKET, SO_SNDBUF, &small, sizeof(small)), 0);
    ASSERT_EQ(setsockopt(client, SOL_SOCKET, SO_RCVBUF, &small, sizeof(small)), 0);
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
}

TEST_F(NetworkManagerTest, AnOverfullBacklogRefusesNewMessagesWhole) {
    ASSERT_EQ(nm().listen(0), 0);
    const int sock = connectAndAccept();
    const int small = 4096;
    ASSERT_EQ(setsockopt(sock, SOL_SOCKET, SO_SNDBUF, &small, sizeof(small)), 0);
    ASSERT_EQ(setsockopt(m_clients[0], SOL_SOCKET, SO_RCVBUF, &small, sizeof(small)), 0);
    const std::string chunk(vl::MAX_UNSENT_BYTES / 2, 'c');
    ASSERT_EQ(nm().send(chunk.data(), static_cast<int>(chunk.size()), sock), 0);
    ASSERT_EQ(nm().send(chunk.data(), static_cast<int>(chunk.size()), sock), 0);
    const int kept = nm().getUnsentBytes(sock);
    EXPECT_EQ(nm().send(chunk.data(), static_cast<int>(chunk.size()), sock), -1);
    EXPECT_EQ(nm().getUnsentBytes(sock), kept);
    EXPECT_NE(log().find("already waiting for socket"), std::string::npos);
    EXPECT_TRUE(nm().isConnected(sock));
}

TEST_F(NetworkManagerTest, ReceiveReadsWhatArrivedAndNoticesThePeerLeaving) {
    ASSERT_EQ(nm().listen(0), 0);
    const int sock = connectAndAccept();
    const int client = m_clients[0];
    char buffer[16] = {};
    EXPECT_EQ(nm().receive(buffer, sizeof(buffer), sock), 0);  // nothing yet, and no waiting

    ASSERT_EQ(::send(client, "ping", 4, 0), 4);
    ASSERT_NE(waitOn(sock, POLLIN) & POLLIN, 0);
    ASSERT_EQ(nm().receive(buffer, sizeof(buffer), sock), 4);
    EXPECT_EQ(std::string(buffer, 4), "ping");
    EXPECT_EQ(nm().receive(nullptr, 4, sock), -1);
    EXPECT_EQ(nm().receive(buffer, 4, 999), -1);

    ::close(client);
    m_clients.clear();
    ASSERT_NE(waitOn(sock, POLLIN), 0);
    EXPECT_EQ(nm().receive(buffer, sizeof(buffer), sock), -1);
    EXPECT_FALSE(nm().isConnected(sock));
    EXPECT_EQ(mp_listener->socketsOf(vl::NETWORK_CLOSE_EVENT), (std::vector<int>{sock}));
}

TEST_F(NetworkManagerTest, ReceiveAllHandsTheBytesToInterestedObjects) {
    ASSERT_EQ(nm().listen(0), 0);
    const int a = connectAndAccept();
    const int b = connectAndAccept();
    ASSERT_EQ(::send(m_clients[1], "to b", 4, 0), 4);
    ASSERT_NE(waitOn(b, POLLIN) & POLLIN, 0);
    EXPECT_EQ(nm().receiveAll(), 4);
    const std::vector<int> data_from = mp_listener->socketsOf(vl::NETWORK_EVENT);
    ASSERT_EQ(data_from, (std::vector<int>{b}));
    const Seen& data = mp_listener->seen.back();
    EXPECT_EQ(data.label, vl::NETWORK_DATA);
    EXPECT_EQ(data.message, "to b");
    EXPECT_EQ(nm().receiveAll(), 0);
    EXPECT_TRUE(nm().isConnected(a));
}

TEST_F(NetworkManagerTest, QueueDelayedRefusesBadMessages) {
    ASSERT_EQ(nm().listen(0), 0);
    const int sock = connectAndAccept();
    EXPECT_EQ(nm().queueDelayed("abc", -1, sock, 0), -1);
    EXPECT_EQ(nm().queueDelayed(nullptr, 3, sock, 0), -1);
    EXPECT_EQ(nm().queueDelayed("abc", 3, sock + 100, 0), -1);
    EXPECT_EQ(nm().queueDelayed("abc", 3, -1, 0), -1);
    EXPECT_EQ(nm().getDelayedCount(sock), 0);
    // The manager keeps its own copy: the caller's buffer may change at once.
    char message[] = "abc";
    ASSERT_EQ(nm().queueDelayed(message, 3, sock, 0), 0);
    message[0] = 'X';
    EXPECT_EQ(nm().sendDelayed(), 0);
    EXPECT_EQ(readExactly(m_clients[0], 3), "abc");
}

TEST_F(NetworkManagerTest, ShutDownClosesConnectionsAndTheListeningSocket) {
    ASSERT_EQ(nm().listen(0), 0);
    const int port = nm().getPort();
    const int a = connectAndAccept();
    const int b = connectAndAccept();
    nm().shutDown();
    EXPECT_FALSE(nm().isServer());
    EXPECT_FALSE(nm().isConnected());
    EXPECT_EQ(mp_listener->socketsOf(vl::NETWORK_CLOSE_EVENT), (std::vector<int>{a, b}));
    // Address reuse lets a restarted server take the same port at once.
    ASSERT_EQ(nm().startUp(), 0);
    EXPECT_EQ(nm().listen(port), 0);
    EXPECT_EQ(nm().getPort(), port);
}

TEST(EventNetwork, LabelsOutsideTheKnownKindsBecomeUndefined) {
    const std::string log_path = vltest::tempPath("event.log");
    setenv("VELTRANE_LOG", log_path.c_str(), 1);
    ASSERT_EQ(vl::LogManager::getInstance().startUp(), 0);
    vl::LogManager::getInstance().setFlush(true);

    const vl::EventNetwork bad(7);
    EXPECT_EQ(bad.getLabel(), vl::NETWORK_UNDEFINED);
    const vl::EventNetwork low(-2);
    EXPECT_EQ(low.getLabel(), vl::NETWORK_UNDEFINED);

    vl::LogManager::getInstance().shutDown();
    const std::string text = vltest::readFile(log_path);
    EXPECT_NE(text.find("EventNetwork::setLabel(): Undefined type (7)."), std::string::npos);
    EXPECT_NE(text.find("EventNetwork::setLabel(): Undefined type (-2)."), std::string::npos);
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
        vl::NetworkManager& nm = vl::NetworkManager::getInstance();
        if (p_e->getType() == vl::NETWORK_ACCEPT_EVENT) {
            sock = dynamic_cast<const vl::EventNetwork*>(p_e)->getSocket();
            nm.queueDelayed("a", 1, sock, 0);
            nm.queueDelayed("b", 1, sock, 10);
            nm.queueDelayed("c", 1, sock, 10);
            nm.queueDelayed("d", 1, sock, 11);
            return 1;
        }
        const auto* p_step = dynamic_cast<const vl::EventStep*>(p_e);
        if (p_step == nullptr) {
            return 0;
        }
        waiting.push_back(nm.getDelayedCount(sock));
        if (p_step->getStepCount() == 12) {
            vl::GameManager::getInstance().setGameOver();
        }
        return 1;
    }
};

}  // namespace

TEST(NetworkGameLoop, DelayedMessagesLeaveAtTheirStep) {
    const std::string config = vltest::tempPath("vl-config.txt");
    const std::string log_path = vltest::tempPath("loop.log");
    ASSERT_TRUE(vltest::writeFile(config, "headless:true,networking:true,frame_time:0\n"));
    setenv("VELTRANE_CONFIG", config.c_str(), 1);
    setenv("VELTRANE_LOG", log_path.c_str(), 1);
    vl::GameManager& game = vl::GameManager::getInstance();
    ASSERT_EQ(game.startUp(), 0);
    vl::NetworkManager& nm = vl::NetworkManager::getInstance();
    ASSERT_TRUE(nm.isStarted());
    ASSERT_EQ(nm.listen(0), 0);
    // The loop accepts it in its first turn.
    const int client = vl::platform::socketConnect("127.0.0.1", nm.getPort());
    ASSERT_GE(client, 0);
    auto* p_scheduler = new Scheduler;
    game.run();

    ASSERT_GE(p_scheduler->sock, 0);
    // Step 0 accepts and sends "a" at once; "b" and "c" go in the turn of step 10, "d" in step 11's.
    const std::vector<int> expected = {0, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 1, 0};
    EXPECT_EQ(p_scheduler->waiting, expected);
    EXPECT_EQ(readExactly(client, 4), "abcd");
    ::close(client);
    game.shutDown();
    EXPECT_NE(vltest::readFile(log_path).find("** Game engine stopped **"), std::string::npos);
}
