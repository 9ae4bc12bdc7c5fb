// SPDX-License-Identifier: MIT
// Owns sprites, sounds and music, found by label.
#ifndef VL_RESOURCE_MANAGER_H
#define VL_RESOURCE_MANAGER_H

#include "Manager.h"

namespace vl {

class ResourceManager : public Manager {
public:
    static ResourceManager& getInstance();
    int startUp() override;
    void shutDown() override;

private:
    ResourceManager();
};

}  // namespace vl

#endif
