// SPDX-License-Identifier: MIT
// Starts just the configuration and the log, in temporary files, for tests of the display and resources.
#pragma once

#include <string>

#include <SFML/Graphics/Image.hpp>

namespace vltest {

class LoggedConfig {
public:
    // Writes config_items to a temporary configuration file, loads it, and starts the log manager on a
    // temporary log file.
    explicit LoggedConfig(const std::string& config_items);
    std::string log() const;  // the log file's contents so far
    const std::string& logPath() const;

private:
    std::string m_log_path;
};

// The frame drawn so far in the display's window, read back before it is shown; the frame is then
// shown and the surface cleared, as the loop's swap does.
sf::Image captureFrame();

// The log's lines with the time and step-count prefix ("hh:mm:ss nnnn ") removed.
std::string logMessages(const std::string& log_text);
// How many lines of text are exactly line.
int countLines(const std::string& text, const std::string& line);

}  // namespace vltest
