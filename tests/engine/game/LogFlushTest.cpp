// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>

#include "HeadlessEngine.h"
#include "TestSupport.h"
#include <veltrane/core/EventStep.h>
#include <veltrane/core/LogManager.h>
#include <veltrane/game/GameManager.h>
#include <veltrane/world/Object.h>

namespace {

// Logs at step 0; at step 1 looks for that line in the file while the game still runs.
class FileWatcher : public vl::Object {
public:
    explicit FileWatcher(std::string path) : m_path(std::move(path)) { registerInterest(vl::STEP_EVENT); }
    int eventHandler(const vl::Event* p_e) override {
        if (dynamic_cast<const vl::EventStep*>(p_e)->getStepCount() == 0) {
            vl::LogManager::getInstance().writeLog("watched line");
            return 1;
        }
        seen = vltest::readFile(m_path).find("watched line") != std::string::npos;
        vl::GameManager::getInstance().setGameOver();
        return 1;
    }
    bool seen = false;
    std::string m_path;
};

}  // namespace

TEST(LogFlushEachIteration, LinesReachTheFileWithoutSetFlush) {
    vltest::HeadlessEngine engine("frame_time:0,");
    ASSERT_EQ(engine.startUp(), 0);
    vl::LogManager::getInstance().setFlush(false);
    const FileWatcher& watcher = *new FileWatcher(engine.logPath());
    vl::GameManager::getInstance().run();
    EXPECT_TRUE(watcher.seen);
    engine.shutDown();
}
