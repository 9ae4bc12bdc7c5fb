// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include <veltrane/input/InputReplay.h>

namespace {

// One event as text, so that expectations and failures read like replay lines.
std::string describe(const vl::InputRecord& record) {
    if (record.is_keyboard) {
        return std::string("key ") + vl::keyboardActionName(record.key_action) + " " +
               vl::keyName(record.key);
    }
    std::string text = std::string("mouse ") + vl::mouseActionName(record.mouse_action);
    if (record.mouse_action != vl::MOVED) {
        text += std::string(" ") + vl::mouseButtonName(record.button);
    }
    char position[64];
    std::snprintf(position, sizeof(position), " %g %g", static_cast<double>(record.position.getX()),
                  static_cast<double>(record.position.getY()));
    return text + position;
}

std::vector<std::string> eventsAt(vl::InputScript& script, int step) {
    std::vector<std::string> out;
    for (const vl::InputRecord& record : script.eventsAt(step)) {
        out.push_back(describe(record));
    }
    return out;
}

using Lines = std::vector<std::string>;

vl::InputScript parsed(const std::string& text) {
    vl::InputScript script;
    int line = -1;
    std::string reason;
    EXPECT_EQ(script.parse(text, &line, &reason), 0) << "line " << line << ": " << reason;
    return script;
}

TEST(InputScript, AKeyHeldOverThreeStepsIsPressedHeldThriceAndReleased) {
    vl::InputScript script = parsed("# walk right\n3-5 key hold D   # three steps\n");
    EXPECT_EQ(script.getEntryCount(), 1);
    EXPECT_EQ(script.getEndStep(), 6);
    EXPECT_EQ(eventsAt(script, 2), Lines{});
    EXPECT_EQ(eventsAt(script, 3), (Lines{"key pressed D", "key down D"}));
    EXPECT_EQ(eventsAt(script, 4), Lines{"key down D"});
    EXPECT_EQ(eventsAt(script, 5), Lines{"key down D"});
    EXPECT_EQ(eventsAt(script, 6), Lines{"key released D"});
    EXPECT_EQ(eventsAt(script, 7), Lines{});
}

TEST(InputScript, EventsOfAStepComeInTheLiveOrder) {
    // Window events in file order, then held buttons left-right-middle, then held keys in the checking order.
    vl::InputScript script = parsed("7 key down B\n"
                                    "7 key pressed z\n"
                                    "7-8 key hold UPARROW\n"
                                    "7 mouse pressed MIDDLE 1 2\n"
                                    "7 mouse moved 3.5 4\n"
                                    "7 mouse pressed right 1 2\n"
                                    "7-7 mouse hold LEFT 5 6\n"
                                    "7 key down SPACE\n"
                                    "7 key released UNDEFINED_KEY\n");
    EXPECT_EQ(eventsAt(script, 7),
              (Lines{"key pressed Z", "key pressed UPARROW", "mouse moved 3.5 4", "mouse clicked LEFT 5 6",
                     "key released UNDEFINED_KEY", "mouse pressed LEFT 5 6", "mouse pressed RIGHT 1 2",
                     "mouse pressed MIDDLE 1 2", "key down UPARROW", "key down SPACE", "key down B"}));
    EXPECT_EQ(eventsAt(script, 8), Lines{"key down UPARROW"});
    EXPECT_EQ(eventsAt(script, 9), Lines{"key released UPARROW"});
    EXPECT_EQ(script.getEndStep(), 9);
}

TEST(InputScript, SpansButtonsFunctionKeysAndEndLines) {
    const struct {
        const char* text;
        int step;
        Lines events;
        int end_step;
    } cases[] = {
        {"10-11 mouse hold LEFT 10 5\n", 10, {"mouse clicked LEFT 10 5", "mouse pressed LEFT 10 5"}, 11},
        {"10-11 mouse hold LEFT 10 5\n", 12, {}, 11},  // letting go of a button sends nothing
        {"0-2 key hold F12\n0-2 key hold F10\n",
         0,
         {"key pressed F12", "key pressed F10", "key down F10"},
         3},
        {"0-2 key hold F12\n0-2 key hold F10\n", 1, {"key down F10"}, 3},  // F11 and F12 never held
        {"5-6 key hold A\n2-4 key hold A\n", 5, {"key released A", "key pressed A", "key down A"}, 7},
        {"\r\n  END 40 \r\n1 key pressed Q\r\n", 1, {"key pressed Q"}, 40},
        {"# nothing\n", 0, {}, 0},
    };
    for (const auto& c : cases) {
        vl::InputScript script = parsed(c.text);
        EXPECT_EQ(eventsAt(script, c.step), c.events) << c.text;
        EXPECT_EQ(script.getEndStep(), c.end_step) << c.text;
    }
}

TEST(InputScript, MalformedLinesRefuseTheWholeFileNamingTheLine) {
    struct Case {
        std::string text;
        int line;
        const char* reason;
    };
    const Case cases[] = {
        {"1 key pressed A\n2 key pressed FOO\n", 2, "unknown key 'FOO'"},
        {"x key pressed A\n", 1, "'x' is not a step or a span of steps"},
        {"-3 key pressed A\n", 1, "'-3' is not a step"},
        {"100000001 key pressed A\n", 1, "is not a step"},
        {"99999999999999999999 key pressed A\n", 1, "is not a step"},
        {"1 keyboard pressed A\n", 1, "expected 'key' or 'mouse' after the step, found 'keyboard'"},
        {"1 key tapped A\n", 1, "unknown key action 'tapped' (pressed, released, down or hold)"},
        {"1 key pressed\n", 1, "expected 4 words: STEP key pressed KEY"},
        {"1 key pressed A B\n", 1, "expected 4 words"},
        {"1\n", 1, "expected 'STEP key ACTION KEY'"},
        {"5-3 key hold A\n", 1, "the span '5-3' ends before it starts"},
        {"3-5 key pressed A\n", 1, "a span of steps needs the action 'hold'"},
        {"1 key hold UNDEFINED_KEY\n", 1, "UNDEFINED_KEY cannot be held"},
        {"0-100000000 key hold A\n", 1, "must be let go"},
        {"1 mouse moved 3\n", 1, "expected 5 words: STEP mouse moved X Y"},
        {"1 mouse clicked 3 4\n", 1, "expected 6 words"},
        {"1 mouse clicked THUMB 3 4\n", 1, "unknown mouse button 'THUMB'"},
        {"1 mouse pressed UNDEFINED_MOUSE_BUTTON 3 4\n", 1, "can only be clicked"},
        {"1 mouse moved 3 nan\n", 1, "'3 nan' is not a position"},
        {"1 mouse moved 1e99 2\n", 1, "is not a position"},
        {"1 mouse moved 3x 2\n", 1, "is not a position"},
        {"1 mouse wiggled 3 2\n", 1, "unknown mouse action 'wiggled'"},
        {"1 key pressed A a b c d e f\n", 1, "too many words"},
        {"# a\n\n1-9 key hold A\n4-5 key hold A\n", 4, "key A is already held over steps 1-9 (line 3)"},
        {"1-3 mouse hold LEFT 0 0\n3 mouse hold LEFT 1 1\n", 2, "button LEFT is already held over steps 1-3"},
        {"end 10\nend 12\n", 2, "a second end line (the first is line 1)"},
        {"end ten\n", 1, "'ten' is not a step"},
        {"end\n", 1, "expected 'end STEP'"},
        {"1-4 key hold A\nend 4\n", 2, "cannot end at step 4 before its last event at step 5"},
        {std::string("1 key pressed A\0B\n", 18), 1, "unknown key 'A?B'"},
    };
    for (const Case& c : cases) {
        vl::InputScript script;
        int line = -1;
        std::string reason;
        EXPECT_EQ(script.parse(c.text, &line, &reason), -1) << c.text;
        EXPECT_EQ(line, c.line) << c.text;
        EXPECT_NE(reason.find(c.reason), std::string::npos) << c.text << " gave: " << reason;
        EXPECT_EQ(script.getEntryCount(), 0) << c.text;
    }
}

TEST(InputScript, FilesThatCannotBeReadAreRefusedAsAWhole) {
    vl::InputScript script;
    int line = -1;
    std::string reason;
    EXPECT_EQ(script.load(vltest::tempPath("missing.txt"), &line, &reason), -1);
    EXPECT_EQ(line, 0);
    EXPECT_EQ(reason, "cannot be opened");

    EXPECT_EQ(script.load(vltest::dataPath("audio"), &line, &reason), -1);
    EXPECT_EQ(line, 0);
    EXPECT_EQ(reason, "is not a regular file");

    const std::string big = vltest::tempPath("big.txt");
    ASSERT_TRUE(vltest::writeFile(big, std::string(vl::MAX_REPLAY_BYTES + 1, '#')));
    EXPECT_EQ(script.load(big, &line, &reason), -1);
    EXPECT_EQ(line, 0);
    EXPECT_NE(reason.find("is larger than"), std::string::npos) << reason;
}

TEST(InputScript, TheDocumentedExampleIsAValidReplay) {
    const std::string doc = vltest::readFile(vltest::sourcePath("docs/replay.md"));
    const size_t example = doc.find("## Example");
    ASSERT_NE(example, std::string::npos);
    const size_t begin = doc.find("```\n", example);
    ASSERT_NE(begin, std::string::npos);
    const size_t end = doc.find("```", begin + 4);
    ASSERT_NE(end, std::string::npos);
    vl::InputScript script = parsed(doc.substr(begin + 4, end - begin - 4));
    EXPECT_EQ(script.getEndStep(), 240);
    EXPECT_EQ(eventsAt(script, 45), (Lines{"key pressed W", "key down D", "key down W"}));
    EXPECT_EQ(eventsAt(script, 124), Lines{"key released E"});
}

TEST(InputRecorder, WhatIsRecordedReplaysExactly) {
    const std::string path = vltest::tempPath("recording.txt");
    vl::InputRecorder recorder;
    ASSERT_EQ(recorder.open(path), 0);
    vl::EventKeyboard key;
    key.setKey(vl::Keyboard::BACKSLASH);
    key.setKeyboardAction(vl::KEY_PRESSED);
    recorder.record(2, key);
    key.setKey(vl::Keyboard::UNDEFINED_KEY);
    key.setKeyboardAction(vl::KEY_RELEASED);
    recorder.record(2, key);
    vl::EventMouse mouse;
    mouse.setMouseAction(vl::MOVED);
    mouse.setMousePosition(vl::Vector(1.0f / 3.0f, 23.96875f));
    recorder.record(3, mouse);
    mouse.setMouseAction(vl::CLICKED);
    mouse.setMouseButton(vl::Mouse::UNDEFINED_MOUSE_BUTTON);
    recorder.record(4, mouse);
    mouse.setMouseAction(vl::PRESSED);
    mouse.setMouseButton(vl::Mouse::MIDDLE);
    mouse.setMousePosition(vl::Vector(-2.5f, 1e-7f));
    recorder.record(4, mouse);
    recorder.close(9);
    EXPECT_FALSE(recorder.isOpen());

    vl::InputScript script;
    int line = -1;
    std::string reason;
    ASSERT_EQ(script.load(path, &line, &reason), 0) << "line " << line << ": " << reason;
    EXPECT_EQ(script.getEndStep(), 9);
    EXPECT_EQ(eventsAt(script, 2), (Lines{"key pressed BACKSLASH", "key released UNDEFINED_KEY"}));
    const std::vector<vl::InputRecord> moved = script.eventsAt(3);
    ASSERT_EQ(moved.size(), 1u);
    EXPECT_EQ(moved[0].position.getX(), 1.0f / 3.0f);
    EXPECT_EQ(moved[0].position.getY(), 23.96875f);
    const std::vector<vl::InputRecord> step4 = script.eventsAt(4);
    ASSERT_EQ(step4.size(), 2u);
    EXPECT_EQ(step4[0].mouse_action, vl::CLICKED);
    EXPECT_EQ(step4[0].button, vl::Mouse::UNDEFINED_MOUSE_BUTTON);
    EXPECT_EQ(step4[1].button, vl::Mouse::MIDDLE);
    EXPECT_EQ(step4[1].position.getY(), 1e-7f);
}

TEST(InputRecorder, TheEndLineIsNeverBeforeTheLastEvent) {
    const std::string path = vltest::tempPath("recording.txt");
    vl::InputRecorder recorder;
    ASSERT_EQ(recorder.open(path), 0);
    vl::EventKeyboard key;
    key.setKey(vl::Keyboard::A);
    key.setKeyboardAction(vl::KEY_DOWN);
    recorder.record(5, key);
    recorder.close(-1 + 3);
    const std::string text = vltest::readFile(path);
    EXPECT_NE(text.find("\n5 key down A\nend 5\n"), std::string::npos) << text;
    EXPECT_EQ(recorder.open(vltest::tempPath("no-such-dir") + "/x.txt"), -1);
}

}  // namespace
