// SPDX-License-Identifier: MIT
// Runs part of a test in a forked child, so that it starts the engine's singletons afresh.
#pragma once

#include <functional>

namespace vltest {

// Forks; the child runs body and exits with its result without running the parent's exit handlers.
// Fork before the parent starts anything (threads, windows, managers): the child copies the parent.
// Returns the child's exit status, or -1 when it could not start, or died from a signal.
int runInChildProcess(const std::function<int()>& body);

// A child forked at construction that waits, doing nothing, until release(): lets a test fork while
// the process is still fresh and use the child later, after the parent has started things.
class ForkedChild {
public:
    explicit ForkedChild(const std::function<int()>& body);
    ~ForkedChild();  // kills a child never released
    int release();   // runs the body in the child and waits; its exit status, or -1 as above

private:
    ForkedChild(const ForkedChild&) = delete;
    ForkedChild& operator=(const ForkedChild&) = delete;

    int m_pid;
    int m_go_fd;  //!< write end of the pipe the child waits on
};

}  // namespace vltest
