#!/usr/bin/env bash
# Installs what is missing, builds the chart-script tool and renders examples/*.kvs into out/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build --target kelvane_cli
mkdir -p out
# One script per core (the default), each with the same result as when run alone.
build/kelvane --output out examples/*.kvs
echo "rendered $(ls examples/*.kvs | wc -l) scripts into out/" >&2
