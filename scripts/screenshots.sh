#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Plays the game in a virtual X display and saves pictures of the title screen and of every
# level in the light and the shadow world to docs/screenshots/.
#
#   scripts/screenshots.sh [build directory, default build]
#
# The game is driven with xdotool; each picture is taken once the game's own log shows that the
# keys before it took effect ("Restarting level N" after R, "SHADOW SWITCH" after S), and after
# a short pause for the player to land and the frame to be shown.
set -euo pipefail

build_dir=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
game="$build_dir/veltrane-game"
out_dir=docs/screenshots

if [[ ! -x "$game" ]]; then
    echo "screenshots: $game not found; build first (make build)" >&2
    exit 1
fi

# Start a virtual display of our own unless we already run inside one.
if [[ -z "${VL_SCREENSHOTS_IN_XVFB:-}" ]]; then
    export VL_SCREENSHOTS_IN_XVFB=1
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

mkdir -p "$out_dir"
work=$(mktemp -d)
log="$work/veltrane.log"
config="$work/vl-config.txt"
title="veltrane-screenshots-$$"
echo "window_title:$title," >"$config"

VELTRANE_LOG="$log" VELTRANE_CONFIG="$config" ALSOFT_DRIVERS=null "$game" &
pid=$!
cleanup() {
    kill "$pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# Waits until pattern occurs at least count times in the log; fails if the game ends first.
wait_log() {
    local pattern=$1 count=$2 tries=0
    until [[ $(grep -c -- "$pattern" "$log" 2>/dev/null || true) -ge $count ]]; do
        if ! kill -0 "$pid" 2>/dev/null; then
            echo "screenshots: the game ended while waiting for '$pattern'" >&2
            exit 1
        fi
        tries=$((tries + 1))
        if [[ $tries -gt 400 ]]; then
            echo "screenshots: '$pattern' never appeared in the log" >&2
            exit 1
        fi
        sleep 0.05
    done
}

key() {
    xdotool key --clearmodifiers "$@"
}

capture() {
    local name=$1 settle=$2
    sleep "$settle"
    import -window "$wid" "$out_dir/$name.png"
    echo "screenshots: $out_dir/$name.png"
}

wid=$(xdotool search --sync --onlyvisible --name "$title" | head -n 1)
xdotool windowfocus --sync "$wid" || true
capture title 1.0

shadow_switches=0
for level in 1 2 3 4 5 6; do
    key "$level"
    key Return
    # Restarting proves the level runs and rebuilds it from its first step.
    key r
    wait_log "Restarting level $level" 1
    capture "level-$level-light" 1.5
    key s
    shadow_switches=$((shadow_switches + 1))
    wait_log "SHADOW SWITCH" "$shadow_switches"
    capture "level-$level-shadow" 0.5
    key q
done

key q
wait "$pid" || true
trap - EXIT
rm -rf "$work"
