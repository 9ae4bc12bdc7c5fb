#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the example game in examples/ against an installed engine only, then plays it headless
# with its replay and checks the outcome in its log (scripts/play-example.sh).
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

outcome=$(bash "$root/scripts/play-example.sh" "$build/gem-chase" "$build" "$work/src/gem-chase-replay.txt")
echo "check-example: gem-chase built against $prefix; ${outcome#play-example: }"
