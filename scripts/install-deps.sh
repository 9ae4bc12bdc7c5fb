#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian 12 packages needed to build, run, test, benchmark and fuzz
# Veltrane. Quick when everything is present; installs only what is missing.
set -euo pipefail

PACKAGES=(
    # build
    g++ make cmake pkg-config git
    # engine libraries
    libsfml-dev libmpg123-dev libopenal-dev libgl1-mesa-dri libncurses-dev
    # tests and benchmarks
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth xdotool imagemagick x11-utils
    # the terminal tests (tests/game/play_terminal_test.sh)
    tmux
    # profiling (docs/performance.md)
    linux-perf
    # memory checking (tests/game/valgrind_test.sh)
    valgrind
    # fuzzing and formatting
    clang libclang-rt-14-dev clang-format
    # assets: font, sound regeneration
    fonts-dejavu-core lame sox libsox-fmt-mp3
    # Debian packages and their checks (make package), the API reference (make docs)
    dpkg-dev file lintian doxygen
)

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
