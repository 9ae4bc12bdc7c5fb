#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Real keys in real terminals on a private X server: kitty (release reports), xterm (repeats only) and tmux
# inside xterm, each driven by held and tapped keys. A hold of D (0.5 s in kitty, where longer meets level 1's wall;
# 1 s elsewhere, past the repeat delay), five quick taps, then Ctrl-C: the game ends with status 130 and the terminal takes plain typing again.
source "$(dirname "$0")/testlib.sh"
for tool in kitty xterm xdotool tmux Xvfb; do
    command -v "$tool" >/dev/null || { echo "$tool is not installed (scripts/install-deps.sh)"; exit 1; }
done
export DISPLAY=":$((100 + $$ % 800))" LIBGL_ALWAYS_SOFTWARE=1
socket="vl-keys-$$"
Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
guard "tmux -L $socket kill-server; kill $!"
wait_until "xdotool getmouselocation >/dev/null 2>&1" 20 || { echo "no X server on $DISPLAY"; exit 1; }
echo "networking:false,random_seed:7,log_level:15," >"$work/play.txt"

d_lines() { key_lines D; }
key_lines() { tail -n +$((mark + 1)) "$log" | grep -F "Terminal key '$1'"; }
held_steps() { d_lines | awk '/pressed/ { p = $2 } /released/ { s += $2 - p } END { print s + 0 }'; }
d_up() { d_lines | tail -n 1 | grep -q released; }
player_column() { screen | awk 'index($0, "/|\\") { print index($0, "/|\\"); exit }'; }
# Cells walked since the column given, read off the screen once S has switched worlds there and back (so
# frames after the last release are shown); xterm's screen cannot be read, so there the log's steps count.
walked_since() {
    [[ $name == xterm ]] && { held_steps; return; }
    for world in SHADE LIGHT; do
        xdotool key s
        wait_until "[[ \$(screen | head -5 | cut -c2 | tr -d '\n') == $world ]]" 10 || fail "$name: S did not switch to $world" >&2
        wait_until 'key_lines S | tail -n 1 | grep -q released' 10  # a second S while the first is held is no press
    done
    echo $(($(player_column) - $1))
}

play() {
    name=$1 exact=$2 hold=$3
    log="$work/$name.log"
    local run="$work/$name.sh"
    cat >"$run" <<EOF
trap : INT
cd '$PWD'
VELTRANE_CONFIG='$work/play.txt' VELTRANE_LOG='$log' '$game' --terminal
echo \$? >'$work/$name.exit'
read -r line
printf %s "\$line" >'$work/$name.typed'
EOF
    case $name in
    kitty) kitty --config NONE -o allow_remote_control=yes --listen-on "unix:$work/kitty.sock" \
        -o remember_window_size=no -o initial_window_width=100c -o initial_window_height=30c \
        --class vl-kitty bash "$run" >/dev/null 2>&1 & ;;
    xterm) xterm -geometry 100x30 -class vl-xterm -e bash "$run" & ;;
    tmux) xterm -geometry 100x30 -class vl-tmux -e tmux -L "$socket" -f /dev/null new-session "bash '$run'" & ;;
    esac
    local window
    window=$(xdotool search --sync --class "vl-$name" | head -1)
    xdotool windowfocus --sync "$window"
    local ready="starting game loop"
    [[ $exact -eq 1 ]] && ready="reports key releases"
    wait_until 'grep -q "$ready" "$log" 2>/dev/null' 20 || { fail "$name: no game (or no '$ready')"; return; }
    xdotool key Return
    wait_until 'grep -q "Starting level 1" "$log"' 20 || { fail "$name: Enter did not start level 1"; return; }
    [[ $(count "reports key releases" "$log") -eq $exact ]] || fail "$name: release reports not $exact"
    wait_until '[[ -n $(player_column) || $name == xterm ]]' 10 || fail "$name: no player on the screen"

    local start=$(player_column) mark=$(wc -l <"$log") down_ns up_ns
    down_ns=$(date +%s%N)
    xdotool keydown d
    wait_until "grep -q \"Terminal key 'D' pressed\" <(tail -n +$((mark + 1)) '$log')" 10 || fail "$name: D not pressed"
    sleep "$hold"  # the hold itself
    xdotool keyup d
    up_ns=$(date +%s%N)
    wait_until d_up 10 || fail "$name: D never released ($(grep -F "Terminal key" "$log" | tail -n 3 | tr "\n" " "))"
    local hold_ms=$(((up_ns - down_ns) / 1000000)) held=$(held_steps) walked=$(walked_since "$start")
    echo "$name: a $hold_ms ms hold of D held $held steps in $(d_lines | grep -c pressed) presses, walked $walked cells"
    if [[ $exact -eq 1 ]]; then
        [[ $walked -eq $held && $((held * 33 - hold_ms)) -le 40 && $((hold_ms - held * 33)) -le 40 ]] ||
            fail "$name: the hold did not stop within a step of the release"
    else
        # The tap's 3 steps, a stop until the terminal's repeats start, then pressed again while they come.
        [[ $walked -eq $held && $held -ge 5 && $held -le $((hold_ms / 33)) && $(d_lines | grep -c pressed) -eq 2 ]] ||
            fail "$name: the hold was not a tap, then a press held while the repeats came"
    fi

    start=$(player_column) mark=$(wc -l <"$log")
    for tap in 1 2 3 4 5; do  # each press and release sent back to back
        xdotool keydown d keyup d
        wait_until "[[ \$(d_lines | grep -c released) -eq $tap ]]" 10 || fail "$name: tap $tap was not released"
    done
    walked=$(walked_since "$start")
    echo "$name: five quick taps of D walked $walked cells"
    [[ $walked -ge 5 && $walked -le $((exact == 1 ? 5 : 15)) ]] || fail "$name: five taps walked $walked cells"

    xdotool key ctrl+c
    wait_until "[[ -s '$work/$name.exit' ]]" 10 || { fail "$name: Ctrl-C did not end the game"; return; }
    [[ $(cat "$work/$name.exit") -eq 130 ]] || fail "$name: Ctrl-C ended the game with $(cat "$work/$name.exit")"
    xdotool type --delay 50 abc
    xdotool key Return
    wait_until "[[ -e '$work/$name.typed' ]]" 10 || fail "$name: the shell read no line after the game"
    [[ $(cat "$work/$name.typed" 2>/dev/null) == abc ]] || fail "$name: typing after the game gave '$(cat -v "$work/$name.typed")'"
}

screen() { kitty @ --to "unix:$work/kitty.sock" get-text; }
play kitty 1 0.5
play xterm 0 1
screen() { tmux -L "$socket" capture-pane -p 2>/dev/null; }
play tmux 0 1
finish "terminal keys passed"
