// SPDX-License-Identifier: MIT
// Destroys the X window with the given id under its owner, for the shell tests.
#include <cstdio>
#include <cstdlib>

#include "WindowClose.h"

int main(int argc, char** argv) {
    char* p_end = nullptr;
    const unsigned long window_id = argc == 2 ? std::strtoul(argv[1], &p_end, 0) : 0;
    if (window_id == 0 || *p_end != '\0') {
        std::fprintf(stderr, "usage: %s WINDOW-ID\n", argv[0]);
        return 2;
    }
    return vltest::destroyWindow(window_id) ? 0 : 1;
}
