#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The desktop game's title screen in a real window (Xvfb), saved as a PNG, for the page's picture to be
# compared with. The picture is taken once the game has shown the frame its replay names.
#   tests/web/window-picture.sh GAME OUT.png
set -euo pipefail
game=$(realpath "$1")
out=$(realpath -m "$2")
root=$(cd "$(dirname "$0")/../.." && pwd)

if [[ -z "${VL_WINDOW_PICTURE_IN_XVFB:-}" ]]; then
    export VL_WINDOW_PICTURE_IN_XVFB=1
    exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$0" "$@"
fi

work=$(mktemp -d)
title="veltrane-window-picture-$$"
printf 'window_title:%s,\nrandom_seed:7,\n' "$title" > "$work/config.txt"
# The title from step 5 on; the replay ends long after the picture, which ends the game first.
printf '5 screen shown\n3000 key hold Q\n' > "$work/replay.txt"
mkdir -p "$work/screens" "$work/home"
(cd "$root" && XDG_DATA_HOME="$work/home" ALSOFT_DRIVERS=null VELTRANE_CONFIG="$work/config.txt" \
    VELTRANE_LOG="$work/game.log" VELTRANE_REPLAY="$work/replay.txt" VELTRANE_SCREENS="$work/screens" \
    "$game") &
pid=$!
trap 'kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT

for _ in $(seq 600); do
    [[ -f "$work/screens/shown.txt" ]] && break
    kill -0 "$pid" 2>/dev/null || { echo "window-picture: the game ended early:" >&2; cat "$work/game.log" >&2; exit 1; }
    sleep 0.05
done
[[ -f "$work/screens/shown.txt" ]] || { echo "window-picture: the game never showed step 5" >&2; exit 1; }
wid=$(xdotool search --sync --onlyvisible --name "$title" | head -n 1)
import -window "$wid" "$out"
