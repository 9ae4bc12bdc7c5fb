#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The game in a real terminal (a tmux pane running a shell): the title's text and colours, a level's keys,
# a resize, Q twice, the terminal's modes after a clean exit, SIGTERM and SIGHUP, every level replay to
# its door; and refusals without a usable terminal.
source "$(dirname "$0")/testlib.sh"
command -v tmux >/dev/null || { echo "tmux is not installed (scripts/install-deps.sh)"; exit 1; }
socket="vl-terminal-$$"
trap 'tmux -L "$socket" kill-server 2>/dev/null; rm -rf "$work"' EXIT
guard "tmux -L $socket kill-server"
echo "networking:false,random_seed:7,log_level:15," >"$work/play.txt"
echo "networking:false,random_seed:7,frame_time:0," >"$work/replay.txt"

pane() { tmux -L "$socket" capture-pane -p "$@"; }
type_line() { tmux -L "$socket" send-keys -l "$1" && tmux -L "$socket" send-keys Enter; }
keys() { tmux -L "$socket" send-keys "$@"; }
expect_text() { wait_until "pane | grep -qF -- \"$1\"" "$2" || fail "$3 (no '$1' on the screen)"; }
border() { pane | head -5 | cut -c2 | tr -d '\n'; }  # LIGHT or SHADE, top to bottom
player_column() { pane | awk 'index($0, "/|\\") { print index($0, "/|\\"); exit }'; }
game_pid() { pgrep -P "$(tmux -L "$socket" display -p '#{pane_pid}')" -x veltrane-game; }
start_game() { type_line "clear; VELTRANE_CONFIG='$work/play.txt' '$game' --terminal; echo \"exit=\$?\""; }
same_modes() {
    type_line "clear; stty -a >'$work/stty.after'; cmp -s '$work/stty.before' '$work/stty.after' && echo modes-same"
    expect_text "modes-same" 10 "$1: the terminal's modes differ: $(diff "$work/stty.before" "$work/stty.after" | tr '\n' ' ')"
}

tmux -L "$socket" new-session -d -x 100 -y 30 "env -i PATH=$PATH HOME=$work TERM=tmux-256color bash --norc --noprofile"
tmux -L "$socket" set-option -g window-size manual
type_line "cd '$PWD'; export ALSOFT_DRIVERS=null VELTRANE_LOG='$work/log'; PS1='ready\$ '; stty -a >'$work/stty.before'; clear"
expect_text "ready\$" 10 "the shell did not start"

start_game
expect_text "ENTER  play" 20 "no title screen"
pane -e | grep -q $'\e\\[38;5;21m#' || fail "the title's '#' letters are not blue"
pane -e | grep -q '48;5;231m' || fail "the title's cells are not white"
keys Enter
expect_text "Reach the door." 10 "Enter did not start level 1"
start_column=$(player_column)
[[ -n $start_column ]] || fail "no player in level 1"
# A tap of D is a short step: released by itself, then S shows a frame drawn after the release.
keys d
wait_until 'grep -q "Terminal key .D. released" "$work/log"' 10 || fail "a tap of D was never released"
[[ $(border) == LIGHT ]] || fail "the border reads $(border), not LIGHT"
keys s
wait_until '[[ $(border) == SHADE ]]' 10 || fail "S did not switch worlds (the border reads $(border))"
walked=$(($(player_column) - start_column)); echo "tap of D: $walked cells"
[[ $walked -ge 1 && $walked -le 3 ]] || fail "a tap of D walked $walked cells, not 1 to 3"
keys r
wait_until 'grep -q "Restarting level 1" "$work/log"' 10 || fail "R did not restart the level"
wait_until '[[ $(player_column) == "$start_column" ]]' 10 || fail "after R the player is not back at its start"
keys q
expect_text "ENTER  play" 10 "Q did not return to the title screen"
# Q acts on its release, which comes within 0.2 s (6 steps) of the press.
q_steps=$(($(step_of "Back on the title screen") - $(step_of "Terminal key 'Q' pressed"))); echo "Q acted after $q_steps steps"
[[ $q_steps -le 6 ]] || fail "Q acted $q_steps steps after its press"
# Too small, then back: the request names the size needed and leaves; the title comes back whole.
tmux -L "$socket" resize-window -x 60 -y 20
expect_text "Terminal too small: 80x24 needed, 60x20 here" 10 "no request for a larger terminal"
[[ $(pane | grep -c '[^ ]') -eq 1 ]] || fail "more than the request on the screen: $(pane | grep '[^ ]' | head -3)"
keys Enter  # dropped: typed while the game waited
tmux -L "$socket" resize-window -x 100 -y 30
expect_text "ENTER  play" 10 "the title did not come back after the resize"
wait_until '! pane | grep -q "too small"' 10 || fail "the request stayed on the screen after the resize"
[[ $(count "Starting level" "$work/log") -eq 1 ]] || fail "Enter typed at the request started a level"
[[ $(count "Can't keep up" "$work/log") -eq 0 ]] || fail "the wait for room was logged as lag"
keys q
expect_text "exit=0" 10 "Q on the title did not quit with status 0"
[[ $(grep -v "LogManager::shutDown()" "$work/log" | tail -n 1) == *"Game engine stopped"* ]] || fail "the stop banner is not the log's last line"
same_modes "after Q"

# Killed mid-level: the handlers give the terminal back before the signal ends the game.
for signal in TERM HUP; do
    start_game
    expect_text "ENTER  play" 20 "SIG$signal: no title screen"
    keys Enter
    expect_text "Reach the door." 10 "SIG$signal: no level"
    kill -s "$signal" "$(game_pid)"
    expect_text "exit=$((128 + $(kill -l "$signal")))" 10 "SIG$signal did not end the game"
    same_modes "after SIG$signal"
done

for replay in "$replays"/level-*.txt; do
    name=$(basename "$replay" .txt)
    type_line "clear; VELTRANE_CONFIG='$work/replay.txt' VELTRANE_LOG='$work/$name.log' VELTRANE_REPLAY='$replay' '$game' --terminal; echo \"$name=\$?\""
    expect_text "$name=0" 120 "$name did not end with status 0"
    [[ $(count "door entered" "$work/$name.log") -eq 1 ]] || fail "$name: the door was not entered once"
done
same_modes "after the replays"

# Without a usable terminal the game refuses, saying why: standard output a file (input still one), or dumb.
VELTRANE_LOG="$work/refused.log" script -qec "timeout 20 '$game' --terminal >'$work/file.out' 2>&1" /dev/null >/dev/null
[[ $? -eq 1 ]] || fail "standard output a file: status not 1"
TERM=dumb VELTRANE_LOG="$work/refused.log" script -qec "timeout 20 '$game' --terminal" /dev/null >"$work/dumb.out" 2>&1
[[ $? -eq 1 ]] || fail "a dumb terminal: status not 1"
for out in file dumb; do
    grep -q "cannot play in this terminal" "$work/$out.out" || fail "$out: no reason given"
done
finish "terminal play passed"
