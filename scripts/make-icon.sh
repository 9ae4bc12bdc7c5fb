#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Renders the desktop icon from the game's own characters: the player (blue) beside the door (red),
# frame 0 of their sprites, drawn with the game's font on the white background the game uses.
# Usage: scripts/make-icon.sh [OUTPUT]   (default packaging/veltrane.png; commit the result)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
output=${1:-$root/packaging/veltrane.png}
size=40           # points; the font is monospaced, a cell is 0.6 by 1.2 of it
args=()

# Draws frame 0 (lines 10-12) of a sprite in colour, from column x0, one character at a time so that
# leading blanks keep their width; the sprite's transparent character is left out.
draw() {
    local sprite=$1 color=$2 transparent=$3 x0=$4 row=0 line col char
    while IFS= read -r line; do
        for ((col = 0; col < ${#line}; col++)); do
            char=${line:col:1}
            [[ "$char" == " " || "$char" == "$transparent" ]] && continue
            [[ "$char" == "\\" ]] && char="\\\\"
            args+=(-fill "$color" -annotate "+$(((x0 + col) * size * 6 / 10))+$(((row + 1) * size * 12 / 10))" "$char")
        done
        row=$((row + 1))
    done < <(sed -n '10,12p' "$root/sprites/$sprite")
}

draw player-spr.txt blue " " 0
draw door-spr.txt red . 4
convert -size 512x256 xc:white -font "$root/vl-font.ttf" -pointsize "$size" "${args[@]}" \
    -trim -resize 112x112 -gravity center -background white -extent 128x128 -strip "$output"
echo "make-icon: wrote $output"
