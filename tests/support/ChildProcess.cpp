// SPDX-License-Identifier: MIT
#include "ChildProcess.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>

namespace vltest {

namespace {

int waitFor(pid_t pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            return -1;
        }
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

ForkedChild::ForkedChild(const std::function<int()>& body) : m_pid(-1), m_go_fd(-1) {
    int fds[2];
    if (pipe(fds) != 0) {
        return;
    }
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[1]);
        char byte = 0;
        ssize_t got = 0;
        do {
            got = read(fds[0], &byte, 1);
        } while (got < 0 && errno == EINTR);
        close(fds[0]);
        // Nothing to read means the parent gave up on the child.
        const int status = got == 1 ? body() : 3;
        std::fflush(nullptr);
        _exit(status);
    }
    close(fds[0]);
    if (pid < 0) {
        close(fds[1]);
        return;
    }
    m_pid = pid;
    m_go_fd = fds[1];
}

ForkedChild::~ForkedChild() {
    if (m_pid > 0) {
        kill(m_pid, SIGKILL);
        waitFor(m_pid);
    }
    if (m_go_fd >= 0) {
        close(m_go_fd);
    }
}

int ForkedChild::release() {
    if (m_pid <= 0) {
        return -1;
    }
    const char byte = 1;
    const bool sent = write(m_go_fd, &byte, 1) == 1;
    close(m_go_fd);
    m_go_fd = -1;
    const int status = waitFor(m_pid);
    m_pid = -1;
    return sent ? status : -1;
}

int runInChildProcess(const std::function<int()>& body) {
    return ForkedChild(body).release();
}

}  // namespace vltest
