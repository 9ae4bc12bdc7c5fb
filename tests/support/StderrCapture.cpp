// SPDX-License-Identifier: MIT
#include "StderrCapture.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

#include "TestSupport.h"

namespace vltest {

StderrCapture::StderrCapture() : m_path(tempPath("stderr.txt")), m_saved_fd(-1), m_ok(false) {
    std::fflush(stderr);
    m_saved_fd = dup(STDERR_FILENO);
    const int fd = open(m_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    m_ok = m_saved_fd >= 0 && fd >= 0 && dup2(fd, STDERR_FILENO) >= 0;
    if (fd >= 0) {
        close(fd);
    }
}

StderrCapture::~StderrCapture() {
    restore();
}

std::string StderrCapture::finish() {
    restore();
    return readFile(m_path);
}

bool StderrCapture::ok() const {
    return m_ok;
}

void StderrCapture::restore() {
    if (m_saved_fd < 0) {
        return;
    }
    std::fflush(stderr);
    dup2(m_saved_fd, STDERR_FILENO);
    close(m_saved_fd);
    m_saved_fd = -1;
}

}  // namespace vltest
