// SPDX-License-Identifier: MIT
// The log manager writing to a fresh temporary file for the life of a test.
#pragma once

#include <string>

namespace vltest {

class TempLog {
public:
    TempLog();   // points VELTRANE_LOG at a new temporary file and starts the log manager, flushing
    ~TempLog();  // stops the log manager
    TempLog(const TempLog&) = delete;
    TempLog& operator=(const TempLog&) = delete;

    bool started() const;      // whether the log manager started
    std::string text() const;  // the log file's contents so far

private:
    std::string m_path;
    bool m_started;
};

}  // namespace vltest
