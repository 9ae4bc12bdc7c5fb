// SPDX-License-Identifier: MIT
// Calls a function with the step count at each step event, for tests that act or check mid-run.
#pragma once

#include <cstdlib>
#include <functional>
#include <utility>

#include <veltrane/core/EventStep.h>
#include <veltrane/world/Object.h>

namespace vltest {

class StepWatcher : public vl::Object {
public:
    explicit StepWatcher(std::function<void(int)> on_step) : m_on_step(std::move(on_step)) {
        setSolidness(vl::SPECTRAL);
        if (registerInterest(vl::STEP_EVENT) != 0) {
            std::abort();  // a watcher that hears no steps would let a test wait forever
        }
    }
    int eventHandler(const vl::Event* p_e) override {
        m_on_step(static_cast<const vl::EventStep*>(p_e)->getStepCount());
        return 1;
    }

private:
    std::function<void(int)> m_on_step;
};

}  // namespace vltest
