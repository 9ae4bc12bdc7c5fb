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

// Logs at step 0 and, at step 1, looks in the file for that line while the game still runs.
class FileWatcher : public vl::Object {
public:
    explicit FileWatcher(std::string path) : m_path(std::move(path)) { registerInterest(vl::STEP_EVENT); }
    int eventHandler(const vl::Event* p_e) override {
        const auto* p_step = dynamic_cast<const vl::EventStep*>(p_e);
        if (p_step != nullptr && p_step->getStepCount() == 0) {
            vl::LogManager::getInstance().writeLog("watched line");
        } else if (p_step != nullptr) {
            seen = vltest::readFile(m_path).find("watched line") != std::string::npos;
            vl::GameManager::getInstance().setGameOver();
        }
        return 1;
    }
    bool seen = false;

private:
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
