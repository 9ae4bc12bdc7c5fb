// SPDX-License-Identifier: MIT
// Asks an X window to close, as a window manager does when its close button is clicked.
#pragma once

namespace vltest {

// Sends WM_DELETE_WINDOW to the window and waits until the X server has it; false if it could not.
bool requestWindowClose(unsigned long window_id);
// Destroys the window under its owner, as a crashing window manager or xkill's victims see it.
bool destroyWindow(unsigned long window_id);

}  // namespace vltest
