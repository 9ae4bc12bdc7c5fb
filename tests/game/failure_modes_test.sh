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
    cp -r "$source_dir/sprites" "$source_dir/sounds" "$source_dir/levels" "$source_dir/vl-font.ttf" "$work/data/"
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
[[ $(count "cannot be read" "$log") -eq 7 && $(count "cannot be read" "$err") -eq 7 ]] ||
    fail "$case_name: not every level file named once in the log and on standard error"
cp -r "$source_dir/levels" "$work/data/"  # a level to idle in, drawn without its sprites
for steps in 300 900; do
    printf '5 key pressed NUM1\n6 key pressed RETURN\nend %d\n' "$steps" >"$work/idle.txt"
    run_game "$headless" VELTRANE_REPLAY="$work/idle.txt"
    grep -q "Starting level 1" "$log" || fail "idle for $steps steps: level 1 did not start"
    idle_lines[$steps]=$(wc -l <"$log")
done
[[ ${idle_lines[300]} -eq ${idle_lines[900]} ]] || fail "the log grows while nothing happens"
# A level file missing or damaged: named with its line at start-up, and its level does not start: the
# title screen after ENTER is the one before it.
while IFS='|' read -r file line text message; do
    level=${file//[^0-9]/}
    case_name="levels/$file line $line"
    fresh_data
    case $line in
    -) rm "$work/data/levels/$file" ;;
    all) printf '%b' "$text" >"$work/data/levels/$file" ;;
    *) sed -i "${line}c\\$text" "$work/data/levels/$file" ;;
    esac
    printf '0 key hold NUM%s\n1 screen before\n2 key hold RETURN\n4 screen after\nend 6\n' "${level:-1}" >"$work/try.txt"
    mkdir -p "$work/screens"
    run_game "$headless" VELTRANE_REPLAY="$work/try.txt" VELTRANE_SCREENS="$work/screens"
    expect 0 "Level file 'levels/$file' $message" "level file 'levels/$file' $message" 60
    [[ $(count "Level ${level:-1} cannot be played: level file" "$log") -eq 1 &&
        $(count "Starting level" "$log") -eq 0 ]] || fail "$case_name: the level was not refused once"
    grep -qF "ENTER  play" "$work/screens/after.txt" && cmp -s "$work/screens/"{before,after}.txt ||
        fail "$case_name: the title screen did not stay"
done <<'EOF_LEVELS'
frame.txt|-||cannot be read; no level can be played
frame.txt|9|player 3 3|line 9: the frame has no player: each level has its own; no level can be played
level-6.txt|-||cannot be read; level 6 cannot be played
level-1.txt|4|plank 0 15|line 4: unknown piece 'plank'; a piece is platform, long-platform, wall, short-wall, light, lever, player, door, left-border or right-border; level 1
level-1.txt|5|wall 35|line 5: the line ends where the row should be; level 1
level-1.txt|5|wall 35 1e3|line 5: the row '1e3' is not a whole number; level 1
level-1.txt|5|wall 35 -5000|line 5: the row -5000 is not from -1000 to 1000; level 1
level-1.txt|4|platform 0 15 run 500 every 2|line 4: the run's count 500 is not from 1 to 100; level 1
level-1.txt|4|platform 0 15 run 50 every 2 name floor|line 4: a run is not named: a lever moves one piece; level 1
level-1.txt|9|light 12 12 name lamp|line 9: only a platform or a wall is named: the name is for the lever that moves it; level 1
level-1.txt|7|platform 40 12 name step|line 8: the name 'step' is taken by line 7; level 1
level-1.txt|10|lever 50 12 moves stair off 22 15 on 22 12|line 10: no line above names 'stair'; level 1
level-1.txt|10|lever 50 12 moves step off 22 15 in 22 12|line 10: 'on' should come here, not 'in'; level 1
level-1.txt|10|lever 50 12 moves step off 22 15|line 10: the line ends where 'on' should be; level 1
level-1.txt|10|lever 50 12|line 10: a lever needs 'moves NAME off COLUMN ROW on COLUMN ROW'; level 1
level-1.txt|10|lever 50 12 moves step moves step|line 10: 'off' should come here, not 'moves'; level 1
level-1.txt|6|wall 35 8 name a name b|line 6: 'name' is given twice; level 1
level-1.txt|6|wall 35 8 colour red|line 6: unknown option 'colour' (the options are run, name and moves); level 1
level-1.txt|12|player 70 13|line 12: a level has one player; level 1
level-1.txt|11|# the player is gone|line 12: the level ends without a player; level 1
level-1.txt|all|\x7fELF\x02\x01\x00\x00\n\xff\xfe|line 1: unknown piece '?ELF????'; a piece is
level-1.txt|all||line 1: the level ends without a player; level 1
EOF_LEVELS
finish "all failure modes handled"
