// SPDX-License-Identifier: MIT
#ifndef VL_LOOP_STATE_H
#define VL_LOOP_STATE_H

namespace vl {

/// The game loop's progress, kept in core so the modules below the loop can read it.
/// The game manager writes it; the log prefix, input, the scene graph, networking and paths read it.
class LoopState {
public:
    /// The one loop state of the program.
    static LoopState& getInstance();

    int getStepCount() const;  ///< completed loop iterations since the loop began
    /// Sets the number of completed loop iterations.
    void setStepCount(int step_count);
    int getFrameTime() const;  ///< milliseconds per iteration
    /// Sets the milliseconds per iteration.
    void setFrameTime(int frame_time);
    bool getGameOver() const;  ///< the loop ends after the current iteration
    /// Ends the loop after the current iteration when true.
    void setGameOver(bool game_over);

private:
    LoopState();
    LoopState(const LoopState&) = delete;
    LoopState& operator=(const LoopState&) = delete;

    int m_step_count;
    int m_frame_time;
    bool m_game_over;
};

}  // namespace vl

#endif
