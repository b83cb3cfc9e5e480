#!/usr/bin/env bash
# Installs what is missing, builds everything (warnings are errors) and runs all tests.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DKELVANE_WERROR=ON -DKELVANE_FUZZ=ON -DKELVANE_PYTHON=ON >/dev/null
cmake --build build
ctest --test-dir build --output-on-failure -j "$(nproc)"
if [[ -x build/kelvane_bench ]]; then
  # A short smoke pass: the benchmarks still run, their timings are not judged here.
  build/kelvane_bench --benchmark_min_time=0.01 >/dev/null
fi
