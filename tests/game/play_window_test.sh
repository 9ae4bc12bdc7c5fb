#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# A player's session with the real game binary in a real window, keys pressed with xdotool: choose a
# level with the digit keys, start it, walk, jump, switch to the shadow world, restart, go back to the
# title and quit; then two sessions ended by closing the window, on the title screen and during a level.
# Each stage is checked in the game's log and in a screenshot of the window.
set -uo pipefail

build_dir="${VL_BUILD_DIR:?VL_BUILD_DIR must name the build directory}"
build_dir=$(cd "$build_dir" && pwd)
game="$build_dir/veltrane-game"
close_window="$build_dir/tests/tools/vltest-close-window"
work=$(mktemp -d)
shots="$work/shots"
mkdir -p "$shots"
pid=""
log=""
cleanup() {
    if [[ -n "$pid" ]]; then
        kill "$pid" 2>/dev/null
    fi
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*"
    if [[ -n "$log" && -f "$log" ]]; then
        tail -n 30 "$log"
    fi
    # The pictures are the evidence: keep them beside the build.
    local keep="$build_dir/Testing/play_window_test-shots"
    rm -rf "$keep" && mkdir -p "$(dirname "$keep")" && cp -r "$shots" "$keep" && echo "screenshots kept in $keep"
    exit 1
}

# ---- pictures -------------------------------------------------------------------------------------

# Ink classes: the engine's blue (light-world things and text) and black (shadow-world things); the
# glyphs' anti-aliased edges fall in neither.
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

# "count x y": blue pixels and their centre in the part of level 1 left of its middle wall, above its
# floor, where the only blue thing is the player's light form.
PLAYER_AREA="410x376+30+100"
player() {
    convert "$shots/$1.png" -crop "$PLAYER_AREA" +repage txt:- |
        awk -F'[ ,:()]+' 'NR > 1 && $5 >= 200 && $3 <= 128 && $4 <= 128 { n++; sx += $1; sy += $2 }
             END { if (n) printf "%d %d %d\n", n, sx / n + 30, sy / n + 100; else print 0, -1, -1 }'
}

# Pixels that differ between two screenshots.
differing() {
    # The count may come in exponent form ("1.2e+06"); anything unreadable counts as all different.
    compare -metric AE -fuzz 10% "$shots/$1.png" "$shots/$2.png" null: 2>&1 |
        awk 'NR == 1 { if ($1 ~ /^[0-9.e+]+$/) printf "%d\n", $1 + 0; else print 999999999 }'
}

# Takes screenshots named name-1, name-2, ... until the function check accepts one (it gets the
# screenshot's name), at most tries times; the accepted one is copied to name. The game draws a frame
# every 33 ms, so a change the log already shows reaches the window within a few tries. With "steady",
# two screenshots in a row must pass: a screenshot can catch the window half way through receiving a
# frame, the old picture below the new.
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

# ---- the game's log -----------------------------------------------------------------------------

count() {
    grep -c -F -- "$1" "$log" 2>/dev/null || true
}

# Waits until the log holds text at least n times; the game must still be running.
wait_log() {
    local text=$1 n=$2 i
    for ((i = 0; i < 300; i++)); do
        [[ $(count "$text") -ge $n ]] && return 0
        kill -0 "$pid" 2>/dev/null || fail "the game ended while waiting for '$text' in the log"
        sleep 0.05
    done
    fail "'$text' did not appear $n time(s) in the log"
}

# Waits for the game to end by itself and checks it ended cleanly.
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
    # A session of a few hundred frames logs a few dozen lines; a complaint every frame would show.
    # Overrun reports are left out: a busy machine may rightly make one every frame.
    local lines
    lines=$(grep -vc "Can't keep up!" "$log")
    [[ $lines -le 100 ]] || fail "$what: $lines log lines"
}

start_game() {
    local session=$1
    title="veltrane-play-test-$$-$session"
    log="$work/$session.log"
    echo "window_title:$title,networking:false," >"$work/vl-config.txt"
    env -u ALSOFT_CONF ALSOFT_DRIVERS=null VELTRANE_CONFIG="$work/vl-config.txt" VELTRANE_LOG="$log" \
        "$game" >"$work/$session.out" 2>&1 &
    pid=$!
    wid=$(timeout 30 xdotool search --sync --onlyvisible --name "$title" | head -n 1)
    [[ -n "$wid" ]] || fail "no window titled $title"
    xdotool windowfocus --sync "$wid" 2>/dev/null || true
}

key() {
    xdotool key --clearmodifiers "$@"
}

# ---- what each stage must look like -------------------------------------------------------------

# The title screen: blue text on white with black side borders, far more blue than black, drawn whole
# (the same picture twice in a row).
previous_title=""
is_title() {
    local blue black
    read -r blue black < <(ink "$1")
    if [[ $blue -lt 10000 || $blue -lt $((3 * black)) || $black -lt 1000 ]]; then
        previous_title=""
        return 1
    fi
    if [[ -n "$previous_title" && $(differing "$previous_title" "$1") -eq 0 ]]; then
        return 0
    fi
    previous_title=$1
    return 1
}

# Another level chosen: the selector mark has moved, nothing else.
selector_moved() {
    local diff
    diff=$(differing title "$1")
    [[ $diff -gt 50 && $diff -lt 5000 ]]
}

same_as_title() {
    [[ $(differing title "$1") -le 100 ]]
}

# Level 1 in the light world, its player standing still where the level puts it.
previous_player=""
is_level_at_rest() {
    local n x y
    read -r n x y < <(player "$1")
    [[ $(differing title "$1") -gt 5000 && $n -ge 200 ]] || return 1
    if [[ "$previous_player" == "$x $y" ]]; then
        return 0
    fi
    previous_player="$x $y"
    return 1
}

