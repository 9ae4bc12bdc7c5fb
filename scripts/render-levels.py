#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Renders the six level layouts as text, as the game draws them, in both worlds.

A design aid: it reads the sprite files (either format) for sizes and frames and
lays out every level as the level builder does (frame walls and borders, then
the entries in order, each light form with its shadow form 7 rows above), then
draws altitude 0 to 4 on an 80 x 24 grid. Frames of even size straddle cells;
they are shown on the cell to the left of (above) their half position.

Below each picture it lists what is solid in that world, so gaps can be
checked against the player's size and the jump (5.5 rows up from standing).

Usage: scripts/render-levels.py [level 1-6 ...] [--sprites DIR]
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


def light(t, x, y):
    two_forms(t, "Light", "light", x, y, 3, 2, "both", "both")


def lever(t, x, y):
    two_forms(t, "Switch", "lever", x, y, 4, 1)


def player(t, x, y):
    two_forms(t, "Player", "player", x, y, 4, 3)
    t.append(Thing("KeyGuide", "keyguide", 40, 20, 4, None))


def door(t, x, y):
    t.append(Thing("Door", "door", x, y, 2, "both"))


def frame(t):
    for i in range(6):
        obstacle(t, "wall", 0, 4 * i)
        obstacle(t, "wall", 79, 4 * i)
    for i in range(5):
        t.append(Thing("Border", "left-border", 1, 5 * i + 1, 0, None))
        t.append(Thing("Border", "right-border", 78, 5 * i + 1, 0, None))


def level1(t):
    frame(t)
    for i in range(50):
        obstacle(t, "platform", 2 * i, 15)
    obstacle(t, "wall", 35, 12)
    obstacle(t, "wall", 35, 8)
    obstacle(t, "platform", 40, 12)
    obstacle(t, "long-platform", 22, 15)
    light(t, 12, 12)
    lever(t, 50, 12)
    player(t, 7, 10)
    door(t, 70, 13)


def level2(t):
    frame(t)
    for i in range(50):
        obstacle(t, "platform", 2 * i, 26)
    for i in range(50):
        obstacle(t, "platform", 2 * i, 12)
    light(t, 40, 11)
    player(t, 14, 5)
    door(t, 72, 16)


def level3(t):
    frame(t)
    for i in range(50):
        obstacle(t, "platform", 2 * i, 26)
    for i in range(50):
        obstacle(t, "platform", 2 * i, 12)
    light(t, 40, 11)
    obstacle(t, "wall", 60, 22)
    obstacle(t, "wall", 60, 19)
    player(t, 14, 5)
    lever(t, 4, 24)
    lever(t, 4, 24)
    door(t, 72, 16)


def level4(t):
    frame(t)
    for i in range(50):
        obstacle(t, "platform", 2 * i, 18)
    for i in range(12):
        obstacle(t, "platform", 2 * i, 12)
    for i in range(3):
        obstacle(t, "long-platform", 6 * i + 24, 10)
    for i in range(12):
        obstacle(t, "platform", 2 * i + 58, 13)
    obstacle(t, "short-wall", 22, 11)
    obstacle(t, "wall", 38, 12)
    obstacle(t, "wall", 38, 16)
    obstacle(t, "wall", 58, 16)
    light(t, 12, 8)
    lever(t, 3, 16)
    player(t, 7, 5)
    door(t, 70, 16)


def level5(t):
    frame(t)
    for i in range(50):
        obstacle(t, "platform", 2 * i, 19)
    for i in range(11):
        obstacle(t, "platform", 2 * i, 14)
    for i in range(3):
        obstacle(t, "long-platform", 6 * i + 23, 9)
    for i in range(8):
        obstacle(t, "platform", 2 * i + 58, 7)
    obstacle(t, "long-platform", 76, 7)
    obstacle(t, "wall", 20, 12)
    for x, y in ((38, 12), (38, 16), (58, 16), (58, 12), (58, 8)):
        obstacle(t, "wall", x, y)
    light(t, 65, 3)
    lever(t, 3, 17)
    lever(t, 3, 17)
    player(t, 7, 5)
    door(t, 70, 17)


def level6(t):
    frame(t)
    for i in range(50):
        obstacle(t, "platform", 2 * i, 19)
    for i in range(11):
        obstacle(t, "platform", 2 * i, 14)
    for i in range(3):
        obstacle(t, "long-platform", 6 * i + 23, 9)
    for i in range(8):
        obstacle(t, "platform", 2 * i + 58, 7)
    obstacle(t, "long-platform", 60, 7)
    obstacle(t, "long-platform", 66, 7)
    lever(t, 65, 5)
    lever(t, 65, 5)
    obstacle(t, "long-platform", 76, 7)
    for x, y in ((20, 12), (38, 12), (38, 16), (58, 16), (58, 12), (58, 8)):
        obstacle(t, "wall", x, y)
    light(t, 65, 2)
    for x in (42, 48, 54):
        obstacle(t, "long-platform", x, 14)
    for _ in range(3):
        lever(t, 3, 17)
    lever(t, 55, 17)
    player(t, 7, 5)
    door(t, 70, 17)


LEVELS = [level1, level2, level3, level4, level5, level6]


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
    sprite_dir = os.path.join(os.path.dirname(__file__), "..", "sprites")
    if "--sprites" in args:
        i = args.index("--sprites")
        sprite_dir = args[i + 1]
        del args[i:i + 2]
    wanted = [int(a) for a in args] or list(range(1, 7))
    sprites = {}
    for name in os.listdir(sprite_dir):
        if name.endswith("-spr.txt"):
            label = name[:-len("-spr.txt")]
            sprites["levelselector" if label == "level-selector" else label] = read_sprite(os.path.join(sprite_dir, name))
    ruler = "".join(str(c // 10) for c in range(COLS)) + "\n" + "".join(str(c % 10) for c in range(COLS))
    for n in wanted:
        things = []
        LEVELS[n - 1](things)
        for world in ("light", "shadow"):
            print(f"== level {n}, {world} world")
            print(ruler)
            for r, row in enumerate(render(things, sprites, world)):
                print(row + f" {r}")
            if "--solid" in sys.argv:
                print("\n".join(solid_summary(things, sprites, world)))
            print()


if __name__ == "__main__":
    main()
