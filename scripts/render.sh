#!/usr/bin/env bash
# Installs what is missing, builds the chart-script tool and renders examples/*.kvs into out/,
# then checks that the run printed exactly the warnings examples/expected-warnings.txt lists.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build --target kelvane_cli
mkdir -p out
# One script per core (the default), each with the same result as when run alone.
messages=$(mktemp)
trap 'rm -f "$messages"' EXIT
status=0
build/kelvane --output out examples/*.kvs 2>"$messages" || status=$?
cat "$messages" >&2
if [[ $status -ne 0 ]]; then
  exit "$status"
fi
expected=$(grep -v -e '^#' -e '^$' examples/expected-warnings.txt | LC_ALL=C sort)
got=$( { grep ': warning: ' "$messages" || true; } | LC_ALL=C sort)
if [[ "$got" != "$expected" ]]; then
  echo "render.sh: the examples' warnings differ from examples/expected-warnings.txt:" >&2
  diff <(echo "$expected") <(echo "$got") >&2 || true
  exit 1
fi
echo "rendered $(ls examples/*.kvs | wc -l) scripts into out/" >&2
