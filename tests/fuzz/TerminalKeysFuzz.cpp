// SPDX-License-Identifier: MIT
// Arbitrary bytes from the terminal (escape sequences, key reports, mouse reports, protocol answers), cut
// into reads at arbitrary times: decoding never crashes or hangs, a key is released only while pressed and
// pressed only while up, holds match what was sent, and only the three driver signals come out.
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>

#include "input/TerminalKeys.h"
#include <veltrane/graphics/TerminalSession.h>

namespace {

void check(bool ok) {
    if (!ok) {
        std::abort();
    }
}

void account(const std::vector<vl::KeyInput>& inputs, std::set<int>& held) {
    for (const vl::KeyInput& input : inputs) {
        if (input.kind == vl::KeyInput::PRESS) {
            check(input.key >= vl::Keyboard::UNDEFINED_KEY && input.key <= vl::Keyboard::BACKQUOTE);
            check(held.insert(input.key).second);
        } else if (input.kind == vl::KeyInput::RELEASE) {
            check(held.erase(input.key) == 1);
        } else if (input.kind == vl::KeyInput::SIGNAL) {
            const int number = input.signal_number;
            check(number == SIGINT || number == SIGQUIT || number == SIGTSTP);
        }
    }
}

}  // namespace

// Each byte below 8 ends a read and moves the clock on by 20 ms times its value.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* p_data, size_t size) {
    vl::TerminalSession session;  // never opened: answers to the terminal go nowhere
    vl::TerminalKeys keys(session);
    std::set<int> held;
    std::string chunk;
    int64_t now_ms = 0;
    for (size_t i = 0; i <= size; i++) {
        if (i < size && p_data[i] >= 8) {
            chunk += static_cast<char>(p_data[i]);
            continue;
        }
        account(keys.feed(chunk, now_ms), held);
        for (int key = vl::Keyboard::UNDEFINED_KEY; key <= vl::Keyboard::BACKQUOTE; key++) {
            check(keys.isHeld(static_cast<vl::Keyboard::Key>(key)) == (held.count(key) == 1));
        }
        chunk.clear();
        now_ms += i < size ? 20 * p_data[i] : 0;
    }
    // Long after the last byte, keys without release reports are all up.
    account(keys.feed("", now_ms + 10000), held);
    check(keys.reportsReleases() || held.empty());
    return 0;
}
