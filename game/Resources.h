// SPDX-License-Identifier: MIT
// Loads every sprite, sound and music the game uses, under the labels the game finds them by.
#ifndef RESOURCES_H
#define RESOURCES_H

// 22 sprites, 5 sounds and 2 musics, in a fixed order; failures are logged by the resource manager.
void loadResources();

#endif
