// SPDX-License-Identifier: MIT
#include "TempLog.h"

#include <cstdlib>

#include "TestSupport.h"
#include <veltrane/core/LogManager.h>

namespace vltest {

TempLog::TempLog() : m_path(tempPath("veltrane.log")), m_started(false) {
    setenv("VELTRANE_LOG", m_path.c_str(), 1);
    vl::LogManager& log = vl::LogManager::getInstance();
    m_started = log.startUp() == 0;
    log.setFlush(true);
}

TempLog::~TempLog() {
    vl::LogManager::getInstance().shutDown();
}

bool TempLog::started() const {
    return m_started;
}

std::string TempLog::text() const {
    return readFile(m_path);
}

}  // namespace vltest
