// SPDX-License-Identifier: MIT
#include "HeadlessEngine.h"

#include <cstdlib>

#include "TestSupport.h"
#include <veltrane/game/GameManager.h>

namespace vltest {

HeadlessEngine::HeadlessEngine(const std::string& config_items)
    : m_config_path(tempPath("vl-config.txt")), m_log_path(tempPath("veltrane.log")) {
    writeFile(m_config_path, "headless:true,\nnetworking:false,\n" + config_items + "\n");
    setenv("VELTRANE_CONFIG", m_config_path.c_str(), 1);
    setenv("VELTRANE_LOG", m_log_path.c_str(), 1);
    setenv("XDG_DATA_HOME", tempPath("data").c_str(), 1);  // finished levels stay out of the user's home
}

int HeadlessEngine::startUp() const {
    return vl::GameManager::getInstance().startUp();
}

void HeadlessEngine::shutDown() const {
    vl::GameManager::getInstance().shutDown();
}

std::string HeadlessEngine::log() const {
    return readFile(m_log_path);
}

const std::string& HeadlessEngine::logPath() const {
    return m_log_path;
}

int countOccurrences(const std::string& text, const std::string& needle) {
    int count = 0;
    for (size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + needle.size())) {
        count++;
    }
    return count;
}

}  // namespace vltest
