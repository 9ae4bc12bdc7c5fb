#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The golden screens: plays, headless, every replay in tests/game/replays/ that takes screens
# ('STEP screen NAME' lines, docs/replay.md) and compares each screen with tests/game/screens/NAME.txt,
# printing a diff of the two pictures. With --update it writes the screens there instead, for review.
#   scripts/golden-screens.sh [--update] [BUILD_DIR]
set -euo pipefail

update=0
if [[ "${1:-}" == "--update" ]]; then
    update=1
    shift
fi
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
expected="$root/tests/game/screens"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf 'headless:true,frame_time:0,random_seed:7\n' > "$work/config.txt"
mkdir -p "$expected"

status=0
declare -A taken=()
for replay in $(grep -l -E '^[[:space:]]*[0-9]+[[:space:]]+screen[[:space:]]' "$root"/tests/game/replays/*.txt | sort); do
    name=$(basename "$replay" .txt)
    mkdir -p "$work/$name" "$work/$name-home"
    # Each replay starts with nothing finished; a refused replay would run on without input, hence the limit.
    if ! (cd "$root" && XDG_DATA_HOME="$work/$name-home" VELTRANE_LOG="$work/$name.log" \
          VELTRANE_CONFIG="$work/config.txt" VELTRANE_REPLAY="$replay" VELTRANE_SCREENS="$work/$name" \
          timeout 300 "$build/veltrane-game" > /dev/null 2> "$work/$name.err") ||
       ! grep -q "Replay finished" "$work/$name.log"; then
        echo "golden-screens: $name did not play to its end:"
        grep -h "Error" "$work/$name.log" "$work/$name.err" || true
        status=1
        continue
    fi
    for screen in "$work/$name"/*.txt; do
        [[ -e "$screen" ]] || continue
        file=$(basename "$screen")
        taken[$file]=$name
        if (( update )); then
            cp "$screen" "$expected/$file"
        elif [[ ! -f "$expected/$file" ]]; then
            echo "golden-screens: $name takes $file, which tests/game/screens/ does not have"
            status=1
        elif ! diff -u --label "expected tests/game/screens/$file" --label "drawn by $name" \
                "$expected/$file" "$screen"; then
            status=1
        fi
    done
done
for file in "$expected"/*.txt; do
    [[ -e "$file" ]] || continue
    if [[ -z "${taken[$(basename "$file")]:-}" ]]; then
        echo "golden-screens: no replay takes tests/game/screens/$(basename "$file")"
        status=1
    fi
done
if (( update )); then
    echo "golden-screens: wrote ${#taken[@]} screens to tests/game/screens/; review them with git diff"
elif (( status == 0 )); then
    echo "golden-screens: ${#taken[@]} screens match"
fi
exit $status
