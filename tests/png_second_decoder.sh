#!/usr/bin/env bash
# Decodes the PNG outputs of examples/png_outputs.kvs with Pillow, a second decoder beside the
# libpng of the unit tests: each must hold exactly the pixels of the BMP of the same canvas.
# Fails where Debian's Pillow (python3-pil, installed by scripts/setup.sh) is missing.
# Usage: png_second_decoder.sh KELVANE_CLI EXAMPLE_SCRIPT
set -euo pipefail
cli=$1
example=$2
python=/usr/bin/python3
if ! "$python" -c 'import PIL' 2>/dev/null; then
  echo "Pillow (python3-pil) is not installed: run scripts/setup.sh" >&2
  exit 1
fi

dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
"$cli" --output "$dir" "$example" >/dev/null

"$python" - "$dir" <<'PY'
import sys
from PIL import Image

folder = sys.argv[1]
canvas = Image.open(f"{folder}/png_outputs.bmp").convert("RGB")
status = 0
for name in ("png_outputs_file.png", "png_outputs_bytes.png"):
    picture = Image.open(f"{folder}/{name}")
    picture.load()
    mode = picture.mode
    pixels = picture.convert("RGB")
    if pixels.size != canvas.size or pixels.tobytes() != canvas.tobytes():
        print(f"{name}: Pillow decodes other pixels than the canvas ({mode}, {pixels.size})")
        status = 1
    else:
        print(f"{name}: decodes to the canvas exactly ({mode}, {len(picture.getcolors())} colours)")
sys.exit(status)
PY