walked_right() {
    local n x y
    read -r n x y < <(player "$1")
    # At least one 12.8-pixel cell to the right, at rest again.
    [[ $n -ge 200 && $x -ge $((start_x + 12)) ]] || return 1
    [[ "$previous_player" == "$x $y" ]] && return 0
    previous_player="$x $y"
    return 1
}

in_the_air() {
    local n x y
    read -r n x y < <(player "$1")
    # At least one 32-pixel row above where it stood.
    [[ $n -ge 200 && $y -le $((rest_y - 32)) ]]
}

landed() {
    local n x y
    read -r n x y < <(player "$1")
    [[ $n -ge 200 && $y -ge $((rest_y - 2)) && $y -le $((rest_y + 2)) ]]
}

# The shadow world: the borders spell SHADE in black instead of LIGHT in blue, so much less blue and
# much more black than the light world.
is_shadow() {
    local blue black
    read -r blue black < <(ink "$1")
    [[ $blue -le $((light_blue - 2000)) && $black -ge $((light_black + 2000)) ]]
}

# Restarted: the light world again, with the player back where the level began.
is_restarted() {
    local blue black n x y
    read -r blue black < <(ink "$1")
    read -r n x y < <(player "$1")
    [[ $((blue - light_blue)) -le 1000 && $((light_blue - blue)) -le 1000 ]] || return 1
    [[ $((black - light_black)) -le 1000 && $((light_black - black)) -le 1000 ]] || return 1
    [[ $n -ge 200 && $x -ge $((start_x - 6)) && $x -le $((start_x + 6)) ]]
}

# Characters drawn by the title screen, from the sprite files: the blue title picture's first frame
# (robust format, 21 rows) and the black side borders (simple format, 5 rows after 5 header lines),
# five down each side.
source_dir="${VL_SOURCE_DIR:-$(pwd)}"
title_chars=$(awk '/^<BODY>/ { body = 1; next } body && n < 21 { n++; gsub(/ /, ""); c += length($0) }
                   END { print c + 0 }' "$source_dir/sprites/gamestart-spr.txt")
border_chars=0
for side in left right; do
    chars=$(awk 'NR > 5 && NR <= 10 { gsub(/ /, ""); c += length($0) } END { print c + 0 }' \
        "$source_dir/sprites/$side-border-shadow-spr.txt")
    border_chars=$((border_chars + 5 * chars))
done

# Each colour's ink per character drawn is a glyph's worth (a cell is 12.8 by 32 pixels), and about
# the same for both: the title shows what its sprites hold, in their colours.
title_matches_sprites() {
    awk -v blue="$title_blue" -v black="$title_black" -v bc="$title_chars" -v kc="$border_chars" 'BEGIN {
        if (bc < 100 || kc < 10) exit 1
        b = blue / bc; k = black / kc
        exit !(b >= 40 && b <= 250 && k >= 40 && k <= 250 && b / k >= 0.5 && b / k <= 2)
    }'
}

# ---- session 1: play --------------------------------------------------------------------------

start_game play
poll title 100 is_title
read -r title_blue title_black < <(ink title)
title_matches_sprites ||
    fail "title ink blue $title_blue for $title_chars characters, black $title_black for $border_chars"

key 3
poll level-3-chosen 50 selector_moved steady
key 1
poll level-1-chosen 50 same_as_title steady

key Return
wait_log "Starting level 1" 1
poll level 100 is_level_at_rest
read -r light_blue light_black < <(ink level)
read -r _ start_x start_y < <(player level)

# Walk: held D moves the player right until it is let go.
xdotool keydown d
wait_log "right" 1
xdotool keyup d
previous_player=""
poll walked 100 walked_right
read -r _ walk_x rest_y < <(player walked)

# Jump: held W jumps again at each landing, so some frame shows the player in the air.
xdotool keydown w
poll jumping 100 in_the_air
xdotool keyup w
read -r _ _ jump_y < <(player jumping)
poll landed 100 landed steady

key s
wait_log "SHADOW SWITCH" 1
poll shadow 50 is_shadow steady
read -r shadow_blue shadow_black < <(ink shadow)

key r
wait_log "Restarting level 1" 1
poll restarted 100 is_restarted steady

key q
wait_log "Back on the title screen" 1
poll title-again 100 same_as_title steady

key q
wait_exit "Q on the title screen"
echo "play: title blue/black $title_blue/$title_black for $title_chars/$border_chars characters; level light $light_blue/$light_black," \
    "shadow $shadow_blue/$shadow_black; player x $start_x -> $walk_x, y $rest_y -> $jump_y in the air"

# ---- session 2: closed by the window's close button ----------------------------------------------

previous_title=""
start_game close
poll title 100 is_title
"$close_window" "$wid" || fail "could not ask the window to close"
wait_exit "closing the window"

# ---- session 3: closed in the middle of a level, in the shadow world -------------------------------

previous_title=""
start_game close-in-level
poll title 100 is_title
key 2 Return
wait_log "Starting level 2" 1
key s
wait_log "SHADOW SWITCH" 1
"$close_window" "$wid" || fail "could not ask the window to close"
wait_exit "closing the window during a level"
[[ $(count "Back on the title screen") -eq 0 ]] || fail "the level ended before the window closed"
echo "close: the game ended cleanly on the title screen and in a level"

# ---- session 4: the window destroyed from outside ends the game as cleanly --------------------------

previous_title=""
start_game destroyed
poll title 100 is_title
"$close_window" --destroy "$wid" || fail "could not destroy the window"
wait_exit "destroying the window"
