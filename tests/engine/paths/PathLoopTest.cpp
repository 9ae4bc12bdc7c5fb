// SPDX-License-Identifier: MIT
// A path search driven by the real game loop, running as fast as it can (frame_time 0).
#include <gtest/gtest.h>

#include <vector>

#include "HeadlessEngine.h"
#include <veltrane/core/EventStep.h>
#include <veltrane/game/GameManager.h>
#include <veltrane/world/EventPath.h>
#include <veltrane/world/Object.h>

namespace {

const int MAX_STEPS = 400;

// Starts a search on the first step, notes the step each path event arrives on, and ends the game
// once it stands at the goal or after MAX_STEPS.
class Seeker : public vl::Object {
public:
    Seeker(vl::Vector start, vl::Vector goal) : m_goal(goal) {
        setPosition(start);
        setSpeed(0.5f);
        setAvoidCollisions(true);  // slides past the corners the path cuts
        EXPECT_EQ(0, registerInterest(vl::STEP_EVENT));
    }
    int eventHandler(const vl::Event* p_e) override {
        if (p_e->getType() == vl::STEP_EVENT) {
            m_step = static_cast<const vl::EventStep*>(p_e)->getStepCount();
            if (m_step == 0) {
                EXPECT_EQ(findPath(m_goal), 0);
            }
            if (getPosition() == m_goal && arrival_step < 0) {
                arrival_step = m_step;
            }
            if (getPosition() == m_goal || m_step >= MAX_STEPS) {
                vl::GameManager::getInstance().setGameOver();
            }
            return 1;
        }
        if (p_e->getType() == vl::PATH_EVENT) {
            statuses.push_back(static_cast<const vl::EventPath*>(p_e)->getStatus());
            event_steps.push_back(m_step);
            waypoints = static_cast<const vl::EventPath*>(p_e)->getPath().getCount();
        }
        return vl::Object::eventHandler(p_e);
    }

    std::vector<int> statuses;
    std::vector<int> event_steps;
    int waypoints = 0;
    int arrival_step = -1;

private:
    vl::Vector m_goal;
    int m_step = -1;
};

}  // namespace

TEST(PathLoop, WithoutAFrameTimeASearchEndsInItsIterationAndRunsAlike) {
    std::vector<int> arrivals;
    for (int run = 0; run < 2; run++) {
        vltest::HeadlessEngine engine("frame_time:0,");
        ASSERT_EQ(engine.startUp(), 0);
        for (int y = 0; y < 20; y++) {
            (new vl::Object)->setPosition(vl::Vector(40, static_cast<float>(y)));  // a wall to go under
        }
        auto* p_seeker = new Seeker(vl::Vector(30, 5), vl::Vector(50, 5));
        vl::GameManager::getInstance().run();
        ASSERT_EQ(p_seeker->statuses, std::vector<int>{vl::PATH_FOUND});
        EXPECT_EQ(p_seeker->event_steps, std::vector<int>{0});
        EXPECT_GT(p_seeker->waypoints, 30);  // down to row 20 and back: far more than the 21 of a line
        arrivals.push_back(p_seeker->arrival_step);
        engine.shutDown();
    }
    EXPECT_GT(arrivals[0], 0);
    EXPECT_LT(arrivals[0], MAX_STEPS);
    EXPECT_EQ(arrivals[0], arrivals[1]);
}
