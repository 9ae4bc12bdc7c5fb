// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "WorldFixture.h"
#include <veltrane/network/EventNetwork.h>
#include <veltrane/network/NetworkManager.h>
#include <veltrane/platform/Platform.h>

namespace {

// Notes, for each close event, whether the socket was still listed as connected.
class CloseWatcher : public vl::Object {
public:
    std::vector<bool> connected;
    CloseWatcher() { registerInterest(vl::NETWORK_CLOSE_EVENT); }
    int eventHandler(const vl::Event* p_e) override {
        const auto* p_net = dynamic_cast<const vl::EventNetwork*>(p_e);
        connected.push_back(vl::NetworkManager::getInstance().isConnected(p_net->getSocket()));
        return 1;
    }
};

}  // namespace

TEST(NetworkCloseOrder, TheEventPrecedesTheRemovalAndAFailedCloseSendsNone) {
    vltest::World world;
    vl::NetworkManager& nm = vl::NetworkManager::getInstance();
    ASSERT_EQ(nm.startUp(), 0);
    ASSERT_EQ(nm.listen(0), 0);
    auto* p_watcher = new CloseWatcher;
    const int clients[] = {vl::platform::socketConnect("127.0.0.1", nm.getPort()),
                           vl::platform::socketConnect("127.0.0.1", nm.getPort())};
    const int a = nm.accept();
    const int b = nm.accept();
    EXPECT_EQ(nm.close(a), 0);
    ::close(b);  // the descriptor is gone underneath the manager
    EXPECT_EQ(nm.close(b), -1);
    EXPECT_EQ(p_watcher->connected, std::vector<bool>{true});
    EXPECT_EQ(nm.send("x", 1, -5), -1);
    EXPECT_NE(world.log().find("isConnected(): Warning! Socket -5 not connected."), std::string::npos);
    nm.shutDown();
    ::close(clients[0]);
    ::close(clients[1]);
}
