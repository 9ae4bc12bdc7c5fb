// SPDX-License-Identifier: MIT
// Runs part of a test in a forked child, so that it starts the engine's singletons afresh.
#pragma once

#include <functional>

namespace vltest {

// Forks; the child runs body and exits with its result without running the parent's exit handlers.
// Fork before the parent starts anything (threads, windows, managers): the child copies the parent.
// Returns the child's exit status, or -1 when it could not start, or died from a signal.
int runInChildProcess(const std::function<int()>& body);

}  // namespace vltest
