// SPDX-License-Identifier: MIT
#include <veltrane/core/LoopState.h>

namespace vl {

LoopState::LoopState() : m_step_count(0), m_frame_time(33), m_game_over(false) {}

LoopState& LoopState::getInstance() {
    static LoopState instance;
    return instance;
}

int LoopState::getStepCount() const {
    return m_step_count;
}

void LoopState::setStepCount(int step_count) {
    m_step_count = step_count;
}

int LoopState::getFrameTime() const {
    return m_frame_time;
}

void LoopState::setFrameTime(int frame_time) {
    m_frame_time = frame_time;
}

bool LoopState::getGameOver() const {
    return m_game_over;
}

void LoopState::setGameOver(bool game_over) {
    m_game_over = game_over;
}

}  // namespace vl
