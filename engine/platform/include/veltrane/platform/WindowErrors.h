// SPDX-License-Identifier: MIT
// Errors the window system reports about the game's own window, which its default handling makes fatal.
#ifndef VL_WINDOW_ERRORS_H
#define VL_WINDOW_ERRORS_H

namespace vl {
namespace platform {

/// For a newly opened window: from now on a window or drawable that no longer exists is noted instead of
/// ending the process; other errors keep their old handling until the window is gone.
void catchWindowErrors();
bool isWindowLost();  ///< a request has failed because its window or drawable was gone

}  // namespace platform
}  // namespace vl

#endif
