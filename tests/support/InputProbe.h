// SPDX-License-Identifier: MIT
// An object that notes, and logs, every keyboard, mouse and step event it is sent.
#pragma once

#include <string>
#include <vector>

#include <veltrane/world/Object.h>

namespace vltest {

class InputProbe : public vl::Object {
public:
    // Registers for keyboard, mouse and step events. At safety_step (if >= 0) it sets game over, so a
    // run that never ends otherwise stops; it logs "Probe: safety stop" when it does.
    explicit InputProbe(int safety_step = -1);
    int eventHandler(const vl::Event* p_e) override;

    // Input events received, without the step ("key pressed A", "mouse moved UNDEFINED_MOUSE_BUTTON 10 5").
    std::vector<std::string> input;
    int last_step;  //!< of the last step event; -1 before one

private:
    int m_safety_step;
};

// Describes an input event with all its fields; "" for other events.
std::string describeInput(const vl::Event* p_e);

}  // namespace vltest
