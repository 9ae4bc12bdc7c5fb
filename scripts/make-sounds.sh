#!/bin/sh
# SPDX-License-Identifier: MIT
# Regenerates the game's sound effects and music in sounds/ from tools/soundgen.cpp.
# Usage: scripts/make-sounds.sh [BUILD_DIR]   (default build-sounds; configured if needed)
# Needs cmake, a C++17 compiler and lame.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$root/build-sounds"}
out="$root/sounds"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -DVL_BUILD_TESTS=OFF -DVL_BUILD_BENCH=OFF >/dev/null
fi
# The synthesiser is left out of ordinary builds.
cmake -S "$root" -B "$build" -DVL_BUILD_SOUNDGEN=ON >/dev/null
cmake --build "$build" --target soundgen -j2 >/dev/null
"$build/tools/soundgen" "$tmp"

mkdir -p "$out"
# lame writes its Info tag (exact, gapless length) at 64 kbps and more; --resample keeps
# 44.1 kHz where lame would otherwise lower the rate for the bit rate.
for name in jump shadowswitch light switch levelcomplete; do
    lame --quiet --noreplaygain -b 96 --resample 44.1 "$tmp/$name.wav" "$out/$name.mp3"
done
for name in Ember Ghosts; do
    lame --quiet --noreplaygain -b 112 --resample 44.1 "$tmp/$name.wav" "$out/$name.mp3"
done
ls -l "$out"
