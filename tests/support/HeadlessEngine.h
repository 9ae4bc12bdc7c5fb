// SPDX-License-Identifier: MIT
// Runs the engine headless with its configuration and log in temporary files.
#pragma once

#include <string>

namespace vltest {

class HeadlessEngine {
public:
    // Points VELTRANE_CONFIG and VELTRANE_LOG at fresh temporary files; config_items are added
    // to "headless:true,networking:false,".
    explicit HeadlessEngine(const std::string& config_items = "");
    int startUp() const;      // the game manager's start-up
    void shutDown() const;    // the game manager's shut-down
    std::string log() const;  // the log file's contents so far

private:
    std::string m_log_path;
};

int countOccurrences(const std::string& text, const std::string& needle);

}  // namespace vltest
