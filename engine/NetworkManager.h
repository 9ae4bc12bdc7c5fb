// SPDX-License-Identifier: MIT
// TCP connections for games that talk over the network.
#ifndef VL_NETWORK_MANAGER_H
#define VL_NETWORK_MANAGER_H


#include "Manager.h"

namespace vl {

class NetworkManager : public Manager {
  public:
    static NetworkManager& getInstance();
    int startUp() override;
    void shutDown() override;
    bool isValid(std::string event_type) const override;  // the network event types
    bool isServer() const;
    int accept();
    bool isConnected(int sock = -1) const;
    int sendDelayed();

  private:
    NetworkManager();
};

} // namespace vl

#endif
