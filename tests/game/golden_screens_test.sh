#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Every screen the replays take matches its committed picture (scripts/golden-screens.sh).
exec bash "$VL_SOURCE_DIR/scripts/golden-screens.sh" "$VL_BUILD_DIR"
