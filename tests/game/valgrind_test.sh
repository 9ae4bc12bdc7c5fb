#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Plays level replays with the game executable under valgrind's memcheck, headless: no invalid
# access, no use of uninitialised memory, and no block definitely or indirectly lost at exit.
# Skipped in a sanitizer build, whose executables cannot run under valgrind.
set -uo pipefail

build="${VL_BUILD_DIR:?VL_BUILD_DIR must name the build directory}"
game="$build/veltrane-game"
replays="${VL_SOURCE_DIR:-.}/tests/game/replays"

if grep -q '^VL_SANITIZE:BOOL=ON' "$build/CMakeCache.txt" 2>/dev/null; then
    echo "valgrind_test: $build is a sanitizer build; skipped"
    exit 0
fi
if ! command -v valgrind >/dev/null; then
    echo "FAIL: valgrind is not installed (scripts/install-deps.sh installs it)"
    exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
echo "headless:true,networking:false,frame_time:0,random_seed:7," >"$work/vl-config.txt"

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# A level played to its door, the last and largest level, and restarts, world switches and quitting.
for name in level-1 level-6 mechanics; do
    log="$work/$name.log"
    report="$work/$name.valgrind"
    VELTRANE_CONFIG="$work/vl-config.txt" VELTRANE_LOG="$log" VELTRANE_REPLAY="$replays/$name.txt" \
        ALSOFT_DRIVERS=null timeout 240 valgrind --error-exitcode=99 --leak-check=full \
        --show-leak-kinds=definite,indirect --errors-for-leak-kinds=definite,indirect \
        --num-callers=40 --log-file="$report" "$game" >"$work/$name.out" 2>&1
    status=$?
    if [[ $status -eq 99 ]]; then
        fail "$name: valgrind found errors or leaks:"
        cat "$report"
    elif [[ $status -ne 0 ]]; then
        fail "$name: exit status $status"
        tail -n 30 "$report" "$work/$name.out"
    fi
    grep -q "ERROR SUMMARY: 0 errors" "$report" || fail "$name: no clean error summary from valgrind"
    grep -q "Replay finished at step" "$log" || fail "$name: the replay did not play to its end"
    grep -q "Game engine stopped" "$log" || fail "$name: no clean shut-down"
    echo "$name: $(grep -o 'total heap usage: .*' "$report"), exit $status"
done

if [[ $failures -ne 0 ]]; then
    echo "$failures failure(s)"
    exit 1
fi
echo "valgrind: no errors and no leaks"
