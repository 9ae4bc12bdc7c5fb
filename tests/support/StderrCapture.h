// SPDX-License-Identifier: MIT
// Redirects the process's standard error into a temporary file for a test's checks.
#pragma once

#include <string>

namespace vltest {

class StderrCapture {
public:
    StderrCapture();       // starts capturing
    ~StderrCapture();      // restores standard error if finish was not called
    std::string finish();  // restores standard error and returns what was captured
    bool ok() const;       // whether the redirection worked

private:
    void restore();

    std::string m_path;
    int m_saved_fd;
    bool m_ok;
};

}  // namespace vltest
