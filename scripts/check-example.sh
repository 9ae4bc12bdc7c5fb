#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the example game in examples/ against an installed engine only, then plays it headless
# with its replay and checks the outcome in its log.
#
# Usage: scripts/check-example.sh PREFIX BUILD_DIR
#   PREFIX     where `make install PREFIX=...` put the engine
#   BUILD_DIR  the example's build directory (emptied first)
# The sources are built from a copy outside the repository, so nothing can reach engine/.
set -euo pipefail

if [[ $# -ne 2 ]]; then
    echo "usage: $0 PREFIX BUILD_DIR" >&2
    exit 2
fi
root=$(cd "$(dirname "$0")/.." && pwd)
prefix=$(cd "$1" && pwd)
mkdir -p "$2"
build=$(cd "$2" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "check-example: FAILED: $*" >&2
    exit 1
}

cp -r "$root/examples" "$work/src"
# The installed sprite checker accepts the example's sprites before anything is built.
"$prefix/bin/veltrane-sprite" check --no-color "$work/src"/sprites/*.txt >"$work/sprites.txt" ||
    fail "veltrane-sprite refused the example's sprites: $(cat "$work/sprites.txt")"
# Only an empty directory or an earlier build is emptied: a mistyped path must not lose files.
if [[ -n "$(ls -A "$build")" && ! -f "$build/CMakeCache.txt" ]]; then
    fail "$build is neither empty nor a build directory"
fi
find "$build" -mindepth 1 -delete
cmake -S "$work/src" -B "$build" -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_CXX_FLAGS=-Werror
cmake --build "$build" -j"${JOBS:-2}"
if grep -rqs -- "$root/engine" "$build/CMakeCache.txt" "$build/CMakeFiles/gem-chase.dir/flags.make"; then
    fail "the example's build refers to the source tree's engine/"
fi

printf 'headless:true,\nframe_time:0,\nnetworking:false,\nrandom_seed:7,\n' > "$work/config.txt"
status=0
(cd "$build" && ALSOFT_DRIVERS=null VELTRANE_CONFIG="$work/config.txt" VELTRANE_LOG="$work/game.log" \
    VELTRANE_REPLAY="$work/src/gem-chase-replay.txt" timeout 60 ./gem-chase) || status=$?
log="$work/game.log"
[[ -f "$log" ]] || fail "no log written (exit status $status)"

show_log() {
    echo "---- log ----" >&2
    cat "$log" >&2
}
[[ $status -eq 0 ]] || { show_log; fail "exit status $status"; }
[[ "$(tail -n 1 "$log")" == *"** Game engine stopped **" ]] || { show_log; fail "the log does not end with the stop banner"; }
if grep -qE "Error|NOT loaded|not found" "$log"; then
    show_log
    fail "the log reports an error"
fi
for line in "GemChase: chaser found a path of" "GemChase: gem collected, score 10" \
    "GemChase: gem collected, score 20" "GemChase: caught by the chaser with score 20"; do
    grep -qF "$line" "$log" || { show_log; fail "no line '$line'"; }
done
echo "check-example: gem-chase built against $prefix, played its replay: $(grep -c 'path of' "$log") chaser paths, caught with score 20, clean stop"
