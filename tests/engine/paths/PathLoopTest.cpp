// SPDX-License-Identifier: MIT
// Path searches driven by the real game loop, running as fast as it can (frame_time 0).
#include <gtest/gtest.h>

#include <vector>

#include "HeadlessEngine.h"
#include <veltrane/core/EventStep.h>
#include <veltrane/game/GameManager.h>
#include <veltrane/world/EventPath.h>
#include <veltrane/world/Object.h>

namespace {

// Starts a search on the first step, notes the step each path event arrives on, and ends the game
// once it stands at the goal or after max_steps.
class Seeker : public vl::Object {
public:
    Seeker(vl::Vector start, vl::Vector goal, int max_steps, bool let_default_run = true)
        : m_goal(goal), m_max_steps(max_steps), m_let_default_run(let_default_run) {
        setPosition(start);
        setSpeed(0.5f);
        setAvoidCollisions(true);  // slides past the corners the path cuts
        registerInterest(vl::STEP_EVENT);
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
            if (getPosition() == m_goal || m_step >= m_max_steps) {
                vl::GameManager::getInstance().setGameOver();
            }
            return 1;
        }
        if (p_e->getType() == vl::PATH_EVENT) {
            statuses.push_back(static_cast<const vl::EventPath*>(p_e)->getStatus());
            event_steps.push_back(m_step);
            waypoints = static_cast<const vl::EventPath*>(p_e)->getPath().getCount();
            if (!m_let_default_run) {
                return 1;  // the search stays pending and is reported again every cycle
            }
        }
        return vl::Object::eventHandler(p_e);
    }

    std::vector<int> statuses;
    std::vector<int> event_steps;
    int waypoints = 0;
    int arrival_step = -1;

private:
    vl::Vector m_goal;
    int m_max_steps;
    bool m_let_default_run;
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
        auto* p_seeker = new Seeker(vl::Vector(30, 5), vl::Vector(50, 5), 400);
        vl::GameManager::getInstance().run();
        ASSERT_EQ(p_seeker->statuses, std::vector<int>{vl::PATH_FOUND});
        EXPECT_EQ(p_seeker->event_steps, std::vector<int>{0});
        EXPECT_GT(p_seeker->waypoints, 30);  // down to row 20 and back: far more than the 21 of a line
        arrivals.push_back(p_seeker->arrival_step);
        engine.shutDown();
    }
    EXPECT_GT(arrivals[0], 0);
    EXPECT_LT(arrivals[0], 400);
    EXPECT_EQ(arrivals[0], arrivals[1]);
}

TEST(PathLoop, ASearchItsObjectNeverReleasesCannotHoldUpTheLoop) {
    vltest::HeadlessEngine engine("frame_time:0,");
    ASSERT_EQ(engine.startUp(), 0);
    auto* p_seeker = new Seeker(vl::Vector(5, 5), vl::Vector(9, 5), 4, false);
    vl::GameManager::getInstance().run();
    // Reported again and again from the first iteration on, and the game still ended on time.
    EXPECT_EQ(vl::GameManager::getInstance().getStepCount(), 5);
    ASSERT_GT(p_seeker->statuses.size(), 1u);
    EXPECT_EQ(p_seeker->event_steps.front(), 0);
    EXPECT_EQ(p_seeker->arrival_step, -1);
    EXPECT_TRUE(p_seeker->isFindingPath());
    engine.shutDown();
}
