#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The game binary where a player's machine lets it down: no audio device, a garbage display name, an
# unwritable log, and a data tree with a sprite, a sound, a music or everything missing or damaged. Each
# time it must say what is wrong in the log and on standard error, then carry on (data files, sound) or
# stop with status 1, always with a clean shut-down, a bounded log and no spinning.
set -uo pipefail

game="${VL_BUILD_DIR:?VL_BUILD_DIR must name the build directory}/veltrane-game"
source_dir="${VL_SOURCE_DIR:-$(pwd)}"
game=$(cd "$(dirname "$game")" && pwd)/$(basename "$game")
replay="$source_dir/tests/game/replays/level-1.txt"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
headless="headless:true,networking:false,frame_time:0,random_seed:7,"

failures=0
fail() {
    echo "FAIL: $case_name: $*"
    failures=$((failures + 1))
}

count() {
    grep -c -F -- "$1" "$2" || true
}

# A fresh copy of the game's data in $work/data.
fresh_data() {
    rm -rf "$work/data" && mkdir -p "$work/data"
    cp -r "$source_dir/sprites" "$source_dir/sounds" "$source_dir/vl-font.ttf" "$work/data/"
}

# Runs the game in $work/data with the configuration and environment given (a silent working audio
# device unless they choose another) under a timeout; sets status, log, err.
run_game() {
    local config=$1
    shift
    log="$work/${case_name//[ \/]/-}.log"
    err="$work/${case_name//[ \/]/-}.err"
    echo "$config" >"$work/vl-config.txt"
    (cd "$work/data" && env -u ALSOFT_CONF ALSOFT_DRIVERS=null "$@" VELTRANE_CONFIG="$work/vl-config.txt" \
        VELTRANE_LOG="$log" timeout 60 "$game" >/dev/null 2>"$err")
    status=$?
}

# The exit status, what the log (once, unless empty) and standard error must hold, then the stop banner last and a small log.
expect() {
    local want_status=$1 log_text=$2 err_text=$3 max_lines=$4
    [[ $status -eq $want_status ]] || fail "exit status $status"
    [[ -z $log_text || $(count "$log_text" "$log") -eq 1 ]] || fail "'$log_text' is not in the log once"
    grep -qF -- "$err_text" "$err" || fail "'$err_text' is not on standard error"
    [[ "$(tail -n 1 "$log")" == *"** Game engine stopped **" ]] || fail "the log does not end with the stop banner"
    [[ $(count "Game engine stopped" "$log") -eq 1 ]] || fail "the engine stopped more than once"
    [[ $(wc -l <"$log") -le $max_lines ]] || fail "$(wc -l <"$log") log lines (at most $max_lines expected)"
    [[ $(wc -l <"$err") -le 40 ]] || fail "$(wc -l <"$err") lines on standard error"
}

# ---- no audio device: level 1 plays to its door in silence; at the real frame rate, no spinning ----
case_name="no audio device"
fresh_data
run_game "$headless" ALSOFT_DRIVERS=no-such-driver VELTRANE_REPLAY="$replay"
expect 0 "No audio device can be opened" "no audio device" 40
[[ $(count "door entered" "$log") -eq 1 ]] || fail "the level was not played to its door"
case_name="no audio device, real time"
printf '0 key hold RETURN\nend 90\n' >"$work/start.txt"
TIMEFORMAT=%U+%S
{ time run_game "headless:true,networking:false," ALSOFT_DRIVERS=no-such-driver \
    VELTRANE_REPLAY="$work/start.txt"; } 2>"$work/cpu.txt"
cpu=$(awk -F+ '{ print $1 + $2 }' "$work/cpu.txt")
expect 0 "Starting level 1" "no audio device" 40
awk -v c="$cpu" 'BEGIN { exit !(c < 1.5) }' || fail "$cpu s of CPU in three seconds of play"

# ---- the engine cannot start: a garbage display name, a log that cannot be written ------------------
case_name="garbage display"
run_game "networking:false," DISPLAY="not a display!"
expect 1 "Cannot open X display 'not a display!'" "cannot open X display" 20
case_name="unwritable log"
echo "headless:true,networking:false," >"$work/vl-config.txt"
(cd "$work/data" && VELTRANE_CONFIG="$work/vl-config.txt" VELTRANE_LOG="$work/no-dir/veltrane.log" \
    timeout 60 "$game" >/dev/null 2>"$work/log.err")
status=$?
[[ $status -eq 1 ]] || fail "exit status $status"
for line in "GameManager::startUp(): Error! Starting log manager." "Error starting game manager" \
    "** Game engine stopped **"; do
    grep -qF "$line" "$work/log.err" || fail "missing on standard error: $line"
done

# ---- a data file missing or damaged: level 1 plays on without it, naming the file once -------------
# Each case: the file, what is done to it, and the consequence the log names.
while IFS='|' read -r file damage consequence; do
    case_name="$damage $file"
    fresh_data
    case $damage-$file in
    missing-*) rm "$work/data/$file" ;;
    damaged-*.mp3) head -c 20000 "$source_dir/sprites/gamestart-spr.txt" >"$work/data/$file" ;;
    damaged-*) printf 'frames 1000000\nwidth x\n' >"$work/data/$file" ;;
    esac
    run_game "$headless" VELTRANE_REPLAY="$replay"
    expect 0 "Game file '$file' did not load; $consequence." "$file" 60
    [[ $(count "Replay finished" "$log") -eq 1 ]] || fail "the game did not play on to the replay's end"
    # A lookup of the missing file may warn once per use (a world switch, a jump), not per frame.
    [[ $(count "not found" "$log") -le $(($(count "SHADOW SWITCH" "$log") + 3)) ]] || fail "warnings flood the log"
done <<'EOF'
sprites/player-spr.txt|missing|what uses it is not drawn
sprites/door-spr.txt|damaged|what uses it is not drawn
sounds/jump.mp3|missing|playing without it
sounds/Ghosts.mp3|missing|playing without it
sounds/shadowswitch.mp3|damaged|playing without it
EOF

# ---- started from the wrong directory: every file missing, one line each and a hint ------------------
case_name="no data at all"
rm -rf "$work/data"/* && mkdir "$work/data/sprites"
run_game "$headless" VELTRANE_REPLAY="$replay"
expect 0 "" "from the current directory" 1000
[[ $(count "did not load" "$log") -eq 29 ]] || fail "not every missing file is named once in the log"
[[ $(count "did not load" "$err") -eq 29 ]] || fail "not every missing file is named once on standard error"
# Standing in level 1 three times as long must not write a single line more: nothing is logged per frame.
for steps in 300 900; do
    printf '5 key pressed NUM1\n6 key pressed RETURN\nend %d\n' "$steps" >"$work/idle-$steps.txt"
    run_game "$headless" VELTRANE_REPLAY="$work/idle-$steps.txt"
    grep -q "Starting level 1" "$log" || fail "idle for $steps steps: level 1 did not start"
    idle_lines[$steps]=$(wc -l <"$log")
done
[[ ${idle_lines[300]} -eq ${idle_lines[900]} ]] || fail "the log grows while nothing happens"

[[ $failures -eq 0 ]] || { echo "$failures failure(s)"; exit 1; }
echo "all failure modes handled"
