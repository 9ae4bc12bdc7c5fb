#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Renders the six level layouts as text, as the game draws them, in both worlds.

A design aid: it reads the sprite files (either format) for sizes and frames and
the level files the game reads (levels/frame.txt, then levels/level-N.txt, see
docs/levels.md), lays out each piece in order, each light form with its shadow
form 7 rows above, then draws altitude 0 to 4 on an 80 x 24 grid. Frames of even size straddle cells;
they are shown on the cell to the left of (above) their half position.

Below each picture it lists what is solid in that world, so gaps can be
checked against the player's size and the jump (5.5 rows up from standing).

Usage: scripts/render-levels.py [level 1-6 ...] [--sprites DIR] [--levels DIR] [--solid]
"""

import math
import os
import sys

COLS, ROWS = 80, 24
SHADOW_OFFSET = 7


def read_sprite(path):
    with open(path) as f:
        lines = f.read().split("\n")
    if lines[0] == "<HEADER>":
        end = lines.index("</HEADER>")
        header = {}
        for line in lines[1:end]:
            key, _, value = line.partition(" ")
            header[key] = value
        body_start = lines.index("<BODY>") + 1
        body_end = lines.index("</BODY>")
        width, height = int(header["width"]), int(header["height"])
        trans = header.get("transparency")
        if trans == '" "':
            trans = " "
        elif trans:
            trans = trans[0]
        frames, rows = [], []
        for line in lines[body_start:body_end]:
            if line == "end":
                frames.append(rows)
                rows = []
            else:
                rows.append(line)
        return {"w": width, "h": height, "frames": frames, "trans": trans}
    count, width, height = int(lines[0]), int(lines[1]), int(lines[2])
    rows = lines[5:5 + count * height]
    frames = [rows[i * height:(i + 1) * height] for i in range(count)]
    return {"w": width, "h": height, "frames": frames, "trans": None}


class Thing:
    def __init__(self, kind, label, x, y, altitude, solid_world, frame=0):
        self.kind, self.label, self.x, self.y = kind, label, x, y
        self.altitude, self.solid_world, self.frame = altitude, solid_world, frame


def two_forms(things, kind, label, x, y, alt_light, alt_shadow, solid_light="light", solid_shadow="shadow"):
    things.append(Thing(kind, label, x, y, alt_light, solid_light))
    things.append(Thing(kind, label + "-shadow", x, y - SHADOW_OFFSET, alt_shadow, solid_shadow))


def obstacle(t, label, x, y):
    two_forms(t, "Obstacle", label, x, y, 4, 1)


def light(t, label, x, y):
    two_forms(t, "Light", label, x, y, 3, 2, "both", "both")


def lever(t, label, x, y):
    two_forms(t, "Switch", label, x, y, 4, 1)


def player(t, label, x, y):
    two_forms(t, "Player", label, x, y, 4, 3)
    t.append(Thing("KeyGuide", "keyguide", 40, 20, 2, None))


def door(t, label, x, y):
    t.append(Thing("Door", label, x, y, 2, "both"))


def border(t, label, x, y):
    t.append(Thing("Border", label, x, y, 0, None))


# The first word of a line in a level file (docs/levels.md); the game's loader checks the rest.
PIECES = {"platform": obstacle, "long-platform": obstacle, "wall": obstacle, "short-wall": obstacle,
          "light": light, "lever": lever, "player": player, "door": door,
          "left-border": border, "right-border": border}


def read_layout(things, path):
    with open(path) as f:
        for number, line in enumerate(f, 1):
            words = line.split("#", 1)[0].split()
            if not words:
                continue
            if words[0] not in PIECES:
                sys.exit(f"{path} line {number}: unknown piece '{words[0]}'")
            x, y = int(words[1]), int(words[2])
            count, every = 1, 0
            if "run" in words:
                i = words.index("run")
                count, every = int(words[i + 1]), int(words[i + 3])
            for i in range(count):
                PIECES[words[0]](things, words[0], x + every * i, y)


def render(things, sprites, world):
    grid = [[" "] * COLS for _ in range(ROWS)]
    for altitude in range(5):
        for thing in things:
            if thing.altitude != altitude:
                continue
            label = thing.label
            if thing.kind == "Border" and world == "shadow":
                label += "-shadow"
            sprite = sprites[label]
            rows = sprite["frames"][thing.frame]
            x0 = thing.x - (sprite["w"] - 1) / 2
            y0 = thing.y - (sprite["h"] - 1) / 2
            for r, row in enumerate(rows):
                for c, ch in enumerate(row):
                    if sprite["trans"] is not None and ch == sprite["trans"]:
                        continue
                    gx, gy = math.floor(x0 + c), math.floor(y0 + r)
                    if 0 <= gx < COLS and 0 <= gy < ROWS:
                        grid[gy][gx] = ch
    return ["".join(row) for row in grid]


def solid_summary(things, sprites, world):
    lines = []
    for thing in things:
        if thing.kind != "Obstacle" or thing.solid_world != world:
            continue
        sprite = sprites[thing.label]
        left, top = thing.x - sprite["w"] / 2, thing.y - sprite["h"] / 2
        lines.append(f"  {thing.label:>14} x {left:6.1f}..{left + sprite['w']:6.1f}"
                     f"  y {top:6.1f}..{top + sprite['h']:6.1f}")
    return lines


def main():
    args = sys.argv[1:]
    root = os.path.join(os.path.dirname(__file__), "..")
    dirs = {"--sprites": os.path.join(root, "sprites"), "--levels": os.path.join(root, "levels")}
    for option in dirs:
        if option in args:
            i = args.index(option)
            dirs[option] = args[i + 1]
            del args[i:i + 2]
    sprite_dir, level_dir = dirs["--sprites"], dirs["--levels"]
    solid = "--solid" in args
    args = [a for a in args if a != "--solid"]
    wanted = [int(a) for a in args] or list(range(1, 7))
    sprites = {}
    for name in os.listdir(sprite_dir):
        if name.endswith("-spr.txt"):
            label = name[:-len("-spr.txt")]
            sprites["levelselector" if label == "level-selector" else label] = read_sprite(os.path.join(sprite_dir, name))
    ruler = "".join(str(c // 10) for c in range(COLS)) + "\n" + "".join(str(c % 10) for c in range(COLS))
    for n in wanted:
        things = []
        read_layout(things, os.path.join(level_dir, "frame.txt"))
        read_layout(things, os.path.join(level_dir, f"level-{n}.txt"))
        for world in ("light", "shadow"):
            print(f"== level {n}, {world} world")
            print(ruler)
            for r, row in enumerate(render(things, sprites, world)):
                print(row + f" {r}")
            if solid:
                print("\n".join(solid_summary(things, sprites, world)))
            print()


if __name__ == "__main__":
    main()
