#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Real keys in real terminals on a private X server: kitty (release reports), xterm (repeats only) and tmux
# inside xterm, each driven by held and tapped keys on level 2's open floor: a 1 s hold of D, five quick taps,
# Ctrl-C; in a second game Ctrl-Z, fg and Ctrl-\; the shell takes plain typing after each signal key.
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

shell() { xdotool type --delay 50 "$1" && xdotool key Return; }
# Types abc and Enter at the shell, which must read it back as that line into the file given.
typed() {
    shell abc && wait_until "[[ -e '$1' ]]" 10 || fail "$name: the shell read no line $2"
    [[ $(cat "$1" 2>/dev/null) == abc ]] || fail "$name: typing $2 gave '$(cat -v "$1")'"
}
# A signal key ends game $3 with status $2, the terminal given back.
quit_with() {
    xdotool key "$1"
    wait_until "[[ -s '$work/$name.$3.exit' ]]" 10 || { fail "$name: $1 did not end the game"; return; }
    [[ $(cat "$work/$name.$3.exit") -eq $2 ]] || fail "$name: $1 ended the game with $(cat "$work/$name.$3.exit")"
    typed "$work/$name.$3.typed" "after $1"
}

play() {
    name=$1 exact=$2 hold=1 log="$work/$1.1.log"
    local run="$work/$name.sh"
    cat >"$run" <<EOF
PS1='ready\$ '; unset HISTFILE; trap : INT QUIT; ulimit -c 0; cd '$PWD'; echo \$\$ >'$work/$name.shell'
g() {  # game \$1: its status, then a line typed at the shell; stopped by Ctrl-Z, a line typed meanwhile, then fg
    VELTRANE_CONFIG='$work/play.txt' VELTRANE_LOG="$work/$name.\$1.log" '$game' --terminal
    local status=\$?
    [[ \$status -eq 148 ]] && { read -r line; printf %s "\$line" >'$work/$name.suspended'; fg; status=\$?; }
    echo \$status >"$work/$name.\$1.exit"; read -r line; printf %s "\$line" >"$work/$name.\$1.typed"
    [[ \$1 -eq 1 ]] || exit
}
PROMPT_COMMAND='unset PROMPT_COMMAND; g 1'  # at the first prompt, so no key is typed before the shell reads
EOF
    case $name in
    kitty) kitty --config NONE -o allow_remote_control=yes --listen-on "unix:$work/kitty.sock" \
        -o remember_window_size=no -o initial_window_width=100c -o initial_window_height=30c \
        --class vl-kitty bash --rcfile "$run" -i >/dev/null 2>&1 & ;;
    xterm) xterm -geometry 100x30 -class vl-xterm -e bash --rcfile "$run" -i & ;;
    tmux) xterm -geometry 100x30 -class vl-tmux -e tmux -L "$socket" -f /dev/null new-session "bash --rcfile '$run' -i" & ;;
    esac
    xdotool windowfocus --sync "$(xdotool search --sync --class "vl-$name" | head -1)"
    local ready="starting game loop" && [[ $exact -eq 1 ]] && ready="reports key releases"
    wait_until 'grep -q "$ready" "$log" 2>/dev/null' 20 || { fail "$name: no game (or no '$ready')"; return; }
    xdotool key 2 Return
    wait_until 'grep -q "Starting level 2" "$log"' 20 || { fail "$name: 2 and Enter did not start level 2"; return; }
    [[ $(count "reports key releases" "$log") -eq $exact ]] || fail "$name: release reports not $exact"
    wait_until '[[ -n $(player_column) || $name == xterm ]]' 10 || fail "$name: no player on the screen"

    local start=$(player_column) mark=$(wc -l <"$log") down_ns up_ns
    down_ns=$(date +%s%N) && xdotool keydown d
    wait_until "grep -q \"Terminal key 'D' pressed\" <(tail -n +$((mark + 1)) '$log')" 10 || fail "$name: D not pressed"
    sleep "$hold"  # the hold itself
    xdotool keyup d && up_ns=$(date +%s%N)
    wait_until 'd_lines | tail -n 1 | grep -q released' 10 || fail "$name: D never released ($(grep -F "Terminal key" "$log" | tail -n 3 | tr "\n" " "))"
    local hold_ms=$(((up_ns - down_ns) / 1000000)) held=$(held_steps) walked=$(walked_since "$start")
    echo "$name: a $hold_ms ms hold of D held $held steps in $(d_lines | grep -c pressed) presses, walked $walked cells"
    if [[ $exact -eq 1 ]]; then
        local slack=$((40 + hold_ms / 20)) &&  # a step, and 5 % for a busy machine's slower loop
        [[ $walked -eq $held && $((held * 33 - hold_ms)) -le $slack && $((hold_ms - held * 33)) -le $slack ]] ||
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

    quit_with ctrl+c 130 1
    # Ctrl-Z stops the game, the terminal given back: the shell reads plain typing; after fg the title is whole
    # again (it never changes: only a full redraw shows it).
    shell "g 2" && wait_until 'grep -q "$ready" "$work/$name.2.log" 2>/dev/null' 20 || { fail "$name: no second game"; return; }
    local pid=$(pgrep -P "$(cat "$work/$name.shell")" -x veltrane-game) title='screen | grep -qF "ENTER  play"'
    wait_until "[[ $name == xterm ]] || $title" 10 || fail "$name: no title screen"
    xdotool key ctrl+z
    wait_until "grep -q '^State:.T' /proc/$pid/status" 10 || { fail "$name: Ctrl-Z did not stop the game"; return; }
    wait_until "[[ $name == xterm ]] || ! $title" 10 || fail "$name: the title stayed on the screen while stopped"
    typed "$work/$name.suspended" "while stopped"
    wait_until "[[ $name == xterm ]] || $title" 10 || fail "$name: no whole title after fg"
    quit_with ctrl+backslash 131 2
}

screen() { kitty @ --to "unix:$work/kitty.sock" get-text; }
play kitty 1
play xterm 0
screen() { tmux -L "$socket" capture-pane -p 2>/dev/null; }
play tmux 0
finish "terminal keys passed"
