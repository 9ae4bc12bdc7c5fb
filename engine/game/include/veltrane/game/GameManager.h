// SPDX-License-Identifier: MIT
#ifndef VL_GAME_MANAGER_H
#define VL_GAME_MANAGER_H

#include <functional>

#include <veltrane/core/Clock.h>
#include <veltrane/core/Manager.h>
#include <veltrane/game/Version.h>

namespace vl {

const int UNTIMED_PATH_BUDGET_MS = 33;  ///< path-search time per iteration when frame_time is 0

/// Owns the program's life: starts and stops every manager and runs the fixed-rate game loop.
class GameManager : public Manager {
public:
    /// What the loop calls to sleep for ms milliseconds.
    using Sleeper = std::function<void(int ms)>;

    /// The one game manager of the program.
    static GameManager& getInstance();
    ~GameManager() override;

    bool isValid(std::string event_type) const override;  ///< exactly "vl-step"
    [[nodiscard]] int startUp() override;  ///< configuration, log, then every manager in order; -1 on failure
    void shutDown() override;              ///< stops whatever started, in reverse order, log last
    void run();  ///< the game loop; returns at the end of the iteration that set game over

    ///@{
    /// Whether the loop ends after the current iteration.
    void setGameOver(bool new_game_over = true);
    bool getGameOver() const;
    ///@}
    int getFrameTime() const;  ///< milliseconds per iteration
    int getStepCount() const;  ///< completed iterations since run began

    /// Replaces the loop's clock and sleep, so tests can drive the loop without real time.
    void setLoopTiming(Clock::TimeSource now, Sleeper sleep);

private:
    GameManager();
    [[nodiscard]] int startManagers();
    void iterate(const Clock& clock, int step_count, int frame_time, int64_t adjust);
    int64_t pace(const Clock& clock, int step_count, int frame_time, int64_t adjust, bool paused);
    void waitOut(int ms);

    Clock::TimeSource m_now;
    Sleeper m_sleep;
};

}  // namespace vl

#endif
