#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The game started with no reachable X display: start-up fails cleanly with the window message in the log,
# a hint on the console and exit status 1, instead of the graphics library aborting the process.
set -euo pipefail

dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
printf 'headless:false,\nnetworking:false,\n' > "$dir/vl-config.txt"

check_run() {
    local label=$1
    shift
    local status=0
    env "$@" VELTRANE_CONFIG="$dir/vl-config.txt" VELTRANE_LOG="$dir/veltrane.log" \
        "$VL_BUILD_DIR/veltrane-game" > "$dir/out" 2> "$dir/err" || status=$?
    if [[ $status -ne 1 ]]; then
        echo "$label: exit status $status, expected 1"
        cat "$dir/err"
        exit 1
    fi
    if ! grep -q "DisplayManager::startUp(): Unable to allocate window!" "$dir/veltrane.log"; then
        echo "$label: the window message is missing from the log"
        cat "$dir/veltrane.log"
        exit 1
    fi
    if ! grep -q "GameManager::startUp(): Error! Starting display manager." "$dir/veltrane.log"; then
        echo "$label: the game manager did not report the display failure"
        exit 1
    fi
    if ! grep -q "xvfb-run" "$dir/err"; then
        echo "$label: no hint on the console"
        cat "$dir/err"
        exit 1
    fi
    echo "$label: ok"
}

check_run "no DISPLAY" -u DISPLAY
check_run "dead X server" DISPLAY=:4711
