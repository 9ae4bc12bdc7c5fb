#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the example game in examples/ as a web page against the engine installed for the browser only,
# then plays its replay in headless Chromium and checks the outcome in the page's log (its console).
#
# Usage: scripts/check-web-example.sh PREFIX BUILD_DIR
#   PREFIX     where `make web-install WEB_PREFIX=...` put the engine built for the browser
#   BUILD_DIR  the example's build directory (emptied first)
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
    echo "check-web-example: FAILED: $*" >&2
    exit 1
}

cp -r "$root/examples" "$work/src"
if [[ -n "$(ls -A "$build")" && ! -f "$build/CMakeCache.txt" ]]; then
    fail "$build is neither empty nor a build directory"
fi
find "$build" -mindepth 1 -delete
emcmake cmake -S "$work/src" -B "$build" -Dveltrane_DIR="$prefix/lib/cmake/veltrane" -DCMAKE_CXX_FLAGS=-Werror
cmake --build "$build" -j"${JOBS:-2}"
if grep -rqs -- "$root/engine" "$build/CMakeCache.txt" "$build/CMakeFiles/gem-chase.dir/flags.make" \
        "$build/CMakeFiles/gem-chase.dir/link.txt"; then
    fail "the example's build refers to the source tree's engine/"
fi
for file in index.html gem-chase.js gem-chase.wasm gem-chase.data; do
    [[ -f "$build/page/$file" ]] || fail "no $file in $build/page"
done

cp "$work/src/gem-chase-replay.txt" "$work/replay.txt"
(cd "$root/tests/web" && [[ -d node_modules/playwright-core ]] || npm ci --no-audit --no-fund) >&2
status=0
node "$root/tests/web/play-page.js" "$build/page" "$work" "?replay=files/replay.txt&random_seed=7" \
    "** Game engine stopped **" 120 > "$work/console.txt" || status=$?
log="$work/console.txt"
show_log() {
    echo "---- console ----" >&2
    cat "$log" >&2
}
[[ $status -eq 0 ]] || { show_log; fail "the page never logged the stop banner"; }
# The outcome the desktop build is held to, in the page's log.
paths=$(bash "$root/scripts/example-outcome.sh" "$log" check-web-example)
echo "check-web-example: gem-chase built as a page against $prefix, played its replay in Chromium:" \
    "$paths chaser paths, caught with score 30, clean stop"
