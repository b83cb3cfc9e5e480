#!/usr/bin/env bash
# Records the canvas calls of example chart scripts and has the reference renderer (a real GDI,
# the gdi-oracle tool; GDI_ORACLE names its run.sh) draw them: NAME.txt is the recorded script (pictures it copies in
# are NAME-K.bmp), NAME.ref the reference renderer's picture, packed as the raster reference sets
# are. Run from anywhere after building (build/kelvane), optionally with example names; CI only
# reads the results.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../../.." && pwd)"
renderer="${GDI_ORACLE:-$root/../shared/tools/gdi-oracle/run.sh}"
names=(bars_flat bars_3d bars_line bars_stacked bars_labels bars_pareto bars_pictures line_modes shapes wave_curves
       pie_pulled_out pie_solid pie_solid_low)
# Names on the command line redo only those examples.
if (( $# > 0 )); then names=("$@"); fi
for name in "${names[@]}"; do
  work="$(mktemp -d)"
  # Without the GIF outputs at the end, as the tests run the examples (a GIF ends the canvas).
  grep -v -i -E '^[[:space:]]*makechart[[:space:]]+".*\.gif"|savebinary\("gif"\)' "$root/examples/$name.kvs" > "$work/$name.kvs"
  (cd "$root" && KELVANE_GDI_TRACE="$work" build/kelvane --codepage 1252 --output "$work" "$work/$name.kvs" >/dev/null)
  script=$(ls "$work"/chart-*.txt | head -n 1)
  stem=$(basename "${script%.txt}")
  rm -f "$here/$name".txt "$here/$name"-*.bmp
  for asset in "$work/$stem"-*.bmp; do
    [[ -e "$asset" ]] || continue
    cp "$asset" "$here/$name${asset#"$work/$stem"}"
  done
  sed -e "s/$stem/$name/g" "$script" > "$here/$name.txt"
  mkdir -p "$work/o" && cp "$here/$name"-*.bmp "$work/o/" 2>/dev/null || true
  (cd "$work/o" && "$renderer" "$here/$name.txt" >/dev/null)
  python3 "$root/tests/reference/pack.py" "$here/$name.txt" "$work/o" "$here/$name.ref"
  rm -rf "$work"
  echo "$name" >&2
done
