#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The sprite checker: every sprite the game ships loads, broken files fail with the loader's own
# messages, one bad file does not stop the others, and the preview shows each frame's rows.
set -uo pipefail

checker="${VL_BUILD_DIR:?VL_BUILD_DIR must name the build directory}/tools/veltrane-sprite"
data="${VL_SOURCE_DIR:-.}/tests/data/sprites"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# The game's own sprites.
shipped=("${VL_SOURCE_DIR:-.}"/sprites/*.txt)
"$checker" check --no-color "${shipped[@]}" >"$work/game.out" 2>"$work/game.err"
status=$?
[[ $status -eq 0 ]] || fail "the game's sprites: exit status $status"
[[ $(grep -c ': OK: ' "$work/game.out") -eq ${#shipped[@]} ]] || fail "not every game sprite reported OK"
[[ -s "$work/game.err" ]] && fail "the game's sprites gave loader messages: $(head -n 3 "$work/game.err")"
grep -q "${#shipped[@]} file(s) checked, 0 failed" "$work/game.out" || fail "no summary for the game's sprites"

# Every good file of the corpus loads; every broken one fails alone with the loader's reason
# (the reasons themselves are checked in tests/engine/resources/SpriteFileTest.cpp).
good=("$data"/good-*.txt)
bad=("$data"/bad-*.txt)
"$checker" check --no-color "${good[@]}" >"$work/good.out" 2>&1 || fail "a good corpus file was refused"
"$checker" check --no-color "${bad[@]}" >"$work/bad.out" 2>"$work/bad.err"
[[ $? -eq 1 ]] || fail "the broken files: expected exit status 1"
[[ $(grep -c ": NOT loaded" "$work/bad.out") -eq ${#bad[@]} ]] || fail "not every broken file reported failed"
[[ $(grep -c "' NOT loaded" "$work/bad.err") -eq ${#bad[@]} ]] || fail "not every broken file has a loader message"

# A mix: the failures are counted and the good file after them is still checked and previewed.
"$checker" check --no-color "$data/bad-simple-row-width.txt" "$work/missing.txt" "$work" \
    "$data/good-simple.txt" >"$work/mix.out" 2>"$work/mix.err"
status=$?
[[ $status -eq 1 ]] || fail "mixed files: exit status $status, expected 1"
grep -q "4 file(s) checked, 3 failed" "$work/mix.out" || fail "mixed files: wrong summary"
grep -q "Width is 4, expected 3." "$work/mix.err" || fail "mixed files: the row-width reason is missing"
grep -q "Cannot open file '$work/missing.txt'" "$work/mix.err" || fail "mixed files: the missing file is not named"
grep -q "'$work' is not a regular file" "$work/mix.err" || fail "mixed files: the directory is not refused"

# The preview of the good file is its rows, in order, inside the frame edges.
expected=$'frame 1\n+---+\n|.o.|\n|+=+|\n+---+\nframe 2\n+---+\n|.o.|\n|x=x|\n+---+'
preview=$(sed -n '/good-simple.txt: OK/,/file(s) checked/p' "$work/mix.out" | sed -e '1d;$d' -e 's/^ *//')
[[ "$preview" == "$expected" ]] || fail "preview of good-simple.txt is:"$'\n'"$preview"
grep -q "good-simple.txt: OK: 2 frame(s), 3 x 2, Green, slowdown 4, transparency none" "$work/mix.out" ||
    fail "the summary line of good-simple.txt is wrong"

# Transparent cells are blank in the preview, and colour is only used when asked for.
"$checker" check --no-color "$data/good-robust.txt" >"$work/robust.out" 2>&1
grep -q '| o |' "$work/robust.out" || fail "the transparency character is shown in the preview"
"$checker" check --color "$data/good-robust.txt" >"$work/color.out" 2>&1
grep -q $'\033\\[1;32m o \033\\[0m' "$work/color.out" || fail "--color does not colour green rows"
grep -q $'\033' "$work/robust.out" && fail "--no-color output has escape sequences"

# Usage errors.
"$checker" >/dev/null 2>&1
[[ $? -eq 2 ]] || fail "no arguments: expected exit status 2"
"$checker" check >/dev/null 2>&1
[[ $? -eq 2 ]] || fail "no files: expected exit status 2"
"$checker" show "$data/good-simple.txt" >/dev/null 2>&1
[[ $? -eq 2 ]] || fail "unknown command: expected exit status 2"
"$checker" check --bogus "$data/good-simple.txt" >/dev/null 2>&1
[[ $? -eq 2 ]] || fail "unknown option: expected exit status 2"

if [[ $failures -ne 0 ]]; then
    echo "$failures failure(s)"
    exit 1
fi
echo "sprite checker: ${#shipped[@]} game sprites OK, corpus and usage checks passed"
