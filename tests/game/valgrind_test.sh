#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Plays level replays with the game executable under valgrind's memcheck, headless: no invalid access,
# no use of uninitialised memory, and no block definitely or indirectly lost at exit. Skipped in a
# sanitizer build, whose executables cannot run under valgrind.
set -uo pipefail

build="${VL_BUILD_DIR:?VL_BUILD_DIR must name the build directory}"
replays="${VL_SOURCE_DIR:-.}/tests/game/replays"
if grep -q '^VL_SANITIZE:BOOL=ON' "$build/CMakeCache.txt" 2>/dev/null; then
    echo "valgrind_test: $build is a sanitizer build; skipped"
    exit 0
fi
command -v valgrind >/dev/null || { echo "FAIL: valgrind is not installed (scripts/install-deps.sh installs it)"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
echo "headless:true,networking:false,frame_time:0,random_seed:7," >"$work/vl-config.txt"

failures=0
# A level played to its door, the last and largest level, and restarts, world switches and quitting.
for name in level-1 level-6 mechanics; do
    report="$work/$name.valgrind"
    VELTRANE_CONFIG="$work/vl-config.txt" VELTRANE_LOG="$work/$name.log" VELTRANE_REPLAY="$replays/$name.txt" \
        ALSOFT_DRIVERS=null timeout 240 valgrind --error-exitcode=99 --leak-check=full \
        --show-leak-kinds=definite,indirect --errors-for-leak-kinds=definite,indirect \
        --num-callers=40 --log-file="$report" "$build/veltrane-game" >"$work/$name.out" 2>&1
    status=$?
    if [[ $status -ne 0 ]] || ! grep -q "ERROR SUMMARY: 0 errors" "$report" ||
        ! grep -q "Replay finished at step" "$work/$name.log" || ! grep -q "Game engine stopped" "$work/$name.log"; then
        echo "FAIL: $name: exit status $status (99: valgrind found errors or leaks), or no clean end of the replay"
        cat "$report" && tail -n 30 "$work/$name.out"
        failures=$((failures + 1))
    fi
    echo "$name: $(grep -o 'total heap usage: .*' "$report"), exit $status"
done
[[ $failures -eq 0 ]] || exit 1
echo "valgrind: no errors and no leaks"
