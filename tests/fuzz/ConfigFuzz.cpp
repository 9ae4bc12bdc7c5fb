// SPDX-License-Identifier: MIT
// Feeds arbitrary bytes to the configuration reader as a configuration file's contents: it must neither
// crash nor hang, and every setting it stores must be one the file could have meant.
#include <unistd.h>

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <veltrane/core/Config.h>
#include <veltrane/core/LogManager.h>

namespace {

std::string g_path;

bool isSeparatorOrBlank(char c) {
    return c == ',' || c == ':' || std::isspace(static_cast<unsigned char>(c)) != 0;
}

// No value survives the parse with a blank, a comma or a colon in it.
bool isCleanValue(const std::string& value) {
    for (char c : value) {
        if (isSeparatorOrBlank(c)) {
            return false;
        }
    }
    return true;
}

std::string withoutWhitespace(const std::string& text) {
    std::string result;
    for (char c : text) {
        if (std::isspace(static_cast<unsigned char>(c)) == 0) {
            result += c;
        }
    }
    return result;
}

void check(bool condition, const char* p_what) {
    if (!condition) {
        std::fprintf(stderr, "ConfigFuzz: %s\n", p_what);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* /*p_argc*/, char*** /*p_argv*/) {
    // Rejected colours and styles are written always; thousands a second would flood the terminal.
    setenv("VELTRANE_LOG", "/dev/null", 1);
    vl::LogManager::getInstance().startUp();
    // Memory-backed when there is one: every input is written out and read back.
    char name[] = "/dev/shm/vl-config-fuzz-XXXXXX";
    char fallback[] = "/tmp/vl-config-fuzz-XXXXXX";
    char* p_name = name;
    int fd = mkstemp(name);
    if (fd < 0) {
        p_name = fallback;
        fd = mkstemp(fallback);
    }
    if (fd < 0) {
        std::abort();
    }
    close(fd);
    g_path = p_name;
    setenv("VELTRANE_CONFIG", g_path.c_str(), 1);
    std::atexit([] { unlink(g_path.c_str()); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* p_data, size_t size) {
    const std::string contents(reinterpret_cast<const char*>(p_data), size);
    FILE* p_file = std::fopen(g_path.c_str(), "wb");
    if (p_file == nullptr) {
        return 0;
    }
    const bool written = std::fwrite(contents.data(), 1, contents.size(), p_file) == contents.size();
    if (std::fclose(p_file) != 0 || !written) {
        return 0;
    }

    // Every setting starts known, so each one afterwards came from this input or from here.
    vl::Config& config = vl::Config::getInstance();
    config.loadConfig("window_style:5,window_state:default,window_background_color:black,window_title:Base,"
                      "font_file:base.ttf,logfile:base.log");
    const std::string text = config.readConfig();
    check(text.size() <= size, "the file's text grew");
    check(text.find('\n') == std::string::npos, "a line feed survived");
    config.loadConfig("");
    check(config.getConfigText() == text, "loadConfig kept another text than readConfig gave");

    const char* const string_keys[] = {"window_title", "font_file", "logfile"};
    const char* const string_bases[] = {"Base", "base.ttf", "base.log"};
    const std::string string_values[] = {config.getWindowTitle(), config.getFontFile(), config.getLogfile()};
    if (text.empty()) {
        // Nothing to look up: an empty text would search the previous lookup's items instead.
        for (size_t i = 0; i < 3; i++) {
            check(string_values[i] == string_bases[i], "an empty file changed a setting");
        }
        return 0;
    }
    const std::string stripped = withoutWhitespace(text);
    for (size_t i = 0; i < 3; i++) {
        const std::string value = vl::match(text, string_keys[i]);
        check(isCleanValue(value), "a value holds a blank, comma or colon");
        check(string_values[i] == (value.empty() ? string_bases[i] : value), "a string setting differs");
        check(stripped.find(value) != std::string::npos, "a value that is not in the text");
    }
    check(config.getWindowBackgroundColor() >= 0 && config.getWindowBackgroundColor() <= 7,
          "background colour out of range");
    check(config.getWindowState() == 0 || config.getWindowState() == 1, "window state out of range");
    const std::string style = vl::match(text, "window_style");
    check((config.getWindowStyle() == 0) == (style == "none"), "window style 0 other than from none");
    // The lookup works on the text as given just as on the text read back from a file.
    const std::string frame_time = vl::match(text, "frame_time");
    check(vl::match(contents, "frame_time") == frame_time || contents.find('#') != std::string::npos ||
              contents.find('\n') != std::string::npos,
          "the file and its text disagree");
    return 0;
}
