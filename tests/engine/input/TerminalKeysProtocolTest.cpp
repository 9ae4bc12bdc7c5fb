// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "graphics/TerminalSurface.h"
#include "input/TerminalKeys.h"
#include <veltrane/graphics/TerminalSession.h>

namespace {

// Presses as "+KEY", releases as "-KEY", signals as "!number", clicks "c", moves "m".
std::string keysOf(const std::vector<vl::KeyInput>& inputs) {
    std::string seen;
    for (const vl::KeyInput& input : inputs) {
        const char* p_name = vl::keyName(input.key);
        const std::string what = input.kind == vl::KeyInput::SIGNAL ? std::to_string(input.signal_number)
                                                                    : (p_name != nullptr ? p_name : "?");
        seen += (seen.empty() ? "" : " ") + std::string(1, "+-cm!"[input.kind]) + what;
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
        const std::string first = keysOf(keys.feed(bytes, 0));
        const std::string next = keysOf(keys.feed("", 1));  // releases in the press's read come in the next
        EXPECT_EQ(first + (next.empty() ? "" : " " + next), expected);
    }
}

// Each run feeds bytes at times (ms) and expects what comes out, and whether D is held, after each.
TEST(TerminalKeysProtocol, HoldsAreTapsThenRepeatsAndExactWithReleaseReports) {
    const std::string enhanced = "\033[?1u";
    struct Feed {
        const char* p_bytes;
        int64_t at_ms;
        const char* p_expected;
        bool d_held;
    };
    const std::vector<std::vector<Feed>> runs = {
        // A tap, a stop, then repeats: pressed again while they come, let go once they stop.
        {{"d", 0, "+D", true},
         {"", 79, "", true},
         {"", 80, "-D", false},
         {"d", 500, "+D", true},
         {"d", 540, "", true},
         {"", 639, "", true},
         {"", 640, "-D", false}},
        // The opposite direction ends the hold at once; E is let go within the tap hold.
        {{"dd", 0, "+D", true}, {"a", 30, "-D +A", false}, {"e", 40, "+E", false}, {"", 120, "-A -E", false}},
        // With release reports: a press and its release in one read hold the key for that read only.
        {{"\033[?1u\033[100u\033[100;1:3u", 0, "+D", true}, {"", 5000, "-D", false}},
        {{"\033[?1u\033[100u", 0, "+D", true},
         {"\033[97u", 5000, "+A", true},
         {"\033[100;1:3u", 5001, "-D", false}},
        // An interrupt key reported as a code is a signal once it and Control are up, in either order.
        {{"\033[?1u\033[57442;5u\033[99;5u", 0, "+LEFTCONTROL", false},
         {"\033[57442;5:3u", 10, "-LEFTCONTROL", false},
         {"\033[99;1:3u", 20, "!2", false}},
        // A suspend key reported as a code becomes a signal soon after, even if the releases are lost.
        {{"\033[?1u\033[122;5u", 0, "", false}, {"", 299, "", false}, {"", 300, "!20", false}},
    };
    for (const std::vector<Feed>& run : runs) {
        vl::TerminalSession session;
        vl::TerminalKeys keys(session);
        for (const Feed& feed : run) {
            SCOPED_TRACE(std::string(feed.p_bytes) + " at " + std::to_string(feed.at_ms));
            EXPECT_EQ(keysOf(keys.feed(feed.p_bytes, feed.at_ms)), feed.p_expected);
            EXPECT_EQ(keys.isHeld(vl::Keyboard::D), feed.d_held);
        }
    }
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
