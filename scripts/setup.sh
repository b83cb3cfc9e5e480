#!/usr/bin/env bash
# Installs the Debian packages Kelvane needs to build, test and render, when they are missing.
# Idempotent and quick when everything is present. Needs root (or sudo) only to install.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  libfreetype-dev libfontconfig-dev fonts-liberation2 fonts-wqy-microhei
  libjpeg62-turbo-dev libgif-dev libjpeg-turbo-progs
  libpng-dev zlib1g-dev libdeflate-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  # clang and its runtime libraries (libFuzzer, the sanitizers), for the fuzzing build the tests
  # run; clang only recommends the runtime, which --no-install-recommends would leave out.
  clang libclang-rt-dev
  python3
  # The Python module and its tests, for Debian's python3.
  python3-dev pybind11-dev python3-pybind11 python3-pytest python3-hypothesis
  # Independent decoders for the tests (Pillow reads our PNG outputs).
  python3-pil
  # man(1) and groff, to check that the manual page renders and installs for man.
  man-db
)
# The demo site and its browser test (npm ships with nodejs where that comes from NodeSource).
packages+=(python3-flask gunicorn python3-pytest chromium nodejs)
command -v npm >/dev/null || packages+=(npm)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "setup: installing ${missing[*]}" >&2
sudo=""
if [[ $(id -u) -ne 0 ]]; then
  command -v sudo >/dev/null || { echo "setup: need root to install ${missing[*]}" >&2; exit 1; }
  sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
apt_get() { $sudo apt-get -o DPkg::Lock::Timeout=300 -y -q "$@"; }
if ! apt_get install --no-install-recommends "${missing[@]}" >/dev/null; then
  apt_get update >/dev/null
  apt_get install --no-install-recommends "${missing[@]}" >/dev/null
fi
