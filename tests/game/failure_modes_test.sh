#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The game binary where a player's machine lets it down: no audio device, a garbage display name, and a
# data tree with a sprite, a sound, a music or everything missing. Each time it must say what is wrong
# in the log and on standard error, then carry on (data files, sound) or stop with status 1 (display),
# always with a clean shut-down, a bounded log and no spinning.
set -uo pipefail

game="${VL_BUILD_DIR:?VL_BUILD_DIR must name the build directory}/veltrane-game"
source_dir="${VL_SOURCE_DIR:-$(pwd)}"
game=$(cd "$(dirname "$game")" && pwd)/$(basename "$game")
replay="$source_dir/tests/game/replays/level-1.txt"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failures=0
fail() {
    echo "FAIL: $case_name: $*"
    failures=$((failures + 1))
}

count() {
    grep -c -F -- "$1" "$2" || true
}

# A fresh copy of the game's data in $work/data, without the files named.
data_without() {
    rm -rf "$work/data"
    mkdir -p "$work/data"
    cp -r "$source_dir/sprites" "$source_dir/sounds" "$source_dir/vl-font.ttf" "$work/data/"
    local file
    for file in "$@"; do
        rm -f "$work/data/$file"
    done
}

# Runs the game from $work/data with the configuration and environment given (a silent working audio
# device unless they choose another); sets status, log, err.
# The timeout turns a hang into a failure instead of a stuck test.
run_game() {
    local config=$1
    shift
    log="$work/$case_name.log"
    err="$work/$case_name.err"
    echo "$config" >"$work/vl-config.txt"
    (cd "$work/data" && env -u ALSOFT_CONF ALSOFT_DRIVERS=null "$@" VELTRANE_CONFIG="$work/vl-config.txt" VELTRANE_LOG="$log" \
        timeout 60 "$game" >/dev/null 2>"$err")
    status=$?
}

# Whatever happened, the log ends with the stop banner and stays small.
check_ending() {
    local max_lines=$1
    [[ "$(tail -n 1 "$log")" == *"** Game engine stopped **" ]] || fail "the log does not end with the stop banner"
    local lines
    lines=$(wc -l <"$log")
    [[ $lines -le $max_lines ]] || fail "$lines log lines (at most $max_lines expected)"
    lines=$(wc -l <"$err")
    [[ $lines -le 40 ]] || fail "$lines lines on standard error"
    [[ $(count "Game engine stopped" "$log") -eq 1 ]] || fail "the engine stopped more than once"
}

headless="headless:true,networking:false,frame_time:0,random_seed:7,"

# ---- no audio device: the level plays to its door in silence ----------------------------------
case_name="no audio device"
data_without
run_game "$headless" ALSOFT_DRIVERS=no-such-driver VELTRANE_REPLAY="$replay"
[[ $status -eq 0 ]] || fail "exit status $status"
[[ $(count "door entered" "$log") -eq 1 ]] || fail "the level was not played to its door"
[[ $(count "No audio device can be opened" "$log") -eq 1 ]] || fail "the missing device is not logged once"
grep -q "no audio device" "$err" || fail "nothing on standard error about the audio device"
check_ending 40

# Music "playing" without a device at the real frame rate must not spin a core on audio errors:
# three seconds on the title screen and in level 1 with both musics started.
case_name="no audio device, real time"
printf '0 key hold RETURN\nend 90\n' >"$work/start.txt"
TIMEFORMAT=%U+%S
{ time run_game "headless:true,networking:false," ALSOFT_DRIVERS=no-such-driver \
    VELTRANE_REPLAY="$work/start.txt"; } 2>"$work/cpu.txt"
cpu=$(awk -F+ '{ print $1 + $2 }' "$work/cpu.txt")
[[ $status -eq 0 ]] || fail "exit status $status"
[[ $(count "Starting level 1" "$log") -eq 1 ]] || fail "level 1 did not start"
awk -v c="$cpu" 'BEGIN { exit !(c < 1.5) }' || fail "$cpu s of CPU in three seconds of play"
check_ending 40
echo "no audio device: ${cpu} s of CPU for three seconds of play"

# ---- a garbage display name: a clear refusal instead of the graphics library aborting -----------
case_name="garbage display"
data_without
run_game "networking:false," DISPLAY="not a display!"
[[ $status -eq 1 ]] || fail "exit status $status"
[[ $(count "Cannot open X display 'not a display!'" "$log") -eq 1 ]] || fail "the display is not named in the log"
grep -q "cannot open X display" "$err" || fail "nothing on standard error about the display"
check_ending 20

