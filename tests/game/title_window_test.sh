#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The game as `make run` starts it: a window on the title screen with the title music playing.
# Runs under the test Xvfb display with the audio written to a WAV file, then quits with Q.
set -uo pipefail

game="${VL_BUILD_DIR:?VL_BUILD_DIR must name the build directory}/veltrane-game"
work=$(mktemp -d)
pid=""
cleanup() {
    if [[ -n "$pid" ]]; then
        kill "$pid" 2>/dev/null
    fi
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*"
    [[ -f "$work/veltrane.log" ]] && cat "$work/veltrane.log"
    exit 1
}

title="veltrane-title-test-$$"
echo "window_title:$title,networking:false," >"$work/vl-config.txt"
printf '[general]\ndrivers = wave\n[wave]\nfile = %s\n' "$work/out.wav" >"$work/alsoft.conf"

env -u ALSOFT_DRIVERS ALSOFT_CONF="$work/alsoft.conf" VELTRANE_CONFIG="$work/vl-config.txt" \
    VELTRANE_LOG="$work/veltrane.log" "$game" >"$work/out.txt" 2>&1 &
pid=$!

wid=$(timeout 30 xdotool search --sync --onlyvisible --name "$title" | head -n 1)
[[ -n "$wid" ]] || fail "no window titled $title"

# The wave device writes in real time: 32-bit float stereo at 44.1 kHz, 352800 bytes a second.
# Wait for two seconds of it.
for _ in $(seq 1 300); do
    size=$(stat -c %s "$work/out.wav" 2>/dev/null || echo 0)
    [[ $size -ge 705600 ]] && break
    kill -0 "$pid" 2>/dev/null || fail "the game ended on its own"
    sleep 0.1
done
[[ ${size:-0} -ge 705600 ]] || fail "no audio was written"

xdotool windowfocus --sync "$wid" 2>/dev/null || true
xdotool key --clearmodifiers q
for _ in $(seq 1 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
    fail "Q on the title screen did not end the game"
fi
wait "$pid"
status=$?
pid=""
[[ $status -eq 0 ]] || fail "exit status $status"
grep -q "Game engine stopped" "$work/veltrane.log" || fail "no clean shut-down in the log"
if grep -q "Error" "$work/veltrane.log"; then
    fail "errors in the log"
fi

# The title music must be clearly audible, not silence.
rms=$(sox "$work/out.wav" -n stat 2>&1 | awk '/RMS +amplitude/ {print $3}')
[[ -n "$rms" ]] || fail "could not measure the recorded audio"
if ! awk -v r="$rms" 'BEGIN { exit !(r > 0.01) }'; then
    fail "the recorded title music is silent (RMS $rms)"
fi
echo "ok: window '$title', title music RMS $rms, exit status 0"
