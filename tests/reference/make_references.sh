#!/usr/bin/env bash
# Renders reference scripts with the reference renderer (a real GDI, see
# ../shared/tools/gdi-oracle) and packs what they save into NAME.ref beside each script.
# Usage: make_references.sh [SCRIPT.txt...]   (default: every script in this folder)
# Needs the renderer's packages (it installs them); CI only reads the .ref files.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
renderer="${GDI_ORACLE:-$here/../../../shared/tools/gdi-oracle/run.sh}"
scripts=("$@")
[[ ${#scripts[@]} -gt 0 ]] || scripts=("$here"/*.txt)
for script in "${scripts[@]}"; do
  script="$(cd "$(dirname "$script")" && pwd)/$(basename "$script")"
  work="$(mktemp -d)"
  # Pattern and source pictures the script loads sit beside it.
  cp "$here"/*.bmp "$work"/ 2>/dev/null || true
  (cd "$work" && "$renderer" "$script" >/dev/null)
  python3 "$here/pack.py" "$script" "$work" "${script%.txt}.ref"
  rm -rf "$work"
  echo "$(basename "${script%.txt}").ref" >&2
done
