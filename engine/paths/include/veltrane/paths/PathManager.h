// SPDX-License-Identifier: MIT
#ifndef VL_PATH_MANAGER_H
#define VL_PATH_MANAGER_H

#include <vector>

#include <veltrane/core/Clock.h>
#include <veltrane/core/Manager.h>
#include <veltrane/world/PathSearches.h>

namespace vl {

class Object;
class PathFind;

/// Advances the pending path searches a little every loop iteration, within a time budget, and
/// tells each searching object the outcome with a path event.
class PathManager : public Manager, public PathSearches {
public:
    /// The one path manager of the program.
    static PathManager& getInstance();
    ~PathManager() override;

    [[nodiscard]] int
    startUp() override;        ///< budget floor = a tenth of the frame time; -1 when already started
    void shutDown() override;  ///< pending searches stay: they belong to their objects

    /// Runs the pending searches, one expansion each per walk, for at least budget_ms milliseconds
    /// (never less than the floor set at start-up); a search that ends is reported to its object
    /// with a path event. Does nothing before startUp().
    void cycle(int budget_ms);

    /// Makes p_path_find pending (not owned; its object deletes it). -1 for null, a search without
    /// an object, or one already pending.
    [[nodiscard]] int addPathFind(PathFind* p_path_find);
    /// Removes every occurrence of p_path_find without deleting it; -1 when null or not pending.
    int removePathFind(PathFind* p_path_find);
    void deletePathFind(PathFind* p_path_find) override;  ///< removes it, then deletes it
    /// p_target is going away: searches walking to it arrive at its last cell instead.
    void forgetTarget(const Object* p_target) override;
    /// The searches not finished.
    int getPendingCount() const;
    int getCycleTime() const;  ///< the budget floor in milliseconds

    /// Replaces the clock cycle() measures its budget with, so tests can control time.
    void setTimeSource(Clock::TimeSource now);

private:
    PathManager();

    std::vector<PathFind*> m_path_finds;  //!< pending searches, not owned
    int m_cycle_time;                     //!< budget floor in milliseconds, 0 until started
    Clock::TimeSource m_now;
};

}  // namespace vl

#endif
