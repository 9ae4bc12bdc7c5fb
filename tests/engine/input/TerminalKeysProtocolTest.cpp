// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "graphics/TerminalSurface.h"
#include "input/TerminalKeys.h"
#include <veltrane/graphics/TerminalSession.h>

namespace {

// Presses as "+KEY", releases as "-KEY", anything else as "?".
std::string keysOf(const std::vector<vl::KeyInput>& inputs) {
    std::string seen;
    for (const vl::KeyInput& input : inputs) {
        const char* p_name = vl::keyName(input.key);
        seen += (seen.empty() ? "" : " ") + std::string(1, "+-??"[input.kind]) +
                (p_name != nullptr ? p_name : "?");
    }
    return seen;
}

TEST(TerminalKeysProtocol, SequencesBecomePressesAndReleases) {
    const std::string enhanced = "\033[?1u";  // the terminal's answer: it reports releases
    const std::pair<std::string, const char*> cases[] = {
        {"d\r7[", "+D +RETURN +NUM7 +LEFTBRACKET"},
        {"\033OC", "+RIGHTARROW"},  // an application arrow
        {"\033x", "+ESCAPE +X"},
        {"\033[?62;22c", ""},                                         // the attributes answer
        {enhanced + "\033[100u\033[100;1:2u\033[100;1:3u", "+D -D"},  // press, repeat, release
        {enhanced + "\033[1;1:1D\033[1;1:3D", "+LEFTARROW -LEFTARROW"},
        {enhanced + "\033[15~\033[57441u\033[57441;2:3u", "+F5 +LEFTSHIFT -LEFTSHIFT"},
    };
    for (const auto& [bytes, expected] : cases) {
        vl::TerminalSession session;  // never opened: nothing is written
        vl::TerminalKeys keys(session);
        EXPECT_EQ(keysOf(keys.feed(bytes, 0)), expected);
    }
}

TEST(TerminalKeysProtocol, HoldsFollowAutoRepeatWithoutReleaseReports) {
    vl::TerminalSession session;
    vl::TerminalKeys keys(session);
    EXPECT_EQ(keysOf(keys.feed("d", 0)), "+D");
    EXPECT_TRUE(keys.isHeld(vl::Keyboard::D, 100));
    EXPECT_FALSE(keys.isHeld(vl::Keyboard::D, 200));  // waiting to see whether repeats come
    EXPECT_EQ(keysOf(keys.feed("d", 500)), "");       // the first repeat: still the same press
    EXPECT_TRUE(keys.isHeld(vl::Keyboard::D, 600));
    EXPECT_EQ(keysOf(keys.feed("", 640)), "");
    EXPECT_EQ(keysOf(keys.feed("", 660)), "-D");
    EXPECT_EQ(keysOf(keys.feed("q", 1000)), "+Q");
    EXPECT_EQ(keysOf(keys.feed("", 1700)), "");  // a single press: released after the repeat delay
    EXPECT_EQ(keysOf(keys.feed("", 1701)), "-Q");
}

TEST(TerminalKeysProtocol, ColoursFallToTheNearestOfThePalettes) {
    const struct {
        unsigned char r, g, b;
        int of256;
        int of8;
    } cases[] = {{255, 0, 0, 196, 1},     {0, 0, 255, 21, 4},     {255, 255, 255, 231, 7}, {0, 0, 0, 16, 0},
                 {128, 128, 128, 244, 7}, {250, 128, 20, 208, 3}, {30, 30, 30, 234, 0}};
    for (const auto& c : cases) {
        const auto rgb = vl::toRgb(c.r, c.g, c.b);
        EXPECT_EQ(std::pair(vl::nearest256(rgb), vl::nearest8(rgb)), std::pair(c.of256, c.of8)) << c.of256;
    }
}

}  // namespace
