#!/bin/sh
# SPDX-License-Identifier: MIT
# Regenerates the example's two sound effects with sox (no dither, so every run writes the same bytes).
set -eu
cd "$(dirname "$0")"
# A rising chime when a gem is picked up.
sox -R -D -n -r 22050 -b 16 -c 1 gem.wav synth 0.15 sine 880-1760 fade 0.005 0.15 0.06 vol 0.6
# A falling buzz when the chaser catches the hero.
sox -R -D -n -r 22050 -b 16 -c 1 caught.wav synth 0.5 square 220-110 fade 0.01 0.5 0.2 vol 0.4
