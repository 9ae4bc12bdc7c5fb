#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The game binary where a player's machine lets it down: no audio device, a garbage display name, an
# unwritable log, data missing or damaged. It must say what is wrong in the log and on standard error,
# then carry on or stop with status 1, with a clean shut-down, a bounded log and no spinning.
source "$(dirname "$0")/testlib.sh"
headless="headless:true,networking:false,frame_time:0,random_seed:7,"

# A fresh copy of the game's data in $work/data.
fresh_data() {
    rm -rf "$work/data" && mkdir -p "$work/data"
    cp -r "$source_dir/sprites" "$source_dir/sounds" "$source_dir/vl-font.ttf" "$work/data/"
}

case_name="no audio device"  # level 1 plays to its door in silence
fresh_data
run_game "$headless" ALSOFT_DRIVERS=no-such-driver VELTRANE_REPLAY="$replays/level-1.txt"
expect 0 "No audio device can be opened" "no audio device" 40
[[ $(count "door entered" "$log") -eq 1 ]] || fail "$case_name: the level was not played to its door"
case_name="no audio device, real time"  # no spinning at the real frame rate
printf '0 key hold RETURN\nend 90\n' >"$work/start.txt"
TIMEFORMAT=%U+%S
{ time run_game "headless:true,networking:false," ALSOFT_DRIVERS=no-such-driver \
    VELTRANE_REPLAY="$work/start.txt"; } 2>"$work/cpu.txt"
cpu=$(awk -F+ '{ print $1 + $2 }' "$work/cpu.txt")
expect 0 "Starting level 1" "no audio device" 40
awk -v c="$cpu" 'BEGIN { exit !(c < 1.5) }' || fail "$cpu s of CPU in three seconds of play"

case_name="garbage display"
run_game "networking:false," DISPLAY="not a display!"
expect 1 "Cannot open X display 'not a display!'" "cannot open X display" 20
grep -qF "start-up failed: the display manager did not start." "$log" || fail "$case_name: no start-up failed line"
# A logged error reaches standard error too, once, while that is a terminal; not otherwise.
message="GameManager::startUp(): Error! Starting display manager."
[[ $(count "$message" "$err") -eq 0 ]] || fail "$case_name: error echoed although standard error is a file"
DISPLAY="not a display!" VELTRANE_CONFIG="$work/vl-config.txt" VELTRANE_LOG="$work/tty.log" \
    script -qec "timeout 60 '$game'" /dev/null >"$work/tty.out" 2>&1
[[ $(count "Veltrane: $message" "$work/tty.out") -eq 1 ]] || fail "$case_name: not one copy of the error on a terminal"
case_name="unreadable replay"  # stops the start-up, said on standard error although that is a file
printf '0-9 key hold RIGTHARROW\n' >"$work/typo.txt"
run_game "$headless" VELTRANE_REPLAY="$work/typo.txt"
expect 1 "Replay file '$work/typo.txt' line 1: unknown key 'RIGTHARROW'. Not starting." \
    "Veltrane: InputManager::startUp(): Error! Replay file '$work/typo.txt' line 1" 20
case_name="unwritable log"
run_game "$headless" VELTRANE_LOG="$work/no-dir/veltrane.log"
[[ $status -eq 1 ]] || fail "$case_name: exit status $status"
for line in "GameManager::startUp(): Error! Starting log manager." "Error starting game manager" \
    "** Game engine stopped **"; do
    grep -qF "$line" "$err" || fail "$case_name: missing on standard error: $line"
done

# A data file missing or damaged: level 1 plays on without it, naming the file once.
while IFS='|' read -r file damage consequence; do
    case_name="$damage $file"
    fresh_data
    case $damage-$file in
    missing-*) rm "$work/data/$file" ;;
    damaged-*.mp3) head -c 20000 "$source_dir/sprites/gamestart-spr.txt" >"$work/data/$file" ;;
    damaged-*) printf 'frames 1000000\nwidth x\n' >"$work/data/$file" ;;
    esac
    run_game "$headless" VELTRANE_REPLAY="$replays/level-1.txt"
    expect 0 "Game file '$file' did not load; $consequence." "$file" 60
    [[ $(count "Replay finished" "$log") -eq 1 ]] || fail "$case_name: the replay was not played to its end"
    # A lookup of the missing file may warn once per use (a world switch, a jump), not per frame.
    [[ $(count "not found" "$log") -le $(($(count "SHADOW SWITCH" "$log") + 3)) ]] || fail "$case_name: warnings flood"
done <<'EOF_CASES'
sprites/player-spr.txt|missing|what uses it is not drawn
sprites/door-spr.txt|damaged|what uses it is not drawn
sounds/jump.mp3|missing|playing without it
sounds/Ghosts.mp3|missing|playing without it
sounds/shadowswitch.mp3|damaged|playing without it
EOF_CASES

# Started from the wrong directory: every file missing, one line each and a hint, and no line per frame.
case_name="no data at all"
rm -rf "$work/data"/* && mkdir "$work/data/sprites"
run_game "$headless" VELTRANE_REPLAY="$replays/level-1.txt"
expect 0 "" "from the current directory" 1000
[[ $(count "did not load" "$log") -eq 29 && $(count "did not load" "$err") -eq 29 ]] ||
    fail "$case_name: not every missing file named once in the log and on standard error"
for steps in 300 900; do
    printf '5 key pressed NUM1\n6 key pressed RETURN\nend %d\n' "$steps" >"$work/idle.txt"
    run_game "$headless" VELTRANE_REPLAY="$work/idle.txt"
    grep -q "Starting level 1" "$log" || fail "idle for $steps steps: level 1 did not start"
    idle_lines[$steps]=$(wc -l <"$log")
done
[[ ${idle_lines[300]} -eq ${idle_lines[900]} ]] || fail "the log grows while nothing happens"
finish "all failure modes handled"
