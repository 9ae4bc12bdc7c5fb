// SPDX-License-Identifier: MIT
// Asks the X window with the given id to close, as its close button does; with --destroy, destroys it
// under its owner instead. For the shell tests.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "WindowClose.h"

int main(int argc, char** argv) {
    const bool destroy = argc == 3 && std::strcmp(argv[1], "--destroy") == 0;
    char* p_end = nullptr;
    const unsigned long window_id = argc >= 2 ? std::strtoul(argv[argc - 1], &p_end, 0) : 0;
    if ((argc != 2 && !destroy) || window_id == 0 || *p_end != '\0') {
        std::fprintf(stderr, "usage: %s [--destroy] WINDOW-ID\n", argv[0]);
        return 2;
    }
    const bool done = destroy ? vltest::destroyWindow(window_id) : vltest::requestWindowClose(window_id);
    return done ? 0 : 1;
}
