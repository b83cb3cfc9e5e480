#!/usr/bin/env bash
# Decodes the JPEG outputs of examples/jpeg_outputs.kvs with ImageMagick, a second decoder beside
# the libjpeg-turbo API of the unit tests: each must decode without warnings, at the canvas size
# and close to the BMP of the same canvas. Exits 77 (skipped) where ImageMagick is not installed.
# Usage: jpeg_second_decoder.sh KELVANE_CLI EXAMPLE_SCRIPT
set -euo pipefail
cli=$1
example=$2
for tool in convert identify compare; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "ImageMagick ($tool) is not installed: skipped"
    exit 77
  fi
done

dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
"$cli" --output "$dir" "$example" >/dev/null

status=0
for name in jpeg_outputs_bytes.jpg jpeg_outputs_file.jpg; do
  picture="$dir/$name"
  if ! convert -regard-warnings "$picture" "$dir/decoded.ppm" 2>"$dir/messages" || [[ -s "$dir/messages" ]]; then
    echo "$name: ImageMagick could not decode it cleanly:"
    cat "$dir/messages"
    status=1
    continue
  fi
  size=$(identify -format '%w %h' "$picture")
  if [[ "$size" != "400 300" ]]; then
    echo "$name: decoded as $size, expected 400 300"
    status=1
  fi
  # compare exits 1 when the pictures differ at all; the PSNR it prints is what counts.
  psnr=$(compare -metric PSNR "$dir/jpeg_outputs.bmp" "$picture" null: 2>&1 || true)
  if ! awk -v p="$psnr" 'BEGIN { exit !(p + 0 >= 30) }'; then
    echo "$name: PSNR against the canvas is $psnr dB, expected at least 30"
    status=1
  else
    echo "$name: decodes, PSNR $psnr dB"
  fi
done
exit $status
