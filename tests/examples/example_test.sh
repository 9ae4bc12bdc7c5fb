#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The example game, built against this tree, plays its replay: its chaser finds the way out of its
# corridor and catches the hero (the checks are scripts/play-example.sh, shared with make example).
source "$(dirname "$0")/../game/testlib.sh"
examples="$source_dir/examples"
mkdir -p "$work/run" && cp -r "$examples/sprites" "$examples/sounds" "$source_dir/vl-font.ttf" "$work/run/"
bash "$source_dir/scripts/play-example.sh" "$build_dir/tests/tools/gem-chase" "$work/run" \
    "$examples/gem-chase-replay.txt" || fail "the example game did not play as its replay expects"
finish "the example game plays its replay"
