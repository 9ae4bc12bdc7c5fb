#!/bin/sh
# SPDX-License-Identifier: MIT
# Regenerates the small audio files the engine's tests read, in tests/data/audio/,
# and copies the MP3 ones into the reader's fuzzing seed corpus.
# Needs sox (with MP3 and Ogg Vorbis support), lame and perl.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
out="$root/tests/data/audio"
corpus="$root/tests/data/fuzz/Mp3ReaderFuzz"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$out" "$corpus"

# sox -R: repeatable output (fixed dither and stream serial numbers).
# A 440 Hz tone, half a second, mono, 44.1 kHz, 16-bit; 5 ms ramps avoid edge clicks.
sox -R -n -r 44100 -c 1 -b 16 "$out/tone440.wav" synth 0.5 sine 440 vol 0.5 fade t 0.005 0.5 0.005
sox -R "$out/tone440.wav" -C 3 "$out/tone440.ogg"

# lame at 64 kbps or more writes the Info tag that makes decoded lengths exact.
# The mono tone carries an ID3v2 tag; the stereo one starts straight with a frame.
lame --quiet --noreplaygain -b 64 --id3v2-only --tt "Test tone 440 Hz" \
    "$out/tone440.wav" "$out/tone440.mp3"

# Stereo: 440 Hz on the left, 660 Hz on the right.
sox -R -n -r 44100 -c 2 -b 16 "$tmp/stereo.wav" synth 0.5 sine 440 sine 660 vol 0.5 \
    fade t 0.005 0.5 0.005
lame --quiet --noreplaygain -b 128 --resample 44.1 "$tmp/stereo.wav" "$out/stereo.mp3"

# The first 30 % of a two-second file: its Info tag promises frames that are missing.
sox -R -n -r 44100 -c 1 -b 16 "$tmp/long.wav" synth 2 sine 440 vol 0.5
lame --quiet --noreplaygain -b 64 "$tmp/long.wav" "$tmp/long.mp3"
size=$(wc -c < "$tmp/long.mp3")
head -c $((size * 3 / 10)) "$tmp/long.mp3" > "$out/truncated.mp3"

# 2 KiB from a fixed linear congruential generator: random-looking, identical every time.
perl -e '$x = 12345; for (1 .. 2048) { $x = ($x * 1103515245 + 12345) % 2147483648;
    print chr(($x >> 16) & 255); }' > "$out/garbage.mp3"

: > "$out/empty.mp3"
printf 'This is a text file, not a sound.\nRIFF? No.\n' > "$out/text.wav"

for f in tone440.mp3 stereo.mp3 truncated.mp3 garbage.mp3 empty.mp3; do
    cp "$out/$f" "$corpus/$f"
done
ls -l "$out"
