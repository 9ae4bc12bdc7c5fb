// SPDX-License-Identifier: MIT
#include "PresentationSupport.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Texture.hpp>

#include "TestSupport.h"
#include <veltrane/core/Config.h>
#include <veltrane/core/LogManager.h>
#include <veltrane/graphics/DisplayManager.h>

namespace vltest {

LoggedConfig::LoggedConfig(const std::string& config_items) {
    const std::string config = config_items + "\n";
    m_log_path = useTempLog(&config);
    vl::Config::getInstance().loadConfig("");
    vl::LogManager& log = vl::LogManager::getInstance();
    // A log left open by an earlier test in this process would keep writing to that test's file.
    if (log.isStarted()) {
        log.shutDown();
    }
    if (log.startUp() != 0) {
        std::abort();  // a test whose log does not open could prove nothing
    }
    log.setFlush(true);
}

std::string LoggedConfig::log() const {
    return readFile(m_log_path);
}

std::string logMessages(const std::string& log_text) {
    // "hh:mm:ss " and "%4d " make a 14-character prefix on every line.
    const size_t prefix = 14;
    std::istringstream in(log_text);
    std::string line;
    std::string result;
    while (std::getline(in, line)) {
        result += line.size() >= prefix ? line.substr(prefix) : line;
        result += '\n';
    }
    return result;
}

int countLines(const std::string& text, const std::string& line) {
    std::istringstream in(text);
    std::string candidate;
    int count = 0;
    while (std::getline(in, candidate)) {
        if (candidate == line) {
            count++;
        }
    }
    return count;
}

sf::Image captureFrame() {
    vl::DisplayManager& display = vl::DisplayManager::getInstance();
    display.flush();
    sf::Texture texture;
    texture.create(static_cast<unsigned int>(display.getHorizontalPixels()),
                   static_cast<unsigned int>(display.getVerticalPixels()));
    texture.update(*display.getWindow());
    display.swapBuffers();
    return texture.copyToImage();
}

int differingPixels(const sf::Image& a, const sf::Image& b, int level) {
    if (a.getSize() != b.getSize()) {  // pictures of different sizes differ everywhere
        return static_cast<int>(std::max(a.getSize().x * a.getSize().y, b.getSize().x * b.getSize().y));
    }
    int count = 0;
    for (unsigned y = 0; y < a.getSize().y; y++) {
        for (unsigned x = 0; x < a.getSize().x; x++) {
            const sf::Color p = a.getPixel(x, y);
            const sf::Color q = b.getPixel(x, y);
            const int largest = std::max({std::abs(p.r - q.r), std::abs(p.g - q.g), std::abs(p.b - q.b)});
            count += largest > level ? 1 : 0;
        }
    }
    return count;
}

}  // namespace vltest
