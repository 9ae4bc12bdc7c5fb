#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# An error the engine logs also reaches standard error, once, while that is a terminal; not otherwise.
set -u
game="$(realpath "$VL_BUILD_DIR")/veltrane-game"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf 'headless:false,\nnetworking:false,\n' > "$work/vl-config.txt"
run="env DISPLAY=:97 VELTRANE_CONFIG=$work/vl-config.txt VELTRANE_LOG=$work/veltrane.log timeout 60 $game"
message="GameManager::startUp(): Error! Starting display manager."
script -qec "$run" /dev/null > "$work/terminal.txt" 2>&1
count=$(grep -cF "Veltrane: $message" "$work/terminal.txt")
[ "$count" -eq 1 ] || { echo "on a terminal: $count copies of the error"; cat "$work/terminal.txt"; exit 1; }
$run 2> "$work/stderr.txt"
grep -qF "start-up failed: the display manager did not start." "$work/veltrane.log" || { echo "no start-up failed line"; exit 1; }
! grep -qF "$message" "$work/stderr.txt" || { echo "echoed although standard error is a file"; exit 1; }
echo "ok"
