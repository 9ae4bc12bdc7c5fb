// SPDX-License-Identifier: MIT
// Loads every sprite, sound and music the game uses, under the labels the game finds them by.
#ifndef RESOURCES_H
#define RESOURCES_H

#include <string>

/// Loads the 22 sprites, 5 sounds and 2 musics in a fixed order, all of them even after a failure. Each
/// file that does not load is named in the log and on standard error: objects using a missing sprite are
/// not drawn, and a missing sound or music stays silent. Returns the number of files that did not load.
/// The files are read from directory (ending in '/'; "" is the working directory).
int loadResources(const std::string& directory = "");

#endif
