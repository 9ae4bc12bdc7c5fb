#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian 12 packages Veltrane needs, for playing, for testing or for everything.
# Quick when everything is present; installs only what is missing.
set -euo pipefail

# What each use needs; play, test and all each include the ones before them.
#   scripts/install-deps.sh play   building and playing the game (make run)
#   scripts/install-deps.sh test   building and running every test (make test, make asan)
#   scripts/install-deps.sh web    only the browser build and its tests (make web, make web-test)
#   scripts/install-deps.sh        everything: continuous integration, benchmarks, fuzzing, formatting,
#                                  the API reference, the packages, regenerating the sounds, and web
group=${1:-all}
case "$group" in
    play | test | web | all) ;;
    *)
        echo "usage: scripts/install-deps.sh [play|test|web|all]" >&2
        exit 2
        ;;
esac

PACKAGES=()
if [[ "$group" != web ]]; then
    PACKAGES+=(
        # build
        g++ make cmake pkg-config
        # engine libraries
        libsfml-dev libmpg123-dev libopenal-dev libgl1-mesa-dri libncurses-dev
    )
fi
if [[ "$group" == web || "$group" == all ]]; then
    PACKAGES+=(
        # the browser build (make web): the compiler for WebAssembly; make and cmake drive it
        emscripten make cmake
        # the browser tests (make web-test): headless Chromium, driven by playwright-core from npm
        # (tests/web/package.json) under Node.js, and a picture of the window to compare with
        chromium imagemagick
    )
    # Node.js and npm may come from elsewhere than Debian (with npm inside nodejs): ask for Debian's
    # only when the commands are missing.
    command -v node > /dev/null || PACKAGES+=(nodejs)
    command -v npm > /dev/null || PACKAGES+=(npm)
fi
if [[ "$group" == test || "$group" == all ]]; then
    PACKAGES+=(
        # tests and their window, pictures and keys
        libgtest-dev libgmock-dev
        xvfb xauth xdotool imagemagick x11-utils
        # the terminal tests (tests/game/terminal_play_test.sh, terminal_keys_test.sh): kitty reports key
        # releases, xterm only repeats
        tmux kitty xterm
        # memory checking (tests/game/valgrind_test.sh)
        valgrind
    )
fi
if [[ "$group" == all ]]; then
    PACKAGES+=(
        git
        # benchmarks and profiling (docs/performance.md)
        libbenchmark-dev linux-perf
        # fuzzing and formatting
        clang libclang-rt-14-dev clang-format
        # assets: font, sound regeneration
        fonts-dejavu-core lame sox libsox-fmt-mp3
        # Debian packages and their checks (make package), the API reference (make docs)
        dpkg-dev file lintian doxygen
    )
fi

missing=()
for package in "${PACKAGES[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    if [[ "$status" != "install ok installed" ]]; then
        missing+=("$package")
    fi
done

if [[ ${#missing[@]} -eq 0 ]]; then
    exit 0
fi

echo "install-deps: missing packages: ${missing[*]}"
if [[ $(id -u) -ne 0 ]]; then
    echo "install-deps: run as root, or:"
    echo "  sudo apt-get update && sudo DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends ${missing[*]}"
    exit 1
fi

export DEBIAN_FRONTEND=noninteractive
# Wait for another apt or dpkg run instead of failing on its lock.
apt-get -o DPkg::Lock::Timeout=600 update
apt-get -o DPkg::Lock::Timeout=600 install -y --no-install-recommends "${missing[@]}"
