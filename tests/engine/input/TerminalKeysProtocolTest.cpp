// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include <veltrane/graphics/TerminalSession.h>
#include <veltrane/graphics/TerminalSurface.h>
#include <veltrane/input/TerminalKeys.h>

namespace {

using Seen = std::vector<std::pair<vl::TerminalInput::Kind, vl::Keyboard::Key>>;
const auto PRESS = vl::TerminalInput::PRESS;
const auto RELEASE = vl::TerminalInput::RELEASE;

Seen keysOf(const std::vector<vl::TerminalInput>& inputs) {
    Seen seen;
    for (const vl::TerminalInput& input : inputs) {
        seen.emplace_back(input.kind, input.key);
    }
    return seen;
}

struct ProtocolCase {
    const char* name;
    std::string bytes;
    Seen expected;
};

TEST(TerminalKeysProtocol, SequencesBecomePressesAndReleases) {
    const std::string enhanced = "\033[?1u";  // the terminal's answer: it reports releases
    const ProtocolCase cases[] = {
        {"characters",
         "d\r7[",
         {{PRESS, vl::Keyboard::D},
          {PRESS, vl::Keyboard::RETURN},
          {PRESS, vl::Keyboard::NUM7},
          {PRESS, vl::Keyboard::LEFTBRACKET}}},
        {"application arrow", "\033OC", {{PRESS, vl::Keyboard::RIGHTARROW}}},
        {"escape then a letter", "\033x", {{PRESS, vl::Keyboard::ESCAPE}, {PRESS, vl::Keyboard::X}}},
        {"attributes answer", "\033[?62;22c", {}},
        {"press, repeat, release",
         enhanced + "\033[100u\033[100;1:2u\033[100;1:3u",
         {{PRESS, vl::Keyboard::D}, {RELEASE, vl::Keyboard::D}}},
        {"arrow release",
         enhanced + "\033[1;1:1D\033[1;1:3D",
         {{PRESS, vl::Keyboard::LEFTARROW}, {RELEASE, vl::Keyboard::LEFTARROW}}},
        {"F5 and shift",
         enhanced + "\033[15~\033[57441u\033[57441;2:3u",
         {{PRESS, vl::Keyboard::F5}, {PRESS, vl::Keyboard::LEFTSHIFT}, {RELEASE, vl::Keyboard::LEFTSHIFT}}},
    };
    for (const ProtocolCase& c : cases) {
        vl::TerminalSession session;  // never opened: nothing is written
        vl::TerminalKeys keys(session);
        EXPECT_EQ(keysOf(keys.feed(c.bytes, 0)), c.expected) << c.name;
    }
}

TEST(TerminalKeysProtocol, HoldsFollowAutoRepeatWithoutReleaseReports) {
    vl::TerminalSession session;
    vl::TerminalKeys keys(session);
    EXPECT_EQ(keysOf(keys.feed("d", 0)), (Seen{{PRESS, vl::Keyboard::D}}));
    EXPECT_TRUE(keys.isHeld(vl::Keyboard::D, 100));
    EXPECT_FALSE(keys.isHeld(vl::Keyboard::D, 200));  // waiting to see whether repeats come
    EXPECT_TRUE(keys.feed("d", 500).empty());         // the first repeat: still the same press
    EXPECT_TRUE(keys.isHeld(vl::Keyboard::D, 600));
    EXPECT_TRUE(keys.feed("", 640).empty());
    EXPECT_EQ(keysOf(keys.feed("", 660)), (Seen{{RELEASE, vl::Keyboard::D}}));
    EXPECT_EQ(keysOf(keys.feed("q", 1000)), (Seen{{PRESS, vl::Keyboard::Q}}));
    EXPECT_TRUE(keys.feed("", 1700).empty());  // a single press: released after the repeat delay
    EXPECT_EQ(keysOf(keys.feed("", 1701)), (Seen{{RELEASE, vl::Keyboard::Q}}));
}

TEST(TerminalKeysProtocol, ColoursFallToTheNearestOfThePalettes) {
    const struct {
        unsigned char r, g, b;
        int of256;
        int of8;
    } cases[] = {{255, 0, 0, 196, 1},     {0, 0, 255, 21, 4},     {255, 255, 255, 231, 7}, {0, 0, 0, 16, 0},
                 {128, 128, 128, 244, 7}, {250, 128, 20, 208, 3}, {30, 30, 30, 234, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(vl::nearest256(vl::toRgb(c.r, c.g, c.b)), c.of256)
            << int(c.r) << "," << int(c.g) << "," << int(c.b);
        EXPECT_EQ(vl::nearest8(vl::toRgb(c.r, c.g, c.b)), c.of8)
            << int(c.r) << "," << int(c.g) << "," << int(c.b);
    }
}

}  // namespace
