// SPDX-License-Identifier: MIT
#include <veltrane/paths/PathManager.h>

#include <algorithm>
#include <utility>

#include <veltrane/core/LogManager.h>
#include <veltrane/core/LoopState.h>
#include <veltrane/paths/PathFind.h>
#include <veltrane/platform/Platform.h>
#include <veltrane/world/EventPath.h>
#include <veltrane/world/Object.h>
#include <veltrane/world/WorldManager.h>

namespace vl {

PathManager::PathManager() : m_cycle_time(0), m_now(platform::monotonicMicroseconds) {
    setType("PathManager");
    // Objects drop their searches through the world, which knows nothing of this module.
    WorldManager::getInstance().setPathSearches(this);
}

// The world manager was built first, inside the constructor, so it is still there.
PathManager::~PathManager() {
    WorldManager::getInstance().setPathSearches(nullptr);
}

PathManager& PathManager::getInstance() {
    static PathManager instance;
    return instance;
}

int PathManager::startUp() {
    const LogManager& log = LogManager::getInstance();
    if (refuseIfStarted()) {
        return -1;
    }
    m_cycle_time = LoopState::getInstance().getFrameTime() / 10;
    if (Manager::startUp() != 0) {
        return -1;
    }
    log.writeLog(5, "PathManager::startUp(): successfully started.");
    return 0;
}

void PathManager::shutDown() {
    Manager::shutDown();
    LogManager::getInstance().writeLog(5, "PathManager::shutDown(): successfully stopped.");
}

void PathManager::cycle(int budget_ms) {
    if (!isStarted()) {
        return;
    }
    const int budget = std::max(m_cycle_time, budget_ms);
    const Clock clock(m_now);
    // Whole milliseconds, truncated.
    auto spent = [&clock] {
        return static_cast<int>(clock.split() / 1000);
    };
    while (!m_path_finds.empty()) {
        if (spent() >= budget) {
            break;
        }
        // The length is read again each time: a handler may remove searches, or add them.
        for (size_t i = 0; i < m_path_finds.size(); i++) {
            PathFind* p_path_find = m_path_finds[i];
            const int status = p_path_find->cycleOnce();
            if (status == NO_PATH || status == PATH_FOUND) {
                EventPath event;
                event.setStatus(status);
                event.setPath(p_path_find->getPath());
                event.setSearch(p_path_find);
                // The handler may delete the search: it is not touched again.
                p_path_find->getObject()->eventHandler(&event);
            }
            if (spent() > budget) {
                break;
            }
        }
    }
    if (spent() > budget) {
        LogManager::getInstance().writeLog(5, "PathManager::cycle(): cycle time %d exceeded.", budget);
    }
}

int PathManager::addPathFind(PathFind* p_path_find) {
    if (p_path_find == nullptr || p_path_find->getObject() == nullptr ||
        std::find(m_path_finds.begin(), m_path_finds.end(), p_path_find) != m_path_finds.end()) {
        return -1;
    }
    m_path_finds.push_back(p_path_find);
    return 0;
}

int PathManager::removePathFind(PathFind* p_path_find) {
    if (p_path_find == nullptr) {
        return -1;
    }
    const auto end = std::remove(m_path_finds.begin(), m_path_finds.end(), p_path_find);
    if (end == m_path_finds.end()) {
        return -1;
    }
    m_path_finds.erase(end, m_path_finds.end());
    return 0;
}

void PathManager::deletePathFind(PathFind* p_path_find) {
    removePathFind(p_path_find);
    delete p_path_find;
}

void PathManager::forgetTarget(const Object* p_target) {
    for (PathFind* p_path_find : m_path_finds) {
        if (p_path_find->getTarget() == p_target) {
            p_path_find->forgetTarget();
        }
    }
}

int PathManager::getPendingCount() const {
    return static_cast<int>(m_path_finds.size());
}

int PathManager::getCycleTime() const {
    return m_cycle_time;
}

void PathManager::setTimeSource(Clock::TimeSource now) {
    m_now = std::move(now);
}

}  // namespace vl
