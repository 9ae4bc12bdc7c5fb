#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Checks the example game's log after its replay, from a desktop build or a page alike: no line is a
# warning or an error, the chaser finds its way out of its corridor, three gems are collected and the
# chaser catches the hero. Prints the number of paths found; on a fault prints the log and exits 1.
#
# Usage: scripts/example-outcome.sh LOG WHO
#   LOG  the game's log (or the page's console)
#   WHO  the calling script's name, for the failure line
set -euo pipefail

if [[ $# -ne 2 ]]; then
    echo "usage: $0 LOG WHO" >&2
    exit 2
fi
log=$1
who=$2

fail() {
    echo "---- log ----" >&2
    cat "$log" >&2
    echo "$who: FAILED: $*" >&2
    exit 1
}

# A warning is a dead end the engine noticed, such as a path search that failed.
if grep -qE "Error|Warning|NOT loaded|not found|found no path|pageerror" "$log"; then
    fail "the log reports an error or a warning"
fi
# The first path starts in the chaser's corridor, one row high; only then can it catch the hero. Its
# search may take more than one iteration (it is searched a little in each), but ends within the 30
# steps before the next.
first=$(grep -m1 -F "GemChase: chaser found" "$log" || true)
[[ "$first" =~ \ ([0-9]+)\ GemChase:\ chaser\ found\ a\ path\ of && ${BASH_REMATCH[1]} -lt 30 ]] ||
    fail "the first path search did not find a path within its 30 steps: '$first'"
for line in "GemChase: gem collected, score 10" "GemChase: gem collected, score 20" \
    "GemChase: gem collected, score 30" "GemChase: caught by the chaser with score 30"; do
    grep -qF "$line" "$log" || fail "no line '$line'"
done
grep -c 'path of' "$log"
