// SPDX-License-Identifier: MIT
#include <veltrane/core/Config.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <utility>
#include <vector>

#include <veltrane/core/LogManager.h>
#include <veltrane/core/Utility.h>

namespace vl {

namespace {

const char* const COLOR_NAMES[] = {"black", "red", "green", "yellow", "blue", "magenta", "cyan", "white"};

const char* boolText(bool value) {
    return value ? "true" : "false";
}

bool isWhitespace(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

std::string withoutWhitespace(const std::string& text) {
    std::string result;
    result.reserve(text.size());
    for (char c : text) {
        if (!isWhitespace(c)) {
            result += c;
        }
    }
    return result;
}

// Splits text at separator, skipping empty pieces.
std::vector<std::string> splitSkippingEmpty(const std::string& text, char separator) {
    std::vector<std::string> pieces;
    std::string piece;
    for (char c : text) {
        if (c != separator) {
            piece += c;
            continue;
        }
        if (!piece.empty()) {
            pieces.push_back(piece);
        }
        piece.clear();
    }
    if (!piece.empty()) {
        pieces.push_back(piece);
    }
    return pieces;
}

// How a key's value is read: whole numbers, a decimal number, true or false, or text the key checks itself.
enum class KeyKind {
    INTEGER,
    NUMBER,
    BOOLEAN,
    TEXT
};

bool isWellFormed(KeyKind kind, const std::string& value) {
    if (kind == KeyKind::BOOLEAN) {
        return value == "true" || value == "false";
    }
    if (kind == KeyKind::TEXT) {
        return true;
    }
    char* p_end = nullptr;
    if (kind == KeyKind::NUMBER) {
        std::strtof(value.c_str(), &p_end);
    } else {
        std::strtol(value.c_str(), &p_end, 10);
    }
    return p_end != value.c_str() && *p_end == '\0';
}

}  // namespace

// Every key: its name, how its value is read and where it goes, in the order they are looked up.
struct ConfigKey {
    const char* name;
    KeyKind kind;
    void (*apply)(Config& config, const std::string& value);

    static const ConfigKey TABLE[];
    static const ConfigKey* find(const std::string& name);

