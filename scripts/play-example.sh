#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Plays the example game headless with its replay, checks that its log ends with the stop banner and
# the outcome in it (scripts/example-outcome.sh). scripts/check-example.sh runs it on a build against
# an installed engine, and make test (tests/examples/example_test.sh) on a build against the source tree.
#
# Usage: scripts/play-example.sh PROGRAM RUN_DIR REPLAY
#   PROGRAM  the built gem-chase
#   RUN_DIR  the working directory to play in: it holds sprites/, sounds/ and vl-font.ttf
#   REPLAY   the replay file (examples/gem-chase-replay.txt)
set -euo pipefail

if [[ $# -ne 3 ]]; then
    echo "usage: $0 PROGRAM RUN_DIR REPLAY" >&2
    exit 2
fi
program=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
run_dir=$2
replay=$(cd "$(dirname "$3")" && pwd)/$(basename "$3")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "play-example: FAILED: $*" >&2
    exit 1
}

printf 'headless:true,\nframe_time:0,\nnetworking:false,\nrandom_seed:7,\n' > "$work/config.txt"
status=0
(cd "$run_dir" && ALSOFT_DRIVERS=null VELTRANE_CONFIG="$work/config.txt" VELTRANE_LOG="$work/game.log" \
    VELTRANE_REPLAY="$replay" timeout 60 "$program") || status=$?
log="$work/game.log"
[[ -f "$log" ]] || fail "no log written (exit status $status)"

show_log() {
    echo "---- log ----" >&2
    cat "$log" >&2
}
[[ $status -eq 0 ]] || { show_log; fail "exit status $status"; }
[[ "$(tail -n 1 "$log")" == *"** Game engine stopped **" ]] || { show_log; fail "the log does not end with the stop banner"; }
paths=$(bash "$(dirname "$0")/example-outcome.sh" "$log" play-example)
echo "play-example: $paths chaser paths, the first out of its corridor, caught with score 30, clean stop"
