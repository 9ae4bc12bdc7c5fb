// SPDX-License-Identifier: MIT
// Whole headless runs of the game loop driven by replay files, each in a child process of its own.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "HeadlessEngine.h"
#include "InputProbe.h"
#include "TestSupport.h"

namespace {

using Lines = std::vector<std::string>;

// Runs the loop headless in a fresh process, replaying and recording as asked ("" for no recording); the log.
std::string runEngine(const std::string& replay, const std::string& record = "", int safety_step = 200) {
    const std::string config = "headless:true,networking:false,frame_time:0,random_seed:1234\n";
    const std::string log = vltest::useTempLog(&config);
    setenv("ALSOFT_DRIVERS", "null", 1);
    setenv("VELTRANE_REPLAY", replay.c_str(), 1);
    record.empty() ? unsetenv("VELTRANE_RECORD") : setenv("VELTRANE_RECORD", record.c_str(), 1);
    EXPECT_EQ(vltest::runInChildProcess([&] { return vltest::runProbedGame(safety_step); }), 0);
    return vltest::readFile(log);
}

// The log's lines without their time prefix ("hh:mm:ss ").
Lines untimed(const std::string& log) {
    Lines lines;
    std::istringstream in(log);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line.size() > 9 ? line.substr(9) : line);
    }
    return lines;
}

// The probe's input lines ("Probe: step 2 key pressed D").
Lines inputs(const std::string& log) {
    Lines lines;
    for (const std::string& line : untimed(log)) {
        const size_t at = line.find("Probe: step ");
        if (at != std::string::npos && line.find(" rand ") == std::string::npos) {
            lines.push_back(line.substr(at));
        }
    }
    return lines;
}

TEST(Replay, AReplayAndARecordingOfItGiveTheSameEventsAndTheSameLogEachTime) {
    const std::string script = vltest::tempPath("walk.txt");
    const std::string recording = vltest::tempPath("recording.txt");
    ASSERT_TRUE(vltest::writeFile(script, "# A short walk, a look around and a click.\n"
                                          "2-4 key hold D\n"
                                          "3 mouse moved 10 5\n"
                                          "5-6 mouse hold LEFT 10.5 5.25   # drag nothing\n"
                                          "7 key pressed F11\n"
                                          "8 key released F11\n"
                                          "end 12\n"));
    const std::string original = runEngine(script, recording);
    ASSERT_NE(original.find("Replay finished at step 12. Setting game over."), std::string::npos) << original;
    EXPECT_EQ(original.find("safety stop"), std::string::npos);
    // The loop's last iteration is the end step.
    EXPECT_EQ(vltest::countOccurrences(original, " rand "), 13);
    EXPECT_EQ(
        inputs(original),
        (Lines{"Probe: step 2 key pressed D", "Probe: step 2 key down D",
               "Probe: step 3 mouse moved UNDEFINED_MOUSE_BUTTON 10 5", "Probe: step 3 key down D",
               "Probe: step 4 key down D", "Probe: step 5 key released D",
               "Probe: step 5 mouse clicked LEFT 10.5 5.25", "Probe: step 5 mouse pressed LEFT 10.5 5.25",
               "Probe: step 6 mouse pressed LEFT 10.5 5.25", "Probe: step 7 key pressed F11",
               "Probe: step 8 key released F11"}));
    const std::string again = runEngine(recording);
    EXPECT_EQ(inputs(again), inputs(original));
    EXPECT_EQ(untimed(runEngine(recording)), untimed(again));
}

// A replay file that cannot be used is refused as a whole and the game runs on without it; a recording
// that cannot be written is reported and the replay goes on.
TEST(Replay, UnusableFilesAreReportedAndTheGameRunsOn) {
    const std::string bad = vltest::tempPath("bad.txt");
    ASSERT_TRUE(vltest::writeFile(bad, "# fine so far\n1 key pressed A\n2 key pressed FOO\n"));
    const std::string good = vltest::tempPath("good.txt");
    ASSERT_TRUE(vltest::writeFile(good, "0 key pressed Q\n"));
    const std::string missing = vltest::tempPath("missing.txt");
    const std::string unwritable = vltest::tempPath("no-such-dir") + "/rec.txt";
    const struct {
        std::string replay;
        std::string record;
        std::string message;
        Lines keys;
    } cases[] = {
        {bad, "", "Replay file '" + bad + "' line 3: unknown key 'FOO'. Not replaying.", {}},
        {missing, "", "Replay file '" + missing + "' cannot be opened. Not replaying.", {}},
        {good,
         unwritable,
         "Cannot write recording file '" + unwritable + "' (No such file or directory). Not recording.",
         {"Probe: step 0 key pressed Q"}},
    };
    for (const auto& c : cases) {
        const std::string log = runEngine(c.replay, c.record, 20);
        EXPECT_NE(log.find("InputManager::startUp(): Error! " + c.message), std::string::npos) << log;
        EXPECT_EQ(inputs(log), c.keys);
        EXPECT_EQ(log.find("Probe: safety stop") != std::string::npos, c.keys.empty());
    }
}

}  // namespace
