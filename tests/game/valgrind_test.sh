#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Level replays under valgrind's memcheck, headless: no invalid access, no uninitialised value, no block
# definitely or indirectly lost. Skipped in a sanitizer build, which cannot run under valgrind.
source "$(dirname "$0")/testlib.sh"
if grep -q '^VL_SANITIZE:BOOL=ON' "$build_dir/CMakeCache.txt" 2>/dev/null; then
    echo "valgrind_test: a sanitizer build; skipped"
    exit 0
fi
command -v valgrind >/dev/null || { echo "FAIL: valgrind is not installed (scripts/install-deps.sh)"; exit 1; }
echo "headless:true,networking:false,frame_time:0,random_seed:7," >"$work/vl-config.txt"
# A level to its door, the largest level, and restarts, world switches and quitting.
for name in level-1 level-6 mechanics; do
    report="$work/$name.valgrind"
    VELTRANE_CONFIG="$work/vl-config.txt" VELTRANE_LOG="$work/$name.log" VELTRANE_REPLAY="$replays/$name.txt" \
        ALSOFT_DRIVERS=null timeout 240 valgrind --error-exitcode=99 --leak-check=full \
        --show-leak-kinds=definite,indirect --errors-for-leak-kinds=definite,indirect \
        --num-callers=40 --log-file="$report" "$game" >"$work/$name.out" 2>&1
    status=$?
    if [[ $status -ne 0 ]] || ! grep -q "ERROR SUMMARY: 0 errors" "$report" ||
        ! grep -q "Replay finished at step" "$work/$name.log" || ! grep -q "Game engine stopped" "$work/$name.log"; then
        fail "$name: exit status $status (99: errors or leaks), or no clean end of the replay"
        cat "$report" && tail -n 30 "$work/$name.out"
    fi
done
finish "valgrind: no errors and no leaks"
