// SPDX-License-Identifier: MIT
#include "HeadlessEngine.h"

#include "TestSupport.h"
#include <veltrane/game/GameManager.h>

namespace vltest {

HeadlessEngine::HeadlessEngine(const std::string& config_items) {
    const std::string config = "headless:true,\nnetworking:false,\n" + config_items + "\n";
    m_log_path = useTempLog(&config);
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

int countOccurrences(const std::string& text, const std::string& needle) {
    int count = 0;
    for (size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + needle.size())) {
        count++;
    }
    return count;
}

}  // namespace vltest
