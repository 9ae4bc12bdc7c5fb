#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The game exits with status 1 and says why when the engine cannot start.
set -u
game="$VL_BUILD_DIR/veltrane-game"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

printf 'headless:true,\nnetworking:false,\n' > "$work/vl-config.txt"
VELTRANE_CONFIG="$work/vl-config.txt" VELTRANE_LOG="$work/missing-dir/veltrane.log" \
    timeout 60 "$game" 2> "$work/stderr.txt"
status=$?
if [ "$status" -ne 1 ]; then
    echo "expected exit status 1, got $status"
    exit 1
fi
for line in "GameManager::startUp(): Error! Starting log manager." "Error starting game manager" \
            "** Game engine stopped **"; do
    if ! grep -qF "$line" "$work/stderr.txt"; then
        echo "missing on standard error: $line"
        cat "$work/stderr.txt"
        exit 1
    fi
done
echo "ok"
