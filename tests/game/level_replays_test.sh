#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Plays every level replay with the game executable itself, headless and as fast as the loop
# goes, and checks that each ends through the door, back on the title screen, with a clean exit.
set -uo pipefail

game="${VL_BUILD_DIR:?VL_BUILD_DIR must name the build directory}/veltrane-game"
replays="${VL_SOURCE_DIR:-.}/tests/game/replays"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
echo "headless:true,networking:false,frame_time:0," >"$work/vl-config.txt"

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

count() {
    grep -c -- "$1" "$2" || true
}

for replay in "$replays"/level-*.txt "$replays"/mechanics.txt; do
    name=$(basename "$replay" .txt)
    log="$work/$name.log"
    VELTRANE_CONFIG="$work/vl-config.txt" VELTRANE_LOG="$log" VELTRANE_REPLAY="$replay" \
        ALSOFT_DRIVERS=null timeout 120 "$game" >"$work/$name.out" 2>&1
    status=$?
    [[ $status -eq 0 ]] || fail "$name: exit status $status"
    [[ $(count "Replaying input from" "$log") -eq 1 ]] || fail "$name: the replay was not read"
    if [[ $name == mechanics ]]; then
        [[ $(count "door entered" "$log") -eq 0 ]] || fail "$name: a door was entered"
        [[ $(count "Restarting level 1" "$log") -eq 1 ]] || fail "$name: no restart of level 1"
    else
        [[ $(count "door entered" "$log") -eq 1 ]] || fail "$name: the door was not entered once"
    fi
    [[ $(count "Error" "$log") -eq 0 ]] || fail "$name: errors in the log"
    [[ $(count "Game engine stopped" "$log") -eq 1 ]] || fail "$name: no clean shut-down"
    echo "$name: $(count 'SHADOW SWITCH' "$log") world switches, $(count switched "$log") lever pulls, exit $status"
done

if [[ $failures -ne 0 ]]; then
    echo "$failures failure(s)"
    exit 1
fi
echo "all replays passed"
