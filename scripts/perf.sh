#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Measures the game's loop on this machine (docs/performance.md): the title screen and each of the six
# levels, headless and in a window under Xvfb, with the machine's load before and after every set.
#
#   scripts/perf.sh [build directory, default build-bench] [samples per scene, default 1000]
#
# PERF_MODES (default "headless window") and PERF_SCENES (default "title 1 2 3 4 5 6") choose a subset;
# PERF_FLAGS adds options for the bench, e.g. --no-culling to measure the frame without that saving.
#
# Needs <build>/bench/GameLoopBench (make perf builds it). Every scene runs in its own process with the
# real 33 ms sleep, so one set takes about half a minute; all fourteen take about nine.
set -euo pipefail

build_dir=${1:-build-bench}
samples=${2:-1000}
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bench="$build_dir/bench/GameLoopBench"

if [[ ! -x "$bench" ]]; then
    echo "perf: $bench not found; build it first (make perf)" >&2
    exit 1
fi

# A virtual display of our own, as the tests use, unless we already run inside one.
if [[ -z "${VL_PERF_IN_XVFB:-}" ]]; then
    export VL_PERF_IN_XVFB=1
    exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$0" "$@"
fi

export ALSOFT_DRIVERS=null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "== $(nproc) cores, $(uname -sr), $(date -u '+%Y-%m-%d %H:%M:%S UTC'), $samples samples per scene"
status=0
read -r -a extra <<<"${PERF_FLAGS:-}"
for mode in ${PERF_MODES:-headless window}; do
    flags=("${extra[@]}")
    [[ $mode == headless ]] && flags+=(--headless)
    for scene in ${PERF_SCENES:-title 1 2 3 4 5 6}; do
        echo "-- load: $(uptime | sed 's/.*load average/load average/')"
        # The launch time lets the bench count exec and library loading in its start-up figure.
        if ! VL_PERF_T0=$EPOCHREALTIME "$bench" --scene "$scene" --samples "$samples" "${flags[@]}" \
            2>"$work/stderr"; then
            echo "perf: scene $scene ($mode) failed:" >&2
            cat "$work/stderr" >&2
            status=1
        fi
    done
done
echo "-- load: $(uptime | sed 's/.*load average/load average/')"
exit $status
