// SPDX-License-Identifier: MIT
// The graphics library's error stream, routed into the log while the display is up.
#ifndef VL_SFML_ERRORS_H
#define VL_SFML_ERRORS_H

namespace vl {

/// From now on each line written to sf::err() becomes a log line "SFML: \<text>". Idempotent.
void routeSfmlErrors();
/// Logs any unfinished line and gives sf::err() its own buffer back; also done at process exit.
void restoreSfmlErrors();

}  // namespace vl

#endif
