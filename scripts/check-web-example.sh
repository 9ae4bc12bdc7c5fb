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
# The outcome scripts/play-example.sh expects of the desktop build, in the page's log.
if grep -qE "Error|Warning|NOT loaded|not found|found no path|pageerror" "$log"; then
    show_log
    fail "the page reports an error or a warning"
fi
# The first path starts in the chaser's corridor, one row high; only then can it catch the hero. Its
# search may take more than one iteration (it is searched a little in each), but ends within the 30
# steps before the next.
first=$(grep -m1 -F "GemChase: chaser found" "$log" || true)
[[ "$first" =~ \ ([0-9]+)\ GemChase:\ chaser\ found\ a\ path\ of && ${BASH_REMATCH[1]} -lt 30 ]] ||
    { show_log; fail "the first path search did not find a path within its 30 steps: '$first'"; }
for line in "GemChase: gem collected, score 10" \
    "GemChase: gem collected, score 20" "GemChase: gem collected, score 30" \
    "GemChase: caught by the chaser with score 30"; do
    grep -qF "$line" "$log" || { show_log; fail "no line '$line'"; }
done
echo "check-web-example: gem-chase built as a page against $prefix, played its replay in Chromium:" \
    "$(grep -c 'path of' "$log") chaser paths, caught with score 30, clean stop"
