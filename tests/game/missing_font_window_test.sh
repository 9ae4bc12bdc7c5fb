#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The game in a real window without a usable font (missing, or not a font at all): it cannot draw a
# character, so it stops with status 1, naming the file in the log and on standard error.
set -uo pipefail

game="${VL_BUILD_DIR:?VL_BUILD_DIR must name the build directory}/veltrane-game"
source_dir="${VL_SOURCE_DIR:-$(pwd)}"
game=$(cd "$(dirname "$game")" && pwd)/$(basename "$game")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failures=0
fail() {
    echo "FAIL: $case_name: $*"
    failures=$((failures + 1))
}

mkdir -p "$work/data"
cp -r "$source_dir/sprites" "$source_dir/sounds" "$work/data/"
echo "networking:false,window_title:veltrane-font-test-$$," >"$work/vl-config.txt"

check_run() {
    local log="$work/$case_name.log" err="$work/$case_name.err" status
    (cd "$work/data" && env -u ALSOFT_CONF ALSOFT_DRIVERS=null VELTRANE_CONFIG="$work/vl-config.txt" \
        VELTRANE_LOG="$log" timeout 60 "$game" >/dev/null 2>"$err")
    status=$?
    [[ $status -eq 1 ]] || fail "exit status $status"
    grep -qF "DisplayManager::startUp(): Error! Unable to open font from file 'vl-font.ttf'." "$log" ||
        fail "the font is not named in the log"
    grep -qF "Error starting game manager" "$log" || fail "no reason for stopping in the log"
    grep -qF "cannot load the font file 'vl-font.ttf'" "$err" || fail "the font is not named on standard error"
    [[ "$(tail -n 1 "$log")" == *"** Game engine stopped **" ]] || fail "the log does not end with the stop banner"
    local lines
    lines=$(wc -l <"$log")
    [[ $lines -le 20 ]] || fail "$lines log lines"
    if grep -q "did not load" "$log"; then
        fail "the game went on to load its data"
    fi
    [[ $failures -eq 0 ]] && echo "$case_name: ok"
}

case_name="no font file"
check_run

case_name="not a font"
printf "not a font, only text\n%.0s" $(seq 1 200) >"$work/data/vl-font.ttf"
check_run

if [[ $failures -ne 0 ]]; then
    echo "$failures failure(s)"
    exit 1
fi
