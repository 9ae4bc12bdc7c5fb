#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The sprite checker: the game's sprites load, broken files fail with the loader's own messages, one bad
# file does not stop the others, and the preview shows each frame's rows.
source "$(dirname "$0")/../game/testlib.sh"
checker="$build_dir/tools/veltrane-sprite"
data="$source_dir/tests/data/sprites"

# The game's sprites and the good corpus files load without a message; each broken file fails alone with
# a loader message (the reasons: SpriteFileTest.cpp).
shipped=("$source_dir"/sprites/*.txt "$data"/good-*.txt)
"$checker" check --no-color "${shipped[@]}" >"$work/game.out" 2>"$work/game.err" || fail "good sprites: exit status $?"
[[ $(count ': OK: ' "$work/game.out") -eq ${#shipped[@]} ]] || fail "not every good sprite reported OK"
[[ -s "$work/game.err" ]] && fail "good sprites gave loader messages: $(head -n 3 "$work/game.err")"
grep -q "${#shipped[@]} file(s) checked, 0 failed" "$work/game.out" || fail "no summary for the good sprites"
bad=("$data"/bad-*.txt)
"$checker" check --no-color "${bad[@]}" >"$work/bad.out" 2>"$work/bad.err"
[[ $? -eq 1 ]] || fail "the broken files: expected exit status 1"
[[ $(count ": NOT loaded" "$work/bad.out") -eq ${#bad[@]} ]] || fail "not every broken file reported failed"
[[ $(count "' NOT loaded" "$work/bad.err") -eq ${#bad[@]} ]] || fail "not every broken file has a loader message"

# A mix: the failures counted, the good file after them still checked and previewed, rows inside frame edges.
"$checker" check --no-color "$data/bad-simple-row-width.txt" "$work/missing.txt" "$work" \
    "$data/good-simple.txt" >"$work/mix.out" 2>"$work/mix.err"
[[ $? -eq 1 ]] || fail "mixed files: expected exit status 1"
grep -q "4 file(s) checked, 3 failed" "$work/mix.out" || fail "mixed files: wrong summary"
for reason in "Width is 4, expected 3." "Cannot open file '$work/missing.txt'" "'$work' is not a regular file"; do
    grep -qF "$reason" "$work/mix.err" || fail "mixed files: no '$reason'"
done
expected=$'frame 1\n+---+\n|.o.|\n|+=+|\n+---+\nframe 2\n+---+\n|.o.|\n|x=x|\n+---+'
preview=$(sed -n '/good-simple.txt: OK/,/file(s) checked/p' "$work/mix.out" | sed -e '1d;$d' -e 's/^ *//')
[[ "$preview" == "$expected" ]] || fail "preview of good-simple.txt is:"$'\n'"$preview"
grep -q "good-simple.txt: OK: 2 frame(s), 3 x 2, Green, slowdown 4, transparency none" "$work/mix.out" ||
    fail "the summary line of good-simple.txt is wrong"

# Transparent cells are blank in the preview; colour only when asked for.
"$checker" check --no-color "$data/good-robust.txt" >"$work/robust.out" 2>&1
grep -q '| o |' "$work/robust.out" || fail "the transparency character is shown in the preview"
grep -q $'\033' "$work/robust.out" && fail "--no-color output has escape sequences"
"$checker" check --color "$data/good-robust.txt" >"$work/color.out" 2>&1
grep -q $'\033\\[1;32m o \033\\[0m' "$work/color.out" || fail "--color does not colour green rows"

# Usage errors: no arguments, no files, an unknown command or option.
for args in "" "check" "show $data/good-simple.txt" "check --bogus $data/good-simple.txt"; do
    "$checker" $args >/dev/null 2>&1
    [[ $? -eq 2 ]] || fail "'$args': expected exit status 2"
done
finish "sprite checker: ${#shipped[@]} good sprites OK, corpus and usage checks passed"
