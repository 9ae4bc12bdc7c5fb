#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The page's tests in headless Chromium (make web-test): installs playwright-core from the lock file when
# it is missing or out of date, then runs tests/web/page_test.js against a built page and desktop game.
#   tests/web/run-page-tests.sh BUILD_DIR WEB_BUILD_DIR
set -euo pipefail
if [[ $# -ne 2 ]]; then
    echo "usage: $0 BUILD_DIR WEB_BUILD_DIR" >&2
    exit 2
fi
game=$(realpath "$1/veltrane-game")
page=$(realpath "$2")
cd "$(dirname "$0")"
[[ -x "$game" ]] || { echo "run-page-tests: no $game; make build first" >&2; exit 1; }
[[ -f "$page/veltrane.js" ]] || { echo "run-page-tests: no page in $page; make web first" >&2; exit 1; }
# playwright-core 1.64 (package-lock.json) needs Node.js 20 or later; Debian 12's own is 18.
if (( $(node -p 'process.versions.node.split(".")[0]') < 20 )); then
    echo "run-page-tests: Node.js $(node --version) is too old for playwright-core; 20 or later is needed" >&2
    exit 1
fi
if [[ ! -f node_modules/.package-lock.json || package-lock.json -nt node_modules/.package-lock.json ]]; then
    npm ci --no-audit --no-fund
fi
VL_GAME="$game" VL_WEB_DIR="$page" node --test --test-concurrency=1 page_test.js
