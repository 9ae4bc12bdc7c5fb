#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The real game binary in a real window, keys pressed with xdotool. A player's session: choose a level with
# the digit keys, start it, walk, switch to the shadow world, restart, go back to the title and quit,
# each stage checked in the log and in a screenshot. Then the title music recorded while the window is closed
# by its close button, a window closed during a level, and a game without a usable font.
set -uo pipefail

build_dir=$(cd "${VL_BUILD_DIR:?VL_BUILD_DIR must name the build directory}" && pwd)
source_dir="${VL_SOURCE_DIR:-$(pwd)}"
game="$build_dir/veltrane-game"
close_window="$build_dir/tests/tools/vltest-close-window"
work=$(mktemp -d)
shots="$work/shots"
mkdir -p "$shots"
pid=""
log=""
trap '[[ -n "$pid" ]] && kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT

fail() {
    echo "FAIL: $*"
    [[ -n "$log" && -f "$log" ]] && tail -n 30 "$log"
    # The pictures are the evidence: keep them beside the build.
    local keep="$build_dir/Testing/play_window_test-shots"
    rm -rf "$keep" && mkdir -p "$(dirname "$keep")" && cp -r "$shots" "$keep" && echo "screenshots kept in $keep"
    exit 1
}

# ---- pictures: the engine's blue (light-world things and text) and black (shadow-world things) ---------

shot() {
    import -window "$wid" "$shots/$1.png" 2>/dev/null || fail "could not take screenshot $1"
}

# "blue black" pixel counts of a screenshot.
ink() {
    convert "$shots/$1.png" -format %c histogram:info:- |
        sed -E 's/^ *([0-9]+): *\( *([0-9.]+), *([0-9.]+), *([0-9.]+).*/\1 \2 \3 \4/' |
        awk '{ if ($4 >= 200 && $2 <= 128 && $3 <= 128) blue += $1;
               else if ($2 <= 64 && $3 <= 64 && $4 <= 64) black += $1 }
             END { print blue + 0, black + 0 }'
}

# "count x y": blue pixels and their centre left of level 1's middle wall and above its floor, where the
# only blue thing is the player's light form.
player() {
    convert "$shots/$1.png" -crop 410x376+30+100 +repage txt:- |
        awk -F'[ ,:()]+' 'NR > 1 && $5 >= 200 && $3 <= 128 && $4 <= 128 { n++; sx += $1; sy += $2 }
             END { if (n) printf "%d %d %d\n", n, sx / n + 30, sy / n + 100; else print 0, -1, -1 }'
}

# Pixels that differ between two screenshots; anything unreadable counts as all different.
differing() {
    compare -metric AE -fuzz 10% "$shots/$1.png" "$shots/$2.png" null: 2>&1 |
        awk 'NR == 1 { if ($1 ~ /^[0-9.e+]+$/) printf "%d\n", $1 + 0; else print 999999999 }'
}

# Screenshots name-1, name-2, ... until the function check accepts one, at most tries times; the accepted
# one is copied to name. With "steady", two in a row must pass: a screenshot can catch the window half
# way through receiving a frame.
poll() {
    local name=$1 tries=$2 check=$3 steady=${4:-} i passed=0
    for ((i = 1; i <= tries; i++)); do
        kill -0 "$pid" 2>/dev/null || fail "the game ended while waiting for $name"
        shot "$name-$i"
        if "$check" "$name-$i"; then
            passed=$((passed + 1))
            if [[ -z "$steady" || $passed -ge 2 ]]; then
                cp "$shots/$name-$i.png" "$shots/$name.png"
                return 0
            fi
            continue
        fi
        passed=0
        sleep 0.1
    done
    fail "$name: no screenshot as expected after $tries tries ($check)"
}

# ---- the game's log and process ------------------------------------------------------------------

count() {
    grep -c -F -- "$1" "$log" 2>/dev/null || true
}

wait_log() {
    local i
    for ((i = 0; i < 300; i++)); do
        [[ $(count "$1") -ge 1 ]] && return 0
        kill -0 "$pid" 2>/dev/null || fail "the game ended while waiting for '$1' in the log"
        sleep 0.05
    done
    fail "'$1' did not appear in the log"
}

# Waits for the game to end by itself, cleanly: a few dozen log lines (overrun reports left out, a busy
# machine may rightly make one every frame), no error, the stop banner last.
wait_exit() {
    local what=$1 i status
    for ((i = 0; i < 200; i++)); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.05
    done
    kill -0 "$pid" 2>/dev/null && fail "$what did not end the game"
    wait "$pid"
    status=$?
    pid=""
    [[ $status -eq 0 ]] || fail "$what: exit status $status"
    [[ "$(tail -n 1 "$log")" == *"** Game engine stopped **" ]] || fail "$what: the log does not end with the stop banner"
    [[ $(count "Error") -eq 0 ]] || fail "$what: errors in the log"
    [[ $(grep -vc "Can't keep up!" "$log") -le 100 ]] || fail "$what: too many log lines"
}