# ---- a missing sprite: the game plays on without drawing what uses it, and says which file ----------
case_name="missing sprite"
data_without sprites/player-spr.txt
run_game "$headless" VELTRANE_REPLAY="$replay"
[[ $status -eq 0 ]] || fail "exit status $status"
[[ $(count "Game file 'sprites/player-spr.txt' did not load; what uses it is not drawn." "$log") -eq 1 ]] ||
    fail "the missing sprite is not named in the log"
grep -q "sprites/player-spr.txt" "$err" || fail "the missing sprite is not named on standard error"
[[ $(count "Replay finished" "$log") -eq 1 ]] || fail "the game did not play on to the replay's end"
# Each world switch looks the sprite up again: one warning per switch, not one per frame.
[[ $(count "Sprite 'player' not found" "$log") -le $(($(count "SHADOW SWITCH" "$log") + 2)) ]] ||
    fail "the missing sprite is reported over and over"
check_ending 60

# ---- a damaged sprite file is treated as missing ---------------------------------------------------
case_name="damaged sprite"
data_without
printf 'frames 1000000\nwidth x\n' >"$work/data/sprites/door-spr.txt"
run_game "$headless" VELTRANE_REPLAY="$replay"
[[ $status -eq 0 ]] || fail "exit status $status"
[[ $(count "Game file 'sprites/door-spr.txt' did not load; what uses it is not drawn." "$log") -eq 1 ]] ||
    fail "the damaged sprite is not named in the log"
grep -q "sprites/door-spr.txt" "$err" || fail "the damaged sprite is not named on standard error"
check_ending 60

# Level 1 is played to its door and the sound file is named once in the log and on standard error.
expect_played_without() {
    local file=$1
    [[ $status -eq 0 ]] || fail "exit status $status"
    [[ $(count "door entered" "$log") -eq 1 ]] || fail "the level was not played to its door"
    [[ $(count "Game file '$file' did not load; playing without it." "$log") -eq 1 ]] ||
        fail "$file is not named once in the log"
    grep -q "$file" "$err" || fail "$file is not named on standard error"
    check_ending 40
}

# ---- a missing sound: the level plays on without it, warning once per use at most ---------------
case_name="missing sound"
data_without sounds/jump.mp3
run_game "$headless" VELTRANE_REPLAY="$replay"
expect_played_without sounds/jump.mp3
# Level 1's replay jumps three times; each jump may note the missing sound, nothing more.
[[ $(count "Sound 'jump' not found" "$log") -le 3 ]] || fail "the missing sound floods the log"

# ---- a missing music: the level plays on in silence ---------------------------------------------
case_name="missing music"
data_without sounds/Ghosts.mp3
run_game "$headless" VELTRANE_REPLAY="$replay"
expect_played_without sounds/Ghosts.mp3

# ---- a sound file that is not a sound: the level plays on without it -----------------------------
case_name="damaged sound"
data_without
head -c 20000 "$source_dir/sprites/gamestart-spr.txt" >"$work/data/sounds/shadowswitch.mp3"
run_game "$headless" VELTRANE_REPLAY="$replay"
expect_played_without sounds/shadowswitch.mp3

# ---- started from the wrong directory: every file missing, one line each and a hint -------------
case_name="no data at all"
data_without
rm -rf "$work/data"/* && mkdir "$work/data/sprites"
run_game "$headless" VELTRANE_REPLAY="$replay"
[[ $status -eq 0 ]] || fail "exit status $status"
[[ $(count "did not load" "$log") -eq 29 ]] || fail "not every missing file is named once in the log"
[[ $(count "did not load" "$err") -eq 29 ]] || fail "not every missing file is named once on standard error"
grep -q "from the current directory" "$err" || fail "no hint about the directory on standard error"
check_ending 1000
# Standing in level 1 three times as long must not write a single line more: nothing is logged per frame.
for steps in 300 900; do
    printf '5 key pressed NUM1\n6 key pressed RETURN\nend %d\n' "$steps" >"$work/idle-$steps.txt"
    run_game "$headless" VELTRANE_REPLAY="$work/idle-$steps.txt"
    [[ $status -eq 0 ]] || fail "idle for $steps steps: exit status $status"
    grep -q "Starting level 1" "$log" || fail "idle for $steps steps: level 1 did not start"
    idle_lines[$steps]=$(wc -l <"$log")
done
[[ ${idle_lines[300]} -eq ${idle_lines[900]} ]] ||
    fail "the log grows while nothing happens: ${idle_lines[300]} lines after 300 steps, ${idle_lines[900]} after 900"

if [[ $failures -ne 0 ]]; then
    echo "$failures failure(s)"
    exit 1
fi
echo "all failure modes handled"
