// SPDX-License-Identifier: MIT
// Turns window input into keyboard and mouse events for interested objects.
#ifndef VL_INPUT_MANAGER_H
#define VL_INPUT_MANAGER_H

#include "Manager.h"

namespace vl {

class InputManager : public Manager {
public:
    static InputManager& getInstance();
    int startUp() override;
    void shutDown() override;
    bool isValid(std::string event_type) const override;  // keyboard and mouse
    void getInput();                                      // window events become keyboard and mouse events

private:
    InputManager();
};

}  // namespace vl

#endif
