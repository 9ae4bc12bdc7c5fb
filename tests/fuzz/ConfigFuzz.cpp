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

static std::string g_path;  // the input file, one per process

extern "C" int LLVMFuzzerInitialize(int* /*p_argc*/, char*** /*p_argv*/) {
    // Rejected values are always logged; thousands a second would flood the terminal.
    setenv("VELTRANE_LOG", "/dev/null", 1);
    if (vl::LogManager::getInstance().startUp() != 0) {
        std::abort();
    }
    g_path = "/tmp/vl-config-fuzz-" + std::to_string(getpid());
    setenv("VELTRANE_CONFIG", g_path.c_str(), 1);
    std::atexit([] { unlink(g_path.c_str()); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* p_data, size_t size) {
    FILE* p_file = std::fopen(g_path.c_str(), "wb");
    if (p_file == nullptr || std::fwrite(p_data, 1, size, p_file) != size || std::fclose(p_file) != 0) {
        std::abort();
    }
    vl::Config& config = vl::Config::getInstance();
    const std::string text = config.readConfig();
    config.loadConfig("");
    bool clean = text.size() <= size && text.find('\n') == std::string::npos;
    for (const std::string& value : {config.getWindowTitle(), config.getFontFile(), config.getLogfile()}) {
        clean = clean && value.find_first_of(",: \t\n\v\f\r") == std::string::npos;
    }
    if (!clean || config.getWindowBackgroundColor() < 0 || config.getWindowBackgroundColor() > 7 ||
        (config.getWindowState() != 0 && config.getWindowState() != 1)) {
        std::abort();
    }
    return 0;
}
