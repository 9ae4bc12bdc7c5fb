#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Checks the Debian packages that `make package` built: lintian finds no errors; unpacked into a
# temporary root, the programmers' package builds the example game, and the game plays level 1 to
# its door from a directory outside the repository, with its installed data, with VELTRANE_DATA
# naming a copy of it, and stops with status 1 naming every place it looked when there is none.
#
# Usage: scripts/check-packages.sh PACKAGE_DIR   (build-package/packages after `make package`)
set -euo pipefail

if [[ $# -ne 1 ]]; then
    echo "usage: $0 PACKAGE_DIR" >&2
    exit 2
fi
repo=$(cd "$(dirname "$0")/.." && pwd)
packages=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "check-packages: FAILED: $*" >&2
    exit 1
}

debs=("$packages"/veltrane_*.deb "$packages"/libveltrane-dev_*.deb)
for deb in "${debs[@]}"; do
    [[ -f "$deb" ]] || fail "no package $deb"
done
lintian --fail-on error "${debs[@]}" || fail "lintian reports errors"

# The game's package holds its seven level files, which the level 1 replay below then reads.
game_files=$(dpkg-deb -c "$packages"/veltrane_*.deb)
for level in frame level-1 level-2 level-3 level-4 level-5 level-6; do
    grep -qF "./usr/share/veltrane/levels/$level.txt" <<<"$game_files" || fail "the game's package has no levels/$level.txt"
done

root="$work/root"
for deb in "${debs[@]}"; do
    dpkg-deb -x "$deb" "$root"
done
JOBS=${JOBS:-2} bash "$repo/scripts/check-example.sh" "$root/usr" "$work/example"

# Plays the level 1 replay headless from $work/run; sets status, log and err.
mkdir "$work/run"
printf 'headless:true,\nframe_time:0,\nnetworking:false,\nrandom_seed:7,\n' >"$work/config.txt"
play() {
    log="$work/game.log" err="$work/game.err"
    rm -f "$log"
    status=0
    (cd "$work/run" && env -u VELTRANE_DATA ALSOFT_DRIVERS=null "$@" VELTRANE_CONFIG="$work/config.txt" \
        VELTRANE_LOG="$log" VELTRANE_REPLAY="$repo/tests/game/replays/level-1.txt" \
        timeout 120 "$root/usr/games/veltrane-game" >/dev/null 2>"$err") || status=$?
}

expect_door() {
    [[ $status -eq 0 ]] || fail "$1: exit status $status: $(cat "$err")"
    grep -q "door entered" "$log" || fail "$1: the door was not entered"
    ! grep -q "Level file" "$log" || fail "$1: a level file did not load: $(grep "Level file" "$log")"
    echo "check-packages: $1: level 1 played to its door"
}

play
expect_door "installed data"
mv "$root/usr/share/veltrane" "$work/data"
play VELTRANE_DATA="$work/data"
expect_door "VELTRANE_DATA"

play
[[ $status -eq 1 ]] || fail "no data: exit status $status"
for place in "$root/usr/share/veltrane/ (installed beside the program)" "$work/run/ (the working directory)"; do
    grep -qF "$place" "$err" || fail "no data: '$place' is not named: $(cat "$err")"
done
echo "check-packages: no data: status 1, every place named"
