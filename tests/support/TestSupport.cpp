// SPDX-License-Identifier: MIT
#include "TestSupport.h"

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
#include <vector>

#ifndef VL_SOURCE_DIR
#error "VL_SOURCE_DIR must name the repository root"
#endif

namespace vltest {

namespace {

// Paths handed out by tempPath, removed when the process exits.
class TempRegistry {
public:
    ~TempRegistry() {
        if (std::getenv("VLTEST_KEEP_TEMP") != nullptr) {
            return;
        }
        std::lock_guard<std::mutex> lock(m_mutex);
        for (const std::string& path : m_paths) {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    }

    void add(const std::string& path) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_paths.push_back(path);
    }

private:
    std::mutex m_mutex;
    std::vector<std::string> m_paths;
};

TempRegistry& registry() {
    static TempRegistry s_registry;
    return s_registry;
}

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
    static std::atomic<unsigned> s_counter{0};
    std::string safe_name = name;
    for (char& c : safe_name) {
        if (c == '/') {
            c = '_';
        }
    }
    // The pid keeps parallel test processes apart, the clock a recycled pid from
    // an earlier run's leftovers, the counter two calls within one process.
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    std::ostringstream file_name;
    file_name << "vltest-" << ::getpid() << '-' << ticks << '-' << s_counter++ << '-' << safe_name;
    std::error_code error;
    std::filesystem::path dir = std::filesystem::temp_directory_path(error);
    if (error) {
        dir = "/tmp";
    }
    const std::string path = (dir / file_name.str()).string();
    registry().add(path);
    return path;
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
