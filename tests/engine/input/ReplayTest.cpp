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
#include <veltrane/core/EventStep.h>
#include <veltrane/core/LogManager.h>
#include <veltrane/game/GameManager.h>
#include <veltrane/input/EventKeyboard.h>
#include <veltrane/input/EventMouse.h>
#include <veltrane/world/Object.h>

namespace {

struct Run {
    std::string replay;  // empty: no replay
    std::string record;  // empty: no recording
    int safety_step = 200;
};

// Runs the loop headless in a fresh process; returns the log.
std::string runEngine(const Run& run) {
    const std::string config = vltest::tempPath("vl-config.txt");
    const std::string log = vltest::tempPath("veltrane.log");
    vltest::writeFile(config, "headless:true,networking:false,frame_time:0,random_seed:1234\n");
    const int status = vltest::runInChildProcess([&] {
        setenv("ALSOFT_DRIVERS", "null", 1);
        setenv("VELTRANE_CONFIG", config.c_str(), 1);
        setenv("VELTRANE_LOG", log.c_str(), 1);
        run.replay.empty() ? unsetenv("VELTRANE_REPLAY") : setenv("VELTRANE_REPLAY", run.replay.c_str(), 1);
        run.record.empty() ? unsetenv("VELTRANE_RECORD") : setenv("VELTRANE_RECORD", run.record.c_str(), 1);
        vl::GameManager& game = vl::GameManager::getInstance();
        if (game.startUp() != 0) {
            return 2;
        }
        new vltest::InputProbe(run.safety_step);
        game.run();
        game.shutDown();
        return 0;
    });
    EXPECT_EQ(status, 0);
    return vltest::readFile(log);
}

// The log without each line's time prefix ("hh:mm:ss ").
std::vector<std::string> untimed(const std::string& log) {
    std::vector<std::string> lines;
    std::istringstream in(log);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line.size() > 9 ? line.substr(9) : line);
    }
    return lines;
}

std::vector<std::string> probeLines(const std::string& log, const std::string& kind) {
    std::vector<std::string> lines;
    for (const std::string& line : untimed(log)) {
        const bool wanted = line.find(kind) != std::string::npos &&
                            (kind == " rand " || line.find(" rand ") == std::string::npos);
        if (line.find("Probe: ") != std::string::npos && wanted) {
            lines.push_back(line.substr(line.find("Probe: ")));
        }
    }
    return lines;
}

const char* const SCRIPT = "# A short walk, a look around and a click.\n"
                           "2-4 key hold D\n"
                           "3 mouse moved 10 5\n"
                           "5-6 mouse hold LEFT 10.5 5.25   # drag nothing\n"
                           "7 key pressed F11\n"
                           "8 key released F11\n"
                           "end 12\n";

TEST(Replay, TheSameFileGivesTheSameLogLineForLine) {
    const std::string script = vltest::tempPath("walk.txt");
    ASSERT_TRUE(vltest::writeFile(script, SCRIPT));
    const std::string first = runEngine({script, "", 200});
    const std::string second = runEngine({script, "", 200});
    ASSERT_NE(first.find("Replay finished at step 12. Setting game over."), std::string::npos) << first;
    EXPECT_EQ(first.find("safety stop"), std::string::npos);
    EXPECT_EQ(untimed(first), untimed(second));

    // The loop's last iteration is the end step.
    EXPECT_EQ(probeLines(first, " rand ").size(), 13u);
    EXPECT_EQ(probeLines(first, "Probe: step "),
              (std::vector<std::string>{
                  "Probe: step 2 key pressed D", "Probe: step 2 key down D",
                  "Probe: step 3 mouse moved UNDEFINED_MOUSE_BUTTON 10 5", "Probe: step 3 key down D",
                  "Probe: step 4 key down D", "Probe: step 5 key released D",
                  "Probe: step 5 mouse clicked LEFT 10.5 5.25", "Probe: step 5 mouse pressed LEFT 10.5 5.25",
                  "Probe: step 6 mouse pressed LEFT 10.5 5.25", "Probe: step 7 key pressed F11",
                  "Probe: step 8 key released F11"}));
}

TEST(Replay, ARecordingOfAReplayReplaysTheSameEvents) {
    const std::string script = vltest::tempPath("walk.txt");
    const std::string recording = vltest::tempPath("recording.txt");
    ASSERT_TRUE(vltest::writeFile(script, SCRIPT));
    const std::string original = runEngine({script, recording, 200});
    EXPECT_NE(original.find("Recording input to '" + recording + "'."), std::string::npos);
    const std::string recorded = vltest::readFile(recording);
    EXPECT_NE(recorded.find("\n2 key pressed D\n2 key down D\n3 mouse moved 10 5\n3 key down D\n"),
              std::string::npos)
        << recorded;
    EXPECT_NE(recorded.find("\nend 12\n"), std::string::npos) << recorded;

    const std::string again = runEngine({recording, "", 200});
    EXPECT_EQ(probeLines(again, " "), probeLines(original, " "));
}

// A replay file that cannot be used is refused as a whole and the game runs on without it.
TEST(Replay, UnusableFilesAreRefusedAndTheGameRunsWithoutThem) {
    const std::string bad = vltest::tempPath("bad.txt");
    ASSERT_TRUE(vltest::writeFile(bad, "# fine so far\n1 key pressed A\n2 key pressed FOO\n"));
    const std::string missing = vltest::tempPath("missing.txt");
    const std::pair<std::string, std::string> cases[] = {{bad, "line 3: unknown key 'FOO'. Not replaying."},
                                                         {missing, "cannot be opened. Not replaying."}};
    for (const auto& c : cases) {
        const std::string log = runEngine({c.first, "", 20});
        EXPECT_NE(log.find("InputManager::startUp(): Error! Replay file '" + c.first + "' " + c.second),
                  std::string::npos)
            << log;
        EXPECT_TRUE(probeLines(log, " key ").empty());
        EXPECT_NE(log.find("Probe: safety stop"), std::string::npos);
    }
}

TEST(Replay, AnUnwritableRecordingIsReportedAndReplayGoesOn) {
    const std::string script = vltest::tempPath("walk.txt");
    ASSERT_TRUE(vltest::writeFile(script, "0 key pressed Q\n"));
    const std::string bad_record = vltest::tempPath("no-such-dir") + "/rec.txt";
    const std::string log = runEngine({script, bad_record, 20});
    EXPECT_NE(log.find("InputManager::startUp(): Error! Cannot write recording file '" + bad_record +
                       "' (No such file or directory). Not recording."),
              std::string::npos)
        << log;
    EXPECT_EQ(probeLines(log, " key "), std::vector<std::string>{"Probe: step 0 key pressed Q"});
    EXPECT_NE(log.find("Replay finished at step 0."), std::string::npos);
}

}  // namespace