# Starts a session in a window of its own title; further arguments are environment settings.
start_game() {
    local session=$1
    shift
    title="veltrane-play-test-$$-$session"
    log="$work/$session.log"
    echo "window_title:$title,networking:false," >"$work/vl-config.txt"
    env -u ALSOFT_CONF ALSOFT_DRIVERS=null "$@" VELTRANE_CONFIG="$work/vl-config.txt" VELTRANE_LOG="$log" \
        "$game" >"$work/$session.out" 2>&1 &
    pid=$!
    wid=$(timeout 30 xdotool search --sync --onlyvisible --name "$title" | head -n 1)
    [[ -n "$wid" ]] || fail "no window titled $title"
    xdotool windowfocus --sync "$wid" 2>/dev/null || true
    previous=""
    poll title 100 is_title
}

key() {
    xdotool key --clearmodifiers "$@"
}

# ---- what each stage must look like -------------------------------------------------------------

# The title screen: blue text on white with black side borders, far more blue than black, drawn whole.
is_title() {
    local blue black
    read -r blue black < <(ink "$1")
    if [[ $blue -lt 10000 || $blue -lt $((3 * black)) || $black -lt 1000 ]]; then
        previous=""
        return 1
    fi
    [[ -n "$previous" && $(differing "$previous" "$1") -eq 0 ]] && return 0
    previous=$1
    return 1
}
same_as_title() { [[ $(differing title "$1") -le 100 ]]; }

# The player's light form seen, at rest (the same place twice), and where the condition given wants it.
player_at_rest() {
    local n x y
    read -r n x y < <(player "$1")
    [[ $(differing title "$1") -gt 5000 && $n -ge 200 ]] && eval "$2" || return 1
    [[ "$previous" == "$x $y" ]] && return 0
    previous="$x $y"
    return 1
}
is_level_at_rest() { player_at_rest "$1" true; }
walked_right() { player_at_rest "$1" '[[ $x -ge $((start_x + 12)) ]]'; }  # at least one 12.8-pixel cell

# The shadow world: the borders spell SHADE in black instead of LIGHT in blue.
is_shadow() {
    local blue black
    read -r blue black < <(ink "$1")
    [[ $blue -le $((light_blue - 2000)) && $black -ge $((light_black + 2000)) ]]
}

# Restarted: the player back where the level began.
is_restarted() { player_at_rest "$1" '[[ $x -ge $((start_x - 6)) && $x -le $((start_x + 6)) ]]'; }

# ---- session 1: play ------------------------------------------------------------------------------

start_game play
key 3 1 Return
wait_log "Starting level 1"
poll level 100 is_level_at_rest
read -r light_blue light_black < <(ink level)
read -r _ start_x _ < <(player level)

xdotool keydown d  # held D walks right until let go
wait_log "right"
xdotool keyup d
previous=""
poll walked 100 walked_right

key s
wait_log "SHADOW SWITCH"
poll shadow 50 is_shadow steady
key r
wait_log "Restarting level 1"
previous=""
poll restarted 100 is_restarted
key q
wait_log "Back on the title screen"
poll title-again 100 same_as_title steady
key q
wait_exit "Q on the title screen"

# ---- session 2: the title music, clearly audible, until the window's close button ends the game -------
# The wave device writes in real time, 352800 bytes a second: wait for two seconds of it.
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

# ---- session 3: closed in the middle of a level, in the shadow world ----------------------------------
start_game close-in-level
key 2 Return
wait_log "Starting level 2"
key s
wait_log "SHADOW SWITCH"
"$close_window" "$wid" || fail "could not ask the window to close"
wait_exit "closing the window during a level"
[[ $(count "Back on the title screen") -eq 0 ]] || fail "the level ended before the window closed"

# ---- without a usable font (missing, or not a font) the game stops with status 1, naming the file -------
mkdir -p "$work/data"
cp -r "$source_dir/sprites" "$source_dir/sounds" "$work/data/"
for font in missing text; do
    [[ $font == text ]] && printf "not a font, only text\n%.0s" $(seq 1 200) >"$work/data/vl-font.ttf"
    log="$work/font-$font.log"
    (cd "$work/data" && env -u ALSOFT_CONF ALSOFT_DRIVERS=null VELTRANE_CONFIG="$work/vl-config.txt" \
        VELTRANE_LOG="$log" timeout 60 "$game" >/dev/null 2>"$work/font.err")
    status=$?
    [[ $status -eq 1 ]] || fail "font $font: exit status $status"
    grep -qF "DisplayManager::startUp(): Error! Unable to open font from file 'vl-font.ttf'." "$log" ||
        fail "font $font: the font is not named in the log"
    grep -qF "Error starting game manager" "$log" || fail "font $font: no reason for stopping in the log"
    grep -qF "cannot load the font file 'vl-font.ttf'" "$work/font.err" || fail "font $font: not on standard error"
    [[ "$(tail -n 1 "$log")" == *"** Game engine stopped **" && $(wc -l <"$log") -le 20 ]] ||
        fail "font $font: the log does not end with the stop banner within 20 lines"
    [[ $(count "did not load") -eq 0 ]] || fail "font $font: the game went on to load its data"
done
# ---- session 4: the window destroyed from outside ends the game as cleanly --------------------------

start_game destroyed
"$close_window" --destroy "$wid" || fail "could not destroy the window"
wait_exit "destroying the window"
[[ $(count "Window destroyed from outside") -eq 1 ]] || fail "destroying the window: not logged"

echo "play, title music (RMS $rms), closing or destroying the window and a missing font: all as expected"
