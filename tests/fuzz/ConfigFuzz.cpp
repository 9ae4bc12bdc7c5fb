// SPDX-License-Identifier: MIT
// Arbitrary bytes as a configuration file: reading them must neither crash nor hang, and every value kept
// must be one clean word and every setting in its range.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <veltrane/core/Config.h>
#include <veltrane/core/LogManager.h>

namespace {

std::string g_path;

void check(bool condition, const char* p_what) {
    if (!condition) {
        std::fprintf(stderr, "ConfigFuzz: %s\n", p_what);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* /*p_argc*/, char*** /*p_argv*/) {
    // Rejected values are always logged; thousands a second would flood the terminal.
    setenv("VELTRANE_LOG", "/dev/null", 1);
    vl::LogManager::getInstance().startUp();
    g_path = "/tmp/vl-config-fuzz-" + std::to_string(getpid());
    setenv("VELTRANE_CONFIG", g_path.c_str(), 1);
    std::atexit([] { unlink(g_path.c_str()); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* p_data, size_t size) {
    FILE* p_file = std::fopen(g_path.c_str(), "wb");
    check(p_file != nullptr && std::fwrite(p_data, 1, size, p_file) == size && std::fclose(p_file) == 0,
          "cannot write the input");
    vl::Config& config = vl::Config::getInstance();
    const std::string text = config.readConfig();
    check(text.size() <= size && text.find('\n') == std::string::npos, "the file's text grew a line");
    config.loadConfig("");
    for (const std::string& value : {config.getWindowTitle(), config.getFontFile(), config.getLogfile()}) {
        check(value.find_first_of(",: \t\n\v\f\r") == std::string::npos, "a value holds a separator");
    }
    check(config.getWindowBackgroundColor() >= 0 && config.getWindowBackgroundColor() <= 7,
          "background colour out of range");
    check(config.getWindowState() == 0 || config.getWindowState() == 1, "window state out of range");
    return 0;
}
