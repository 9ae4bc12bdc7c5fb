#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Writes the game's 22 sprite files under sprites/.

The sprites are data, committed as generated; this script is how they are made,
so that a size or a frame can be changed in one place and every file stays
consistent (equal row widths, frame counts, the title's selector columns).

Sizes follow from the level layouts: walls tile the side columns every 4 rows
(1 x 4), platforms lie every 2 columns (2 x 1), long platforms every 6 (6 x 1),
borders every 5 rows (1 x 5). The player is 3 x 3: small enough for the 4-row
tunnels and rooms of levels 4 to 6, odd so that it is drawn on whole columns.
The light's box is 3 x 3 with an empty bottom row, so that it looks as if it
rests on the floor in levels 2 and 3 and a player standing under it in levels
1, 4 and 5 overlaps it by more than a hair; its
shadow form is 7 x 4, the area it dissolves: put down beside a wall it reaches
both shadow walls of level 1's column and the shadow walls of the rooms in
levels 4 to 6, and it opens the floor it stands on in levels 2 and 3, but not
the floor under a light the player has put down elsewhere (put back where it
was found, a light lies where the level put it).

Colours on the white window: the light world is blue, the shadow world black
with other characters; the light and its glow are magenta, the door red.

Usage: scripts/make-sprites.py [output directory, default sprites/]
"""

import os
import sys

VERSION = "1"


def check_frames(name, frames, width, height):
    for index, frame in enumerate(frames):
        if len(frame) != height:
            raise SystemExit(f"{name}: frame {index} has {len(frame)} rows, expected {height}")
        for row in frame:
            if len(row) != width:
                raise SystemExit(f"{name}: frame {index} row {row!r} is {len(row)} wide, expected {width}")


def write_simple(path, frames, slowdown, color):
    width, height = len(frames[0][0]), len(frames[0])
    check_frames(path, frames, width, height)
    lines = [str(len(frames)), str(width), str(height), str(slowdown), color]
    for frame in frames:
        lines.extend(frame)
    with open(path, "w", newline="\n") as out:
        out.write("\n".join(lines) + "\n")


def write_robust(path, frames, slowdown, color, transparency=None):
    width, height = len(frames[0][0]), len(frames[0])
    check_frames(path, frames, width, height)
    lines = ["<HEADER>", f"frames {len(frames)}", f"width {width}", f"height {height}",
             f"color {color}", f"slowdown {slowdown}"]
    if transparency is not None:
        lines.append('transparency " "' if transparency == " " else f"transparency {transparency}")
    lines.append("</HEADER>")
    lines.append("<BODY>")
    for frame in frames:
        lines.extend(frame)
        lines.append("end")
    lines.append("</BODY>")
    lines += ["<FOOTER>", f"version {VERSION}", "</FOOTER>"]
    for line in lines:
        if line == "":
            raise SystemExit(f"{path}: robust files may not hold empty lines")
    with open(path, "w", newline="\n") as out:
        out.write("\n".join(lines) + "\n")


# ---- player ---------------------------------------------------------------------------
# Frame 0 is the standing pose shown frozen; walking runs all four.

PLAYER = [
    [" o ", "/|\\", "/ \\"],
    [" o ", "(|\\", " | "],
    [" o ", "/|\\", "/ \\"],
    [" o ", "/|)", " | "],
]
PLAYER_SHADOW = [
    [" @ ", "{#}", "/ \\"],
    [" @ ", "{#}", " | "],
    [" @ ", "{#}", "/ \\"],
    [" @ ", "{#}", " ! "],
]

# ---- obstacles --------------------------------------------------------------------------

PLATFORM = [["=="]]
PLATFORM_SHADOW = [["::"]]
LONG_PLATFORM = [["======"]]
LONG_PLATFORM_SHADOW = [["::::::"]]
WALL = [["#", "#", "#", "#"]]
WALL_SHADOW = [["%", "%", "%", "%"]]
SHORT_WALL = [["#"]]
SHORT_WALL_SHADOW = [["%"]]

# ---- levers: frame 0 off, frame 1 on ---------------------------------------------------

LEVER = [
    ["o  ", " \\ ", "[_]"],
    ["  o", " / ", "[_]"],
]
LEVER_SHADOW = [
    ["*  ", " \\ ", "{_}"],
    ["  *", " / ", "{_}"],
]

# ---- borders: the light look and the shadow look ----------------------------------------

# Five rows, five letters: the columns at both sides of a level spell the world shown. Borders
# stand at rows 5i + 1, so each one's top row is the screen's row 5i - 1: the word starts on
# its second row, and read from the top of the screen the column says LIGHTLIGHT... or SHADE...
LEFT_BORDER = [list("TLIGH")]
RIGHT_BORDER = [list("TLIGH")]
LEFT_BORDER_SHADOW = [list("ESHAD")]
RIGHT_BORDER_SHADOW = [list("ESHAD")]

# ---- light and its shadow form (the dissolving glow) ------------------------------------

# The bottom row is left transparent: the lamp shows on its two upper rows and rests on the
# floor in levels 2 and 3, while its box reaches well into a standing player's.
LIGHT = [[" ^ ", "(*)", "   "], [" ' ", "(+)", "   "]]
LIGHT_SHADOW = [
    [" . ' . ", "-( @ )-", "-(___)-", " ' . ' "],
    [" ' . ' ", "=( @ )=", "=(___)=", " . ' . "],
]

# ---- door -------------------------------------------------------------------------------
# '.' is transparent so the corners show what is behind; the inside is painted.

DOOR = [[".---.", "|   |", "|  o|"]]

# ---- key guide --------------------------------------------------------------------------
# Drawn centred at (40, 20): rows 19 to 21, over every piece of a level. The top row is left
# transparent so the guide never covers a floor on row 19; the hints sit on rows 20 and 21.
# '~' is the transparent margin: the gaps between a line's words are painted, so no piece of
# a level shows through a line.

KEYGUIDE_WIDTH = 75
KEYS_LINE = "A D walk    W jump    S switch world    R restart    Q back to the title"
KEYGUIDE_HINTS = [
    "Reach the door.  Blue is solid in the light world, black in the shadow.",
    "E  pull the lever: it slides a platform or a wall",
    "",  # frame 2 is not used by the game
    "SPACE  put the light down: its glow dissolves black shadow blocks",
    "SPACE  pick up the light",
    "E  enter the door and finish the level",
    "Crushed by a sliding piece: both forms are gone.   R restarts the level",
]
# Frame 7: frame 0 of the first level, whose floor leaves row 19 free for the two-worlds rule.
RULE_LINE = "Shadow world: only the black form moves; S snaps it back, levers stay."
# Frame 8: at a lever whose pull lands its piece where the player stands.
CRUSH_WARNING = "E  pull the lever: its piece lands where you stand and crushes you"


def guide_line(text):
    line = text.center(KEYGUIDE_WIDTH)
    words = line.strip(" ")
    if not words:
        return "~" * KEYGUIDE_WIDTH
    left = line.index(words)
    return "~" * left + words + "~" * (KEYGUIDE_WIDTH - left - len(words))


def keyguide_frames():
    def frame(top, hint):
        return [guide_line(top), guide_line(hint), guide_line(KEYS_LINE)]

    frames = [frame("", hint) for hint in KEYGUIDE_HINTS]
    frames.append(frame(RULE_LINE, KEYGUIDE_HINTS[0]))
    frames.append(frame("", CRUSH_WARNING))
    return frames


# ---- title screen -------------------------------------------------------------------------
# Drawn centred on the 80 x 24 view at (40, 12): frame column c is screen column c + 7 and
# frame row r is screen row r + 2. Level n (0 to 5) is marked at screen (23 + 6n, 17), that
# is frame column 16 + 6n on frame row 15.

TITLE_WIDTH = 67
TITLE_HEIGHT = 21
TITLE_LEFT = 40 - (TITLE_WIDTH - 1) // 2
TITLE_TOP = 12 - (TITLE_HEIGHT - 1) // 2
SELECTOR_ROW = 17 - TITLE_TOP
LEVEL_COUNT = 6

FONT = {
    "L": ["#    ", "#    ", "#    ", "#    ", "#####"],
    "I": ["###", " # ", " # ", " # ", "###"],
    "G": [" ####", "#    ", "#  ##", "#   #", " ####"],
    "H": ["#   #", "#   #", "#####", "#   #", "#   #"],
    "T": ["#####", "  #  ", "  #  ", "  #  ", "  #  "],
    "S": [" ####", "#    ", " ### ", "    #", "#### "],
    "A": [" ### ", "#   #", "#####", "#   #", "#   #"],
    "D": ["#### ", "#   #", "#   #", "#   #", "#### "],
    "O": [" ### ", "#   #", "#   #", "#   #", " ### "],
    "W": ["#   #", "#   #", "# # #", "## ##", "#   #"],
}


def banner(text, ink):
    rows = ["", "", "", "", ""]
    for index, letter in enumerate(text):
        glyph = FONT[letter]
        for r in range(5):
            rows[r] += glyph[r].replace("#", ink) + (" " if index < len(text) - 1 else "")
    return rows


def selector_line(selected, width, first_column):
    line = [" "] * width
    label = "LEVEL"
    start = first_column - 2 - len(label) - 2
    line[start:start + len(label)] = label
    for n in range(LEVEL_COUNT):
        column = first_column + 6 * n
        line[column] = str(n + 1)
        if n == selected:
            line[column - 2] = "["
            line[column + 2] = "]"
    return "".join(line)


def title_frames():
    light = banner("LIGHT", "#")
    shadow = banner("SHADOW", "%")
    art = [light[r] + " : " + shadow[r] for r in range(5)]
    rows_text = {
        1: art[0], 2: art[1], 3: art[2], 4: art[3], 5: art[4],
        7: "Every thing here lives twice: once in the light,",
        8: "and once as a shadow seven rows above it.",
        10: "Switch worlds, carry the light, pull the levers,",
        11: "and find the door of each of the six levels.",
    }
    frames = []
    for selected in range(LEVEL_COUNT):
        frame = []
        for r in range(TITLE_HEIGHT):
            if r == SELECTOR_ROW:
                frame.append(selector_line(selected, TITLE_WIDTH, 23 - TITLE_LEFT))
            elif r == SELECTOR_ROW + 1:
                marks = [" "] * TITLE_WIDTH
                marks[23 - TITLE_LEFT + 6 * selected] = "^"
                frame.append("".join(marks))
            elif r == SELECTOR_ROW + 3:
                frame.append("A D  or  1 to 6  choose     ENTER  play     Q  quit".center(TITLE_WIDTH))
            elif r == SELECTOR_ROW - 2:
                frame.append(("~" * 45).center(TITLE_WIDTH))
            else:
                frame.append(rows_text.get(r, "").center(TITLE_WIDTH))
        frames.append(frame)
    return frames


def level_selector_frames():
    # The selector row of the title on its own: "LEVEL" then the six marks.
    width = 9 + 6 * (LEVEL_COUNT - 1) + 3
    return [[selector_line(selected, width, 9)] for selected in range(LEVEL_COUNT)]


def main():
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "sprites")
    os.makedirs(out_dir, exist_ok=True)

    def path(name):
        return os.path.join(out_dir, name)

    # Single-frame solid blocks in the simple format; everything with frames or
    # transparency in the robust one.
    write_simple(path("platform-spr.txt"), PLATFORM, 0, "blue")
    write_simple(path("platform-shadow-spr.txt"), PLATFORM_SHADOW, 0, "black")
    write_simple(path("long-platform-spr.txt"), LONG_PLATFORM, 0, "blue")
    write_simple(path("long-platform-shadow-spr.txt"), LONG_PLATFORM_SHADOW, 0, "black")
    write_simple(path("wall-spr.txt"), WALL, 0, "blue")
    write_simple(path("wall-shadow-spr.txt"), WALL_SHADOW, 0, "black")
    write_simple(path("short-wall-spr.txt"), SHORT_WALL, 0, "blue")
    write_simple(path("short-wall-shadow-spr.txt"), SHORT_WALL_SHADOW, 0, "black")
    write_simple(path("left-border-spr.txt"), LEFT_BORDER, 0, "blue")
    write_simple(path("right-border-spr.txt"), RIGHT_BORDER, 0, "blue")
    write_simple(path("left-border-shadow-spr.txt"), LEFT_BORDER_SHADOW, 0, "black")
    write_simple(path("right-border-shadow-spr.txt"), RIGHT_BORDER_SHADOW, 0, "black")

    write_robust(path("player-spr.txt"), PLAYER, 4, "blue", " ")
    write_robust(path("player-shadow-spr.txt"), PLAYER_SHADOW, 4, "black", " ")
    write_robust(path("lever-spr.txt"), LEVER, 0, "blue", " ")
    write_robust(path("lever-shadow-spr.txt"), LEVER_SHADOW, 0, "black", " ")
    write_robust(path("light-spr.txt"), LIGHT, 6, "magenta", " ")
    write_robust(path("light-shadow-spr.txt"), LIGHT_SHADOW, 6, "magenta", " ")
    write_robust(path("door-spr.txt"), DOOR, 0, "red", ".")
    write_robust(path("keyguide-spr.txt"), keyguide_frames(), 0, "black", "~")
    write_robust(path("gamestart-spr.txt"), title_frames(), 0, "blue", " ")
    write_robust(path("level-selector-spr.txt"), level_selector_frames(), 0, "blue", " ")


if __name__ == "__main__":
    main()
