// SPDX-License-Identifier: MIT
// Helpers shared by the test executables: whole-file reads and writes, unique
// temporary paths, and paths into the source tree (tests/data).
#pragma once

#include <string>

namespace vltest {

std::string readFile(const std::string& path);  // whole file as bytes; "" when it cannot be read
bool writeFile(const std::string& path, const std::string& contents);  // replaces the file; true on success
std::string tempPath(const std::string& name);  // unique path in the temp dir ending in name; not created,
                                                // removed at exit unless VLTEST_KEEP_TEMP is set
std::string sourcePath(const std::string& relative);  // path of a file relative to the repository root
std::string dataPath(const std::string& relative);    // path of a file relative to tests/data
// Points VELTRANE_LOG, and VELTRANE_CONFIG if config_text is given, at fresh temporary files; returns
// the log's path. Every fixture that needs a log of its own starts here.
std::string useTempLog(const std::string* p_config_text = nullptr);
// The X id of the visible window titled exactly title, once it shows (at most 20 s); "" if it never does.
std::string waitForWindow(const std::string& title);

}  // namespace vltest