    // How a value reaches its field, one per kind of key.
    template <int Config::*FIELD>
    static void integer(Config& config, const std::string& value) {
        config.*FIELD = leadingInteger(value);
    }
    template <float Config::*FIELD>
    static void number(Config& config, const std::string& value) {
        config.*FIELD = std::strtof(value.c_str(), nullptr);
    }
    template <bool Config::*FIELD>
    static void boolean(Config& config, const std::string& value) {
        config.*FIELD = value == "true";
    }
    template <std::string Config::*FIELD>
    static void text(Config& config, const std::string& value) {
        config.*FIELD = value;
    }
    template <void (Config::*APPLY)(const std::string&)>
    static void choice(Config& config, const std::string& value) {
        (config.*APPLY)(value);
    }
};

const ConfigKey ConfigKey::TABLE[] = {
    {"frame_time", KeyKind::INTEGER, integer<&Config::m_frame_time>},
    {"font_scale", KeyKind::NUMBER, number<&Config::m_font_scale>},
    {"window_horizontal_pixels", KeyKind::INTEGER, integer<&Config::m_window_horizontal_pixels>},
    {"window_vertical_pixels", KeyKind::INTEGER, integer<&Config::m_window_vertical_pixels>},
    {"window_horizontal_chars", KeyKind::INTEGER, integer<&Config::m_window_horizontal_chars>},
    {"window_vertical_chars", KeyKind::INTEGER, integer<&Config::m_window_vertical_chars>},
    {"window_background_color", KeyKind::TEXT, choice<&Config::applyColor>},
    {"window_style", KeyKind::TEXT, choice<&Config::applyStyle>},
    {"window_state", KeyKind::TEXT, choice<&Config::applyState>},
    {"window_title", KeyKind::TEXT, text<&Config::m_window_title>},
    {"show_mouse", KeyKind::BOOLEAN, boolean<&Config::m_show_mouse>},
    {"headless", KeyKind::BOOLEAN, boolean<&Config::m_headless>},
    {"terminal", KeyKind::BOOLEAN, boolean<&Config::m_terminal>},
    {"font_file", KeyKind::TEXT, text<&Config::m_font_file>},
    {"logfile", KeyKind::TEXT, text<&Config::m_logfile>},
    {"random_seed", KeyKind::INTEGER, integer<&Config::m_random_seed>},
    {"networking", KeyKind::BOOLEAN, boolean<&Config::m_networking>},
    {"grid_width", KeyKind::INTEGER, integer<&Config::m_grid_width>},
    {"grid_height", KeyKind::INTEGER, integer<&Config::m_grid_height>},
    {"quadtree_depth", KeyKind::INTEGER, integer<&Config::m_quadtree_depth>},
    {"quadtree_threshold", KeyKind::INTEGER, integer<&Config::m_quadtree_threshold>},
    {"signals", KeyKind::BOOLEAN, boolean<&Config::m_signals>},
    {"consistency_checks", KeyKind::BOOLEAN, boolean<&Config::m_consistency_checks>},
    {"log_level", KeyKind::INTEGER, integer<&Config::m_log_level>},
};

const ConfigKey* ConfigKey::find(const std::string& name) {
    for (const ConfigKey& key : TABLE) {
        if (name == key.name) {
            return &key;
        }
    }
    return nullptr;
}

namespace {

// Whether an item of the line starts with key: a typo must not be found inside the key it misspells.
bool startsAnItem(const std::string& line, const std::string& key) {
    for (size_t at = line.find(key); at != std::string::npos; at = line.find(key, at + 1)) {
        const size_t end = at + key.size();
        if ((at == 0 || line[at - 1] == ',') &&
            (end == line.size() || line[end] == ':' || line[end] == ',')) {
            return true;
        }
    }
    return false;
}

const char* nearestKey(const std::string& key) {
    const char* p_best = ConfigKey::TABLE[0].name;
    size_t best = editDistance(key, p_best);
    for (const ConfigKey& known : ConfigKey::TABLE) {
        const size_t distance = editDistance(key, known.name);
        if (distance < best) {
            best = distance;
            p_best = known.name;
        }
    }
    return p_best;
}

}  // namespace

std::string match(const std::string& text, const std::string& key) {
    // The parsed items stay until a later call brings a new text.
    static std::vector<std::pair<std::string, std::string>> items;
    const LogManager& log = LogManager::getInstance();
    log.writeLog(25, "match(\"%s\", \"%s\")", text.c_str(), key.c_str());
    if (!text.empty()) {
        items.clear();
        const std::vector<std::string> elements = splitSkippingEmpty(withoutWhitespace(text), ',');
        log.writeLog(28, "match(): number of elements allocated is %d", static_cast<int>(elements.size()));
        for (size_t i = 0; i < elements.size(); i++) {
            log.writeLog(28, "\titem number %zu", i);
            log.writeLog(28, "\tp_element is '%s' (%p)", elements[i].c_str(),
                         static_cast<const void*>(&elements[i]));
            const std::vector<std::string> tokens = splitSkippingEmpty(elements[i], ':');
            if (tokens.empty()) {
                break;  // an item made only of colons ends the parse
            }
            const std::string val = tokens.size() > 1 ? tokens[1] : "";
            log.writeLog(28, "\ttoken is '%s' (%p)", tokens[0].c_str(), static_cast<const void*>(&tokens[0]));
            log.writeLog(28, "\tkey %s", tokens[0].c_str());
            log.writeLog(28, "\tval %s", val.c_str());
            items.emplace_back(tokens[0], val);
        }
        log.writeLog(25, "match(): parsed.");
        for (size_t i = 0; i < items.size(); i++) {
            log.writeLog(28, "\t%zu  %s : %s", i, items[i].first.c_str(), items[i].second.c_str());
        }
    }
    log.writeLog(25, "match(): Looking for match '%s' among %d items.", key.c_str(),
                 static_cast<int>(items.size()));
    for (size_t i = 0; i < items.size(); i++) {
        log.writeLog(28, "match(): %zu: %s == %s?", i, key.c_str(), items[i].first.c_str());
        if (items[i].first == key) {
            return items[i].second;
        }
    }
    return "";
}

Config::Config()
    : m_window_horizontal_pixels(1024), m_window_vertical_pixels(768), m_window_horizontal_chars(80),
      m_window_vertical_chars(24), m_window_style(5), m_window_state(0), m_window_background_color(0),
      m_frame_time(33), m_font_scale(2.0f), m_window_title("Veltrane"), m_show_mouse(false),
      m_headless(false), m_terminal(false), m_font_file("vl-font.ttf"), m_logfile("veltrane.log"),
      m_random_seed(0), m_networking(true), m_quadtree_threshold(1), m_quadtree_depth(10), m_grid_width(20),
      m_grid_height(8), m_signals(true), m_consistency_checks(false), m_log_level(0) {}

Config& Config::getInstance() {
    static Config instance;
    return instance;
}

std::string Config::readConfig() const {
    const char* p_env = std::getenv("VELTRANE_CONFIG");
    const std::string name = p_env != nullptr ? p_env : "vl-config.txt";
    const LogManager& log = LogManager::getInstance();
    std::ifstream file(name, std::ios::binary);
    if (!file.is_open()) {
        log.writeLog(1, "Config::readConfig(): Cannot open Veltrane configuration file '%s'.", name.c_str());
        return "";
    }
    // Read in bounded pieces: a device or a runaway file must not exhaust memory or never end.
    std::string contents;
    char buffer[4096];
    while (file.read(buffer, sizeof buffer) || file.gcount() > 0) {
        contents.append(buffer, static_cast<size_t>(file.gcount()));
        if (contents.size() > MAX_CONFIG_BYTES) {
            log.writeLog("Config::readConfig(): Error! Veltrane configuration file '%s' is larger than %zu "
                         "bytes. Using the defaults.",
                         name.c_str(), MAX_CONFIG_BYTES);
            return "";
        }
    }
    if (file.bad()) {
        log.writeLog("Config::readConfig(): Error! Cannot read Veltrane configuration file '%s'. Using the "
                     "defaults.",
                     name.c_str());
        return "";
    }
    std::string result;
    size_t start = 0;
    int line_number = 0;
    m_lines.clear();
    while (start < contents.size()) {
        size_t end = contents.find('\n', start);
        if (end == std::string::npos) {
            end = contents.size();
        }
        size_t length = end - start;
        if (length > 0 && contents[start + length - 1] == '\r') {
            length--;
        }
        line_number++;
        if (length > 0 && contents[start] != '#') {
            result.append(contents, start, length);
            m_lines.emplace_back(line_number, withoutWhitespace(contents.substr(start, length)));
        }
        start = end + 1;
    }
    return result;
}

void Config::loadConfig(std::string config_text) {
    m_lines.clear();
    if (config_text.empty()) {
        config_text = readConfig();
    }
    m_config_text = config_text;
    warnAboutEntries(m_config_text);
    for (const ConfigKey& key : ConfigKey::TABLE) {
        const std::string value = match(m_config_text, key.name);
        if (!value.empty()) {
            key.apply(*this, value);
        }
    }
}

void Config::warnAboutEntries(const std::string& text) const {
    const LogManager& log = LogManager::getInstance();
    for (const std::string& item : splitSkippingEmpty(withoutWhitespace(text), ',')) {
        const std::vector<std::string> tokens = splitSkippingEmpty(item, ':');
        if (tokens.empty()) {
            return;  // the lookup stops reading here too
        }
        const std::string& key = tokens[0];
        const std::string where = lineOf(key);
        const ConfigKey* p_known = ConfigKey::find(key);
        if (p_known == nullptr) {
            log.writeLog("Config::loadConfig(): Warning! Unknown key '%s'%s; did you mean '%s'?", key.c_str(),
                         where.c_str(), nearestKey(key));
        } else if (tokens.size() != 2) {
            log.writeLog(
                "Config::loadConfig(): Warning! Entry '%s'%s is not one key:value; is a comma missing "
                "at the end of a line?",
                item.c_str(), where.c_str());
        } else if (!isWellFormed(p_known->kind, tokens[1])) {
            log.writeLog("Config::loadConfig(): Warning! Value '%s' of '%s'%s is not %s.", tokens[1].c_str(),
                         key.c_str(), where.c_str(),
                         p_known->kind == KeyKind::BOOLEAN ? "true or false" : "a number");
        }
    }
}

std::string Config::lineOf(const std::string& key) const {
    for (const auto& line : m_lines) {
        if (startsAnItem(line.second, key)) {
            return " on line " + std::to_string(line.first);
        }
    }
    return "";
}

void Config::applyColor(const std::string& value) {
    for (int c = 0; c < 8; c++) {
        if (value == COLOR_NAMES[c]) {
            m_window_background_color = c;
            return;
        }
    }
    LogManager::getInstance().writeLog("loadConfig(): Unsupported window color '%s'", value.c_str());
}

void Config::applyStyle(const std::string& value) {
    const int style = value == "none" ? 0 : leadingInteger(value);
    if (value != "none" && style == 0) {
        LogManager::getInstance().writeLog("loadConfig(): Unsupported window style '%s'", value.c_str());
        return;
    }
    m_window_style = style;
}

void Config::applyState(const std::string& value) {
    if (value == "fullscreen") {
        m_window_state = 1;
    } else if (value == "default") {
        m_window_state = 0;
    } else {
        LogManager::getInstance().writeLog("loadConfig(): Unsupported window state '%s'", value.c_str());
    }
}

void Config::printConfig() const {
    const LogManager& log = LogManager::getInstance();
    const char* const rule = "-----------------------------------";
    log.writeLog(1, "%s", rule);
    log.writeLog(1, "Veltrane configuration:");
    log.writeLog(1, "  Window horizontal pixels: %d", m_window_horizontal_pixels);
    log.writeLog(1, "  Window vertical pixels: %d", m_window_vertical_pixels);
    log.writeLog(1, "  Window horizontal characters: %d", m_window_horizontal_chars);
    log.writeLog(1, "  Window vertical characters: %d", m_window_vertical_chars);
    log.writeLog(1, "  Window background color: %d", m_window_background_color);
    log.writeLog(1, "  Frame time: %d", m_frame_time);
    log.writeLog(1, "  Window style: %d", m_window_style);
    log.writeLog(1, "  Window state: %s", m_window_state != 0 ? "fullscreen" : "default");
    log.writeLog(1, "  Window title: %s", m_window_title.c_str());
    log.writeLog(1, "  Show mouse: %s", boolText(m_show_mouse));
    log.writeLog(1, "  Headless: %s", boolText(m_headless));
    log.writeLog(1, "  Terminal: %s", boolText(m_terminal));
    log.writeLog(1, "  Font file: %s", m_font_file.c_str());
    log.writeLog(1, "  Log file: %s", m_logfile.c_str());
    log.writeLog(1, "  Random seed: %d", m_random_seed);
    log.writeLog(1, "  Networking: %s", boolText(getNetworking()));
    log.writeLog(1, "  Scene graph: grid");
    log.writeLog(1, "  Grid width: %d", m_grid_width);
    log.writeLog(1, "  Grid height: %d", m_grid_height);
    log.writeLog(1, "%s", rule);
}

std::string Config::getConfigText() const {
    return m_config_text;
}
int Config::getWindowHorizontalPixels() const {
    return m_window_horizontal_pixels;
}
int Config::getWindowVerticalPixels() const {
    return m_window_vertical_pixels;
}
int Config::getWindowHorizontalChars() const {
    return m_window_horizontal_chars;
}
int Config::getWindowVerticalChars() const {
    return m_window_vertical_chars;
}
int Config::getWindowStyle() const {
    return m_window_style;
}
int Config::getWindowState() const {
    return m_window_state;
}
int Config::getWindowBackgroundColor() const {
    return m_window_background_color;
}
int Config::getFrameTime() const {
    return m_frame_time;
}
float Config::getFontScale() const {
    return m_font_scale;
}
std::string Config::getWindowTitle() const {
    return m_window_title;
}
bool Config::getShowMouse() const {
    return m_show_mouse;
}
bool Config::getHeadless() const {
    return m_headless;
}
bool Config::getTerminal() const {
    return m_terminal;
}
void Config::setTerminal(bool terminal) {
    m_terminal = terminal;
}
std::string Config::getFontFile() const {
    return m_font_file;
}
void Config::setFontFile(const std::string& font_file) {
    m_font_file = font_file;
}
std::string Config::getLogfile() const {
    return m_logfile;
}
int Config::getRandomSeed() const {
    return m_random_seed;
}
bool Config::getNetworking() const {
#ifdef __EMSCRIPTEN__
    return false;  // a page has no sockets to listen on
#else
    return m_networking;
#endif
}
int Config::getQuadtreeThreshold() const {
    return m_quadtree_threshold;
}
int Config::getQuadtreeDepth() const {
    return m_quadtree_depth;
}
int Config::getGridWidth() const {
    return m_grid_width;
}
int Config::getGridHeight() const {
    return m_grid_height;
}
bool Config::getSignals() const {
    return m_signals;
}
bool Config::getConsistencyChecks() const {
    return m_consistency_checks;
}
int Config::getLogLevel() const {
    return m_log_level;
}

}  // namespace vl
