// SPDX-License-Identifier: MIT
#include "TestSupport.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#ifndef VL_SOURCE_DIR
#error "VL_SOURCE_DIR must name the repository root"
#endif

namespace vltest {

namespace {

// One private directory per process keeps parallel test processes apart; removed at exit by its
// creator only, so a forked child that exits leaves it to the parent.
class TempDirectory {
public:
    TempDirectory() {
        std::string pattern = (std::filesystem::temp_directory_path() / "vltest-XXXXXX").string();
        m_path = mkdtemp(pattern.data()) != nullptr ? pattern : "/tmp";
    }
    ~TempDirectory() {
        if (m_path != "/tmp" && m_owner == ::getpid() && std::getenv("VLTEST_KEEP_TEMP") == nullptr) {
            std::error_code ignored;
            std::filesystem::remove_all(m_path, ignored);
        }
    }
    std::string m_path;
    pid_t m_owner = ::getpid();
};

}  // namespace

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return "";
    }
    std::ostringstream contents;
    contents << in.rdbuf();
    return contents.str();
}

bool writeFile(const std::string& path, const std::string& contents) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
        return false;
    }
    out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
    return static_cast<bool>(out.flush());
}

std::string tempPath(const std::string& name) {
    static TempDirectory s_directory;
    static std::atomic<unsigned> s_counter{0};
    std::string safe_name = name;
    std::replace(safe_name.begin(), safe_name.end(), '/', '_');
    return s_directory.m_path + "/" + std::to_string(s_counter++) + "-" + safe_name;
}

std::string useTempLog(const std::string* p_config_text) {
    if (p_config_text != nullptr) {
        const std::string config_path = tempPath("vl-config.txt");
        writeFile(config_path, *p_config_text);
        setenv("VELTRANE_CONFIG", config_path.c_str(), 1);
    }
    const std::string log_path = tempPath("veltrane.log");
    setenv("VELTRANE_LOG", log_path.c_str(), 1);
    return log_path;
}

std::string sourcePath(const std::string& relative) {
    return std::string(VL_SOURCE_DIR) + "/" + relative;
}

std::string dataPath(const std::string& relative) {
    return sourcePath("tests/data/" + relative);
}

std::string waitForWindow(const std::string& title) {
    const std::string command = "timeout 20 xdotool search --sync --onlyvisible --name '^" + title + "$'";
    std::string output;
    FILE* p_pipe = popen(command.c_str(), "r");
    if (p_pipe == nullptr) {
        return output;
    }
    char buffer[256];
    while (std::fgets(buffer, sizeof(buffer), p_pipe) != nullptr) {
        output += buffer;
    }
    pclose(p_pipe);
    return output.substr(0, output.find('\n'));
}

}  // namespace vltest
