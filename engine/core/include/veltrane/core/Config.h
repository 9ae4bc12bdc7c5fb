// SPDX-License-Identifier: MIT
#ifndef VL_CONFIG_H
#define VL_CONFIG_H

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace vl {

/// Configuration files larger than this are refused whole (every setting keeps its default).
constexpr size_t MAX_CONFIG_BYTES = 1024 * 1024;

/// Looks key up in a comma-separated list of key:value items (whitespace ignored) and returns
/// its first value, or "" when absent. An empty text searches the items of the previous call.
std::string match(const std::string& text, const std::string& key);

/// The engine's settings: built-in defaults, overridden by an optional key:value file.
class Config {
public:
    /// The one configuration of the program.
    static Config& getInstance();

    /// Loads settings from config_text; an empty text reads the configuration file first. Each unknown
    /// key or malformed entry gets one warning naming its line and the nearest known key.
    void loadConfig(std::string config_text);
    /// The file's text ($VELTRANE_CONFIG or "vl-config.txt") with comment lines and line ends removed;
    /// "" (logged) when it cannot be opened or read, or is larger than MAX_CONFIG_BYTES.
    std::string readConfig() const;
    void printConfig() const;  ///< the configuration block, at level 1

    ///@{
    /// The value of each configuration key once loaded, or its default (see the README's table).
    std::string getConfigText() const;
    int getWindowHorizontalPixels() const;
    int getWindowVerticalPixels() const;
    int getWindowHorizontalChars() const;
    int getWindowVerticalChars() const;
    int getWindowStyle() const;
    int getWindowState() const;
    int getWindowBackgroundColor() const;
    int getFrameTime() const;
    float getFontScale() const;
    std::string getWindowTitle() const;
    bool getShowMouse() const;
    bool getHeadless() const;
    bool getTerminal() const;         ///< draw in the terminal the program runs in instead of a window
    void setTerminal(bool terminal);  ///< as the key would; a file read later may still turn it off
    std::string getFontFile() const;
    void setFontFile(const std::string& font_file);  ///< a game's own font; the file's font_file still wins
    std::string getLogfile() const;
    int getRandomSeed() const;
    bool getNetworking() const;
    int getQuadtreeThreshold() const;
    int getQuadtreeDepth() const;
    int getGridWidth() const;
    int getGridHeight() const;
    bool getSignals() const;
    bool getConsistencyChecks() const;  ///< "consistency_checks": the world's costly self-checks
    int getLogLevel() const;            ///< "log_level": raises the log's verbosity for a run
    ///@}

private:
    Config();
    Config(const Config&) = delete;
    Config& operator=(const Config&) = delete;
    friend struct ConfigKey;                    ///< the table of keys, each applying its value (Config.cpp)
    void applyColor(const std::string& value);  ///< the three keys whose values are names
    void applyStyle(const std::string& value);
    void applyState(const std::string& value);
    void warnAboutEntries(const std::string& text) const;
    std::string lineOf(const std::string& key) const;  ///< " on line N" of the file that holds key, or ""

    std::string m_config_text;
    mutable std::vector<std::pair<int, std::string>> m_lines;  //!< the file's lines read, without blanks
    int m_window_horizontal_pixels;
    int m_window_vertical_pixels;
    int m_window_horizontal_chars;
    int m_window_vertical_chars;
    int m_window_style;
    int m_window_state;
    int m_window_background_color;
    int m_frame_time;
    float m_font_scale;
    std::string m_window_title;
    bool m_show_mouse;
    bool m_headless;
    bool m_terminal;
    std::string m_font_file;
    std::string m_logfile;
    int m_random_seed;
    bool m_networking;
    int m_quadtree_threshold;
    int m_quadtree_depth;
    int m_grid_width;
    int m_grid_height;
    bool m_signals;
    bool m_consistency_checks;
    int m_log_level;
};

}  // namespace vl

#endif
