// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "TestSupport.h"
#include <veltrane/input/InputReplay.h>

namespace {

// The events of every step that has any ("3: key pressed D, key down D | "), then the end step, so that
// expectations and failures read like replay lines.
std::string timeline(const std::string& path) {
    vl::InputScript script;
    int line = -1;
    std::string reason;
    if (script.load(path, &line, &reason) != 0) {
        return "line " + std::to_string(line) + ": " + reason;
    }
    std::ostringstream out;
    for (int step = 0; step <= script.getEndStep() + 1; step++) {
        const std::vector<vl::InputRecord>& events = script.eventsAt(step);
        for (size_t i = 0; i < events.size(); i++) {
            const vl::InputRecord& r = events[i];
            out << (i == 0 ? std::to_string(step) + ": " : ", ");
            if (r.is_keyboard) {
                out << "key " << vl::keyboardActionName(r.key_action) << " " << vl::keyName(r.key);
                continue;
            }
            out << "mouse " << vl::mouseActionName(r.mouse_action) << " "
                << (r.mouse_action == vl::MOVED ? "" : std::string(vl::mouseButtonName(r.button)) + " ")
                << r.position.getX() << " " << r.position.getY();
        }
        out << (events.empty() ? "" : " | ");
        for (const std::string& name : script.screensAt(step)) {
            out << step << ": screen " << name << " | ";
        }
    }
    return out.str() + "end " + std::to_string(script.getEndStep());
}

TEST(InputScript, EachStepGivesItsEventsInTheLiveOrder) {
    const std::pair<const char*, const char*> cases[] = {
        // Window events in file order, then held buttons left-right-middle, then held keys in checking order.
        {"7 key down B\n7 key pressed z\n7-8 key hold UPARROW\n7 mouse pressed MIDDLE 1 2\n"
         "7 mouse moved 3.5 4\n7 mouse pressed right 1 2\n7-7 mouse hold LEFT 5 6\n7 key down SPACE\n"
         "7 key released UNDEFINED_KEY\n",
         "7: key pressed Z, key pressed UPARROW, mouse moved 3.5 4, mouse clicked LEFT 5 6, "
         "key released UNDEFINED_KEY, mouse pressed LEFT 5 6, mouse pressed RIGHT 1 2, "
         "mouse pressed MIDDLE 1 2, key down UPARROW, key down SPACE, key down B | "
         "8: key down UPARROW | 9: key released UPARROW | end 9"},
        // F11 and F12 are never held.
        {"0-2 key hold F12\n0-2 key hold F10\n",
         "0: key pressed F12, key pressed F10, key down F10 | 1: key down F10 | 2: key down F10 | "
         "3: key released F12, key released F10 | end 3"},
        {"5-6 key hold A\n2-4 key hold A\n",
         "2: key pressed A, key down A | 3: key down A | 4: key down A | "
         "5: key released A, key pressed A, key down A | 6: key down A | 7: key released A | end 7"},
        {"\r\n  END 40 \r\n1 key pressed Q\r\n", "1: key pressed Q | end 40"},
        {"# nothing\n", "end 0"},
        // A screen is no event, but the replay lasts until it is taken.
        {"9 screen x\n1 key pressed Q\n9 screen y.1\n",
         "1: key pressed Q | 9: screen x | 9: screen y.1 | end 9"},
    };
    const std::string path = vltest::tempPath("script.txt");
    for (const auto& [text, expected] : cases) {
        ASSERT_TRUE(vltest::writeFile(path, text));
        EXPECT_EQ(timeline(path), expected) << text;
    }
}

// A file that cannot be used is refused as a whole, naming the line (0 for the whole file) and why.
TEST(InputScript, UnusableFilesAreRefusedNamingTheLineAndTheReason) {
    const struct {
        std::string text;  // written to a file unless path is given
        int line;
        const char* reason;
        std::string path;
    } cases[] = {
        {"1 key pressed A\n2 key pressed FOO\n", 2, "unknown key 'FOO'", ""},
        {"x key pressed A\n", 1, "'x' is not a step or a span of steps", ""},
        {"-3 key pressed A\n", 1, "'-3' is not a step", ""},
        {"100000001 key pressed A\n", 1, "is not a step", ""},
        {"99999999999999999999 key pressed A\n", 1, "is not a step", ""},
        {"1 keyboard pressed A\n", 1, "expected 'key', 'mouse' or 'screen' after the step, found 'keyboard'",
         ""},
        {"1 key tapped A\n", 1, "unknown key action 'tapped' (pressed, released, down or hold)", ""},
        {"1 key pressed\n", 1, "expected 4 words: STEP key pressed KEY", ""},
        {"5-3 key hold A\n", 1, "the span '5-3' ends before it starts", ""},
        {"3-5 key pressed A\n", 1, "a span of steps needs the action 'hold'", ""},
        {"1 key hold UNDEFINED_KEY\n", 1, "UNDEFINED_KEY cannot be held", ""},
        {"0-100000000 key hold A\n", 1, "must be let go", ""},
        {"1 mouse moved 3\n", 1, "expected 5 words: STEP mouse moved X Y", ""},
        {"1 mouse clicked THUMB 3 4\n", 1, "unknown mouse button 'THUMB'", ""},
        {"1 mouse pressed UNDEFINED_MOUSE_BUTTON 3 4\n", 1, "can only be clicked", ""},
        {"1 mouse moved 3 nan\n", 1, "'3 nan' is not a position", ""},
        {"1 mouse moved 3x 2\n", 1, "is not a position", ""},
        {"1 mouse moved 1e99 2\n", 1, "is not a position", ""},
        {"1 key pressed A a b c d e f\n", 1, "too many words", ""},
        {"1 screen ../title\n", 1, "screen name '../title' must be up to 64 letters, digits", ""},
        {"1 screen .hidden\n", 1, "not starting with '.'", ""},
        {"1-3 screen title\n", 1, "a screen is taken on one step, not over a span", ""},
        {"1 screen title now\n", 1, "expected 3 words: STEP screen NAME", ""},
        {"1 mouse wiggled 3 2\n", 1, "unknown mouse action 'wiggled'", ""},
        {"# a\n\n1-9 key hold A\n4-5 key hold A\n", 4, "key A is already held over steps 1-9 (line 3)", ""},
        {"1-3 mouse hold LEFT 0 0\n3 mouse hold LEFT 1 1\n", 2, "button LEFT is already held over steps 1-3",
         ""},
        {"end 10\nend 12\n", 2, "a second end line (the first is line 1)", ""},
        {"1-4 key hold A\nend 4\n", 2, "cannot end at step 4 before its last event at step 5", ""},
        {std::string("1 key pressed A\0B\n", 18), 1, "unknown key 'A?B'", ""},
        {std::string(vl::MAX_REPLAY_BYTES + 1, '#'), 0, "is larger than", ""},
        {"", 0, "cannot be opened", vltest::tempPath("missing.txt")},
        {"", 0, "is not a regular file", vltest::dataPath("audio")},
    };
    for (const auto& c : cases) {
        const std::string path = c.path.empty() ? vltest::tempPath("bad.txt") : c.path;
        ASSERT_TRUE(!c.path.empty() || vltest::writeFile(path, c.text));
        const std::string what = c.text.substr(0, 60);
        vl::InputScript script;
        int line = -1;
        std::string reason;
        EXPECT_EQ(script.load(path, &line, &reason), -1) << what;
        EXPECT_EQ(line, c.line) << what;
        EXPECT_NE(reason.find(c.reason), std::string::npos) << what << " gave: " << reason;
        EXPECT_EQ(script.getEntryCount(), 0) << what;
    }
}

// Exact positions survive the text form, and the end line is never before the last event.
TEST(InputRecorder, WhatIsRecordedReplaysExactly) {
    const std::string path = vltest::tempPath("recording.txt");
    vl::InputRecorder recorder;
    EXPECT_EQ(recorder.open(vltest::tempPath("no-such-dir") + "/x.txt"), -1);
    ASSERT_EQ(recorder.open(path), 0);
    const vl::Vector third(1.0f / 3.0f, 23.96875f);
    const vl::Vector tiny(-2.5f, 1e-7f);
    vl::EventMouse mouse;
    for (const auto& [step, action, button, position] :
         {std::tuple{3, vl::MOVED, vl::Mouse::UNDEFINED_MOUSE_BUTTON, third},
          {4, vl::CLICKED, vl::Mouse::UNDEFINED_MOUSE_BUTTON, third},
          {5, vl::PRESSED, vl::Mouse::MIDDLE, tiny}}) {
        mouse.setMouseAction(action);
        mouse.setMouseButton(button);
        mouse.setMousePosition(position);
        recorder.record(step, mouse);
    }
    recorder.close(2);
    EXPECT_FALSE(recorder.isOpen());
    EXPECT_EQ(timeline(path), "3: mouse moved 0.333333 23.9688 | 4: mouse clicked UNDEFINED_MOUSE_BUTTON "
                              "0.333333 23.9688 | 5: mouse pressed MIDDLE -2.5 1e-07 | end 5");
    vl::InputScript script;
    int line = -1;
    std::string reason;
    ASSERT_EQ(script.load(path, &line, &reason), 0);
    EXPECT_EQ(script.eventsAt(3).at(0).position, third);
    EXPECT_EQ(script.eventsAt(5).at(0).position, tiny);
}

}  // namespace
