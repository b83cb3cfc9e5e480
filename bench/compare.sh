#!/usr/bin/env bash
# Builds the benchmarks (Release) and prints the speed comparison with libjpeg-turbo: the typical
# request to JPEG bytes and image map against the reference encoding the same pixels alone, and
# the JPEG encoder alone against the reference at 400 x 300 and 1920 x 1080. The reference is
# libjpeg-turbo with the float DCT, optimised Huffman tables, quality 75 and 4:2:0. Both sides run
# in one binary, interleaved in random order, repeated; the table shows the medians of CPU time.
# A second table (bench/scaling.sh) shows the request's time per pixel and peak memory from
# 400 x 300 to 7680 x 4320.
#
#   bench/compare.sh                  build into build/ and compare
#   BUILD_DIR=out REPETITIONS=30 MIN_TIME=0.1 bench/compare.sh
set -euo pipefail

cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
REPETITIONS=${REPETITIONS:-20}
MIN_TIME=${MIN_TIME:-0.05}

cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKELVANE_BENCH=ON >/dev/null
nice cmake --build "$BUILD_DIR" --target kelvane_bench >/dev/null

results=$(mktemp)
trap 'rm -f "$results"' EXIT
"$BUILD_DIR/kelvane_bench" \
    --benchmark_filter='^(BM_RequestToJpegAndMap|BM_LibjpegTurboRequestPixels|(BM_KelvaneJpeg|BM_LibjpegTurbo)/(400/300|1920/1080)/0)$' \
    --benchmark_repetitions="$REPETITIONS" \
    --benchmark_enable_random_interleaving=true \
    --benchmark_min_time="$MIN_TIME" \
    --benchmark_report_aggregates_only=true \
    --benchmark_format=json --benchmark_out="$results" --benchmark_out_format=json >/dev/null

python3 - "$results" "$REPETITIONS" <<'PY'
import json, sys

data = json.load(open(sys.argv[1]))
scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}
median = {}
for b in data["benchmarks"]:
    if b.get("aggregate_name") == "median":
        median[b["run_name"]] = b["cpu_time"] * scale[b["time_unit"]]

rows = [
    ("whole request -> JPEG bytes + map, 400 x 300", "BM_RequestToJpegAndMap", "BM_LibjpegTurboRequestPixels", 1.0),
    ("JPEG encode alone, 400 x 300", "BM_KelvaneJpeg/400/300/0", "BM_LibjpegTurbo/400/300/0", 0.8),
    ("JPEG encode alone, 1920 x 1080 chart", "BM_KelvaneJpeg/1920/1080/0", "BM_LibjpegTurbo/1920/1080/0", 1.0),
]
print(f"Medians of {sys.argv[2]} interleaved repetitions, CPU time; reference: libjpeg-turbo "
      "(float DCT, optimize_coding, q75, 4:2:0) encoding the same pixels alone.")
print()
print("| measured | Kelvane | libjpeg-turbo | ratio | goal | met |")
print("|---|---|---|---|---|---|")
for label, ours, reference, goal in rows:
    a, b = median[ours], median[reference]
    ratio = a / b
    print(f"| {label} | {a:.3f} ms | {b:.3f} ms | {ratio:.2f}x | <= {goal:.1f}x | {'yes' if ratio <= goal else 'no'} |")
PY

# Second table: the same request scaled up to 7680 x 4320.
echo
bash bench/scaling.sh
