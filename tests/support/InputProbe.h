// SPDX-License-Identifier: MIT
// An object that logs every keyboard, mouse and step event it is sent.
#pragma once

#include <veltrane/world/Object.h>

namespace vltest {

class InputProbe : public vl::Object {
public:
    // Registers for keyboard, mouse and step events. At safety_step (if >= 0) it sets game over, so a
    // run that never ends otherwise stops; it logs "Probe: safety stop" when it does.
    explicit InputProbe(int safety_step = -1);
    int eventHandler(const vl::Event* p_e) override;

    int last_step;  //!< of the last step event; -1 before one

private:
    int m_safety_step;
};

// Starts the game as the environment configures it, runs it with an InputProbe(safety_step) and shuts it
// down: 0, or 2 when it does not start. The body of a child process that replays or records.
int runProbedGame(int safety_step);

}  // namespace vltest
