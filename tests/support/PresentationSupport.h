// SPDX-License-Identifier: MIT
// Starts just the configuration and the log, in temporary files, for tests of the display and resources.
#pragma once

#include <string>

#include <SFML/Graphics/Image.hpp>

namespace vltest {

class LoggedConfig {
public:
    // Loads config_items as the configuration and (re)starts the log manager on a fresh temporary file.
    explicit LoggedConfig(const std::string& config_items);
    std::string log() const;  // the log file's contents so far

private:
    std::string m_log_path;
};

// The frame drawn so far, read back before it is shown; then shown and cleared as the loop's swap does.
sf::Image captureFrame();
// Pixels of two pictures whose largest channel difference is above level; all of them when the sizes differ.
int differingPixels(const sf::Image& a, const sf::Image& b, int level = 0);

// The log's lines with the time and step-count prefix ("hh:mm:ss nnnn ") removed.
std::string logMessages(const std::string& log_text);
// How many lines of text are exactly line.
int countLines(const std::string& text, const std::string& line);

}  // namespace vltest
