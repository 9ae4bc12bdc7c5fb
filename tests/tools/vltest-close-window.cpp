// SPDX-License-Identifier: MIT
// Asks the X window with the given id to close, as a click on its close button does, for shell tests;
// with --destroy first, destroys it under its owner instead.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "WindowClose.h"

int main(int argc, char** argv) {
    const bool destroy = argc == 3 && std::strcmp(argv[1], "--destroy") == 0;
    if (argc != 2 && !destroy) {
        std::fprintf(stderr, "usage: %s [--destroy] WINDOW-ID\n", argv[0]);
        return 2;
    }
    argv += destroy ? 1 : 0;
    char* p_end = nullptr;
    errno = 0;
    const unsigned long window_id = std::strtoul(argv[1], &p_end, 0);
    if (errno != 0 || p_end == argv[1] || *p_end != '\0' || window_id == 0) {
        std::fprintf(stderr, "%s: '%s' is not a window id\n", argv[0], argv[1]);
        return 2;
    }
    if (destroy) {
        return vltest::destroyWindow(window_id) ? 0 : 1;
    }
    if (!vltest::requestWindowClose(window_id)) {
        std::fprintf(stderr, "%s: could not send the close request\n", argv[0]);
        return 1;
    }
    return 0;
}
