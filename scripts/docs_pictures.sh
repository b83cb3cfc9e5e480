#!/usr/bin/env bash
# Draws again the pictures the README shows after its first charts (docs/images/), from the
# example scripts the README shows. The sample tests fail when a committed picture differs.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build --target kelvane_cli
mkdir -p docs/images
build/kelvane --output docs/images examples/first_bars.kvs examples/first_pie.kvs
echo "drew docs/images/first_bars.png and docs/images/first_pie.png" >&2
