#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The page's figures (docs/performance.md, "In the browser"), and the window's on the same scenes in the
# same run: page weight, time to the first frame in headless Chromium, and the work of one loop iteration
# on the title screen and in level 1 in the page (bench/page-figures.js) and in a window under Xvfb
# (GameLoopBench).
#
#   scripts/web-perf.sh [web page folder, default build-web] [bench build, default build-bench] [loads, default 5]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
page=$(realpath "${1:-$root/build-web}")
bench=$(realpath "${2:-$root/build-bench}")/bench/GameLoopBench
loads=${3:-5}
[[ -f "$page/veltrane.js" ]] || { echo "web-perf: no page in $page (make web)" >&2; exit 1; }
[[ -x "$bench" ]] || { echo "web-perf: no $bench (make perf builds it)" >&2; exit 1; }
(cd "$root/tests/web" && [[ -d node_modules/playwright-core ]] || npm ci --no-audit --no-fund) >&2

echo "== $(nproc) cores, $(uname -sr), $(date -u '+%Y-%m-%d %H:%M:%S UTC')"
echo "-- load: $(uptime | sed 's/.*load average/load average/')"
echo "== the page, headless Chromium"
NODE_PATH="$root/tests/web/node_modules" node "$root/bench/page-figures.js" "$page" "$root/tests/game/replays" "$loads"
for scene in title 1; do
    echo "-- load: $(uptime | sed 's/.*load average/load average/')"
    echo "== the window (Xvfb), scene $scene"
    (cd "$root" && ALSOFT_DRIVERS=null xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
        "$bench" --scene "$scene" --samples 600 | grep -E '^(==|work|cpu)')
done
