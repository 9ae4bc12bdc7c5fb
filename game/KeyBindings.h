// SPDX-License-Identifier: MIT
#ifndef KEY_BINDINGS_H
#define KEY_BINDINGS_H

#include <veltrane/input/EventKeyboard.h>

/// What a key asks for. The title screen's commands, then the level's.
enum class Command {
    NONE,
    START_LEVEL,     ///< the selected one
    PREVIOUS_LEVEL,  ///< select it, if any
    NEXT_LEVEL,      ///< select it, if any
    SELECT_LEVEL,    ///< the level the binding names
    QUIT_GAME,
    WALK_LEFT,
    WALK_RIGHT,
    JUMP,
    LIGHT,         ///< pick up the light under the player, or put the carried one down
    STOP_WALKING,  ///< a walking, jumping or light key let go
    USE,           ///< pull the lever or enter the door the player stands at
    SWITCH_WORLD,
    RESTART_LEVEL,
    LEAVE_LEVEL,  ///< back to the title screen, not finished
};

enum class Screen {
    TITLE,
    LEVEL
};

/// Every key the game answers, in one table: where it counts, the key, the action that counts, the command.
/// The command a key event gives on a screen, and for SELECT_LEVEL the level (0 to 5).
struct KeyCommand {
    Command command;
    int level;
};

/// The binding that matches, or Command::NONE.
KeyCommand keyCommand(Screen screen, const vl::EventKeyboard* p_keyboard);

#endif
