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
#include "StderrCapture.h"
#include "TestSupport.h"

namespace {

using Lines = std::vector<std::string>;

// Runs the loop headless in a fresh process, replaying and recording as asked ("" for no recording); the log.
std::string runEngine(const std::string& replay, const std::string& record = "", int safety_step = 200,
                      int status = 0) {
    const std::string config = "headless:true,networking:false,frame_time:0,random_seed:1234\n";
    const std::string log = vltest::useTempLog(&config);
    setenv("ALSOFT_DRIVERS", "null", 1);
    setenv("VELTRANE_REPLAY", replay.c_str(), 1);
    record.empty() ? unsetenv("VELTRANE_RECORD") : setenv("VELTRANE_RECORD", record.c_str(), 1);
    EXPECT_EQ(vltest::runInChildProcess([&] { return vltest::runProbedGame(safety_step); }), status);
    return vltest::readFile(log);
}

// The log's lines without their time prefix ("hh:mm:ss "); with inputs, only the probe's input lines
// ("Probe: step 2 key pressed D").
Lines untimed(const std::string& log, bool inputs = false) {
    Lines lines;
    std::istringstream in(log);
    for (std::string line; std::getline(in, line);) {
        const size_t at = line.find("Probe: step ");
        if (!inputs) {
            lines.push_back(line.size() > 9 ? line.substr(9) : line);
        } else if (at != std::string::npos && line.find(" rand ") == std::string::npos) {
            lines.push_back(line.substr(at));
        }
    }
    return lines;
}

TEST(Replay, AReplayAndARecordingOfItGiveTheSameEventsAndTheSameLogEachTime) {
    const std::string script = vltest::tempPath("walk.txt");
    const std::string recording = vltest::tempPath("recording.txt");
    ASSERT_TRUE(vltest::writeFile(script,
                                  "2-4 key hold D\n3 mouse moved 10 5\n5-6 mouse hold LEFT 10.5 5.25\n"
                                  "7 key pressed F11\n8 key released F11\nend 12\n"));
    const std::string original = runEngine(script, recording);
    ASSERT_NE(original.find("Replay finished at step 12. Setting game over."), std::string::npos) << original;
    // The loop's last iteration is the end step, not the safety stop.
    EXPECT_EQ(vltest::countOccurrences(original, " rand "), 13);
    EXPECT_EQ(
        untimed(original, true),
        (Lines{"Probe: step 2 key pressed D", "Probe: step 2 key down D",
               "Probe: step 3 mouse moved UNDEFINED_MOUSE_BUTTON 10 5", "Probe: step 3 key down D",
               "Probe: step 4 key down D", "Probe: step 5 key released D",
               "Probe: step 5 mouse clicked LEFT 10.5 5.25", "Probe: step 5 mouse pressed LEFT 10.5 5.25",
               "Probe: step 6 mouse pressed LEFT 10.5 5.25", "Probe: step 7 key pressed F11",
               "Probe: step 8 key released F11"}));
    const std::string again = runEngine(recording);
    EXPECT_EQ(untimed(again, true), untimed(original, true));
    EXPECT_EQ(untimed(runEngine(recording)), untimed(again));
}

// A replay file that cannot be used stops the start-up, saying why in the log and on standard error
// (a file here, not a terminal); a recording that cannot be written is reported and the replay goes on.
TEST(Replay, AnUnusableReplayStopsTheStartUpAndAnUnwritableRecordingIsReported) {
    const std::string bad = vltest::tempPath("bad.txt");
    const std::string good = vltest::tempPath("good.txt");
    const std::string unwritable = vltest::tempPath("no-such-dir") + "/rec.txt";
    ASSERT_TRUE(vltest::writeFile(bad, "# fine so far\n1 key pressed A\n2 key pressed FOO\n") &&
                vltest::writeFile(good, "0 key pressed Q\n"));
    vltest::StderrCapture err;
    std::string log = runEngine(bad, "", 20, 2);
    const std::string said = err.finish();
    const std::string line =
        "InputManager::startUp(): Error! Replay file '" + bad + "' line 3: unknown key 'FOO'. Not starting.";
    EXPECT_EQ(vltest::countOccurrences(log, line), 1) << log;
    EXPECT_EQ(vltest::countOccurrences(said, "Veltrane: " + line), 1) << said;
    EXPECT_NE(log.find("start-up failed: the input manager did not start."), std::string::npos);
    log = runEngine(good, unwritable, 20);
    EXPECT_NE(log.find("startUp(): Error! Cannot write recording file '" + unwritable +
                       "' (No such file or directory). Not recording."),
              std::string::npos);
    EXPECT_EQ(untimed(log, true), Lines{"Probe: step 0 key pressed Q"}) << log;
}

}  // namespace
