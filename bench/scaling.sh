#!/usr/bin/env bash
# Builds the scaling program (Release) and prints its table: the typical dressed request at
# 400 x 300, 800 x 600, 1920 x 1080, 3840 x 2160 and 7680 x 4320, CPU time per pixel and the
# peak resident memory of a fresh process per size against 3 x the 24-bit canvas + 16 MB.
# Exits 2 when a size exceeds that bound.
#
#   bench/scaling.sh                  build into build/ and measure (5 rounds)
#   BUILD_DIR=out ROUNDS=9 bench/scaling.sh
set -euo pipefail

cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
ROUNDS=${ROUNDS:-5}

cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKELVANE_BENCH=ON >/dev/null
nice cmake --build "$BUILD_DIR" --target kelvane_scaling >/dev/null
"$BUILD_DIR/kelvane_scaling" "$ROUNDS"
