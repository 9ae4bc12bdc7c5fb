#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The real game in a real window, keys pressed with xdotool: choose level 1, switch worlds, back to
# the title and quit, each stage checked in the log and a screenshot. Then the title music recorded
# until the close button ends the game, the window destroyed under the game, and no usable font.
source "$(dirname "$0")/testlib.sh"
close_window="$build_dir/tests/tools/vltest-close-window"
shots="$work/shots"
mkdir -p "$shots"
pid=""
log=""
trap '[[ -n "$pid" ]] && kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT

# Stops at the first failure.
fail() {
    echo "FAIL: $*"
    [[ -n "$log" && -f "$log" ]] && tail -n 30 "$log"
    exit 1
}

shot() { import -window "$wid" "$shots/$1.png" 2>/dev/null || fail "could not take screenshot $1"; }
# "blue black": pixels of the engine's blue (light-world things, text) and black (shadow-world things).
ink() {
    convert "$shots/$1.png" -format %c histogram:info:- |
        sed -E 's/^ *([0-9]+): *\( *([0-9.]+), *([0-9.]+), *([0-9.]+).*/\1 \2 \3 \4/' |
        awk '{ if ($4 >= 200 && $2 <= 128 && $3 <= 128) blue += $1;
               else if ($2 <= 64 && $3 <= 64 && $4 <= 64) black += $1 }
             END { print blue + 0, black + 0 }'
}
# Pixels that differ between two screenshots; anything unreadable counts as all different.
differing() {
    compare -metric AE -fuzz 10% "$shots/$1.png" "$shots/$2.png" null: 2>&1 |
        awk 'NR == 1 { if ($1 ~ /^[0-9.e+]+$/) printf "%d\n", $1 + 0; else print 999999999 }'
}
# Screenshots name-1, name-2, ... until check accepts two in a row with the same output (one may catch
# half a frame); the last is copied to name. At most tries.
poll() {
    local name=$1 tries=$2 check=$3 i seen="-" now
    for ((i = 1; i <= tries; i++)); do
        kill -0 "$pid" 2>/dev/null || fail "the game ended while waiting for $name"
        shot "$name-$i"
        if now=$("$check" "$name-$i"); then
            [[ "$now" == "$seen" ]] && cp "$shots/$name-$i.png" "$shots/$name.png" && return 0
            seen=$now
        else
            seen="-"
            sleep 0.1
        fi
    done
    fail "$name: no screenshot as expected after $tries tries ($check)"
}

wait_log() {
    local i
    for ((i = 0; i < 300; i++)); do
        [[ $(count "$1" "$log") -ge 1 ]] && return 0
        kill -0 "$pid" 2>/dev/null || fail "the game ended while waiting for '$1' in the log"
        sleep 0.05
    done
    fail "'$1' did not appear in the log"
}
# The game ends by itself, cleanly: status 0, no error, the stop banner last, a few dozen lines (overrun
# reports aside: a busy machine may rightly make one every frame).
wait_exit() {
    local i
    for ((i = 0; i < 200; i++)); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.05
    done
    kill -0 "$pid" 2>/dev/null && fail "$1 did not end the game"
    wait "$pid" || fail "$1: exit status $?"
    pid=""
    [[ "$(tail -n 1 "$log")" == *"** Game engine stopped **" ]] || fail "$1: no stop banner at the log's end"
    [[ $(count "Error" "$log") -eq 0 ]] || fail "$1: errors in the log"
    [[ $(grep -vc "Can't keep up!" "$log") -le 100 ]] || fail "$1: too many log lines"
}
# Starts a session in a window of its own title, waiting for the title screen; further arguments are environment settings.
start_game() {
    local session=$1 title="veltrane-play-test-$$-$1"
    shift
    log="$work/$session.log"
    echo "window_title:$title,networking:false," >"$work/vl-config.txt"
    env -u ALSOFT_CONF ALSOFT_DRIVERS=null "$@" VELTRANE_CONFIG="$work/vl-config.txt" VELTRANE_LOG="$log" \
        "$game" >"$work/$session.out" 2>&1 &
    pid=$!
    wid=$(timeout 30 xdotool search --sync --onlyvisible --name "$title" | head -n 1)
    [[ -n "$wid" ]] || fail "no window titled $title"
    xdotool windowfocus --sync "$wid" 2>/dev/null || true
    poll title 100 is_title
}
key() { xdotool key --clearmodifiers "$@"; }

# The title: blue text on white with black side borders, far more blue than black.
is_title() {
    local blue black
    read -r blue black < <(ink "$1")
    [[ $blue -ge 10000 && $blue -ge $((3 * black)) && $black -ge 1000 ]] && echo "$blue $black"
}
same_as_title() { [[ $(differing title "$1") -le 100 ]]; }
# A level: far from the title (the pixels in it are the graphics tests' business).
is_level() { [[ $(differing title "$1") -gt 5000 ]]; }
# The shadow world: the borders spell SHADE in black instead of LIGHT in blue.
is_shadow() {
    local blue black
    read -r blue black < <(ink "$1")
    [[ $blue -le $((light_blue - 2000)) && $black -ge $((light_black + 2000)) ]]
}

start_game play
key 3 1 Return
wait_log "Starting level 1"
poll level 100 is_level
read -r light_blue light_black < <(ink level)
key s
wait_log "SHADOW SWITCH"
poll shadow 50 is_shadow
key q
wait_log "Back on the title screen"
poll title-again 100 same_as_title
key q
wait_exit "Q on the title screen"

# The title music, clearly audible, until the close button: the wave device writes 352800 bytes a
# second in real time; two seconds of it are waited for.
printf '[general]\ndrivers = wave\n[wave]\nfile = %s\n' "$work/out.wav" >"$work/alsoft.conf"
start_game close ALSOFT_DRIVERS=wave ALSOFT_CONF="$work/alsoft.conf"
for _ in $(seq 1 300); do
    [[ $(stat -c %s "$work/out.wav" 2>/dev/null || echo 0) -ge 705600 ]] && break
    sleep 0.1
done
"$close_window" "$wid" || fail "could not ask the window to close"
wait_exit "closing the window"
rms=$(sox "$work/out.wav" -n stat 2>&1 | awk '/RMS +amplitude/ {print $3}')
awk -v r="${rms:-0}" 'BEGIN { exit !(r > 0.01) }' || fail "the recorded title music is silent (RMS '$rms')"

start_game destroyed
"$close_window" --destroy "$wid" || fail "could not destroy the window"
wait_exit "destroying the window"
[[ $(count "Window destroyed from outside" "$log") -eq 1 ]] || fail "destroying the window: not logged"

# Without a usable font (missing, or not a font) the game stops with status 1, naming the file.
mkdir -p "$work/data"
cp -r "$source_dir/sprites" "$source_dir/sounds" "$work/data/"
for font in missing text; do
    [[ $font == text ]] && printf "not a font, only text\n%.0s" $(seq 1 200) >"$work/data/vl-font.ttf"
    case_name="font $font"
    run_game "networking:false,"
    expect 1 "Error! Unable to open font from file 'vl-font.ttf'." "cannot load the font file 'vl-font.ttf'" 20
    [[ $(count "Error starting game manager" "$log") -eq 1 ]] || fail "$case_name: no reason for stopping in the log"
    [[ $(count "did not load" "$log") -eq 0 ]] || fail "$case_name: the game went on to load its data"
done
echo "play, title music (RMS $rms), closing or destroying the window and a missing font: all as expected"
