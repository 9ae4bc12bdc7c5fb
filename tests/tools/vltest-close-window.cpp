// SPDX-License-Identifier: MIT
// Asks the X window with the given id to close, as a click on its close button does, for shell tests.
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "WindowClose.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s WINDOW-ID\n", argv[0]);
        return 2;
    }
    char* p_end = nullptr;
    errno = 0;
    const unsigned long window_id = std::strtoul(argv[1], &p_end, 0);
    if (errno != 0 || p_end == argv[1] || *p_end != '\0' || window_id == 0) {
        std::fprintf(stderr, "%s: '%s' is not a window id\n", argv[0], argv[1]);
        return 2;
    }
    if (!vltest::requestWindowClose(window_id)) {
        std::fprintf(stderr, "%s: could not send the close request\n", argv[0]);
        return 1;
    }
    return 0;
}
