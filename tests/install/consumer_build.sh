#!/usr/bin/env bash
# Installs the build tree BUILD into a temporary prefix, then builds the consumer program in
# CONSUMER against that prefix alone in each way the README's "Installing" section gives, and runs
# every program without LD_LIBRARY_PATH: each must write the same BMP.
#   find_package  the static and the shared library, run where built and once installed
#   pkg-config    the shared library with an rpath; the static library with --static
# The licence must be installed and named by the CMake package, kelvane.pc and the Python module's
# metadata; the Python module, when it was built, must import from the prefix.
# Usage: consumer_build.sh BUILD CONSUMER   (CXX and CXXFLAGS, when set, are used for the builds)
set -euo pipefail
unset LD_LIBRARY_PATH
build=$(realpath "$1")
consumer=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
cxx=${CXX:-c++}
fail() { echo "$*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null
for f in include/kelvane/cChart.h bin/kelvane share/doc/kelvane/LICENSE; do
  [[ -e $prefix/$f ]] || fail "not installed: $f"
done
grep -q '^MIT License$' "$prefix/share/doc/kelvane/LICENSE" || fail "the installed LICENSE is not the MIT licence"
version=$("$prefix/bin/kelvane" --version)
version=${version#kelvane }

# The shared library a program loads must be the prefix's one, found without a search path.
loads_prefix_library() {
  local line
  line=$(ldd "$1" | grep 'libkelvane\.so') || fail "$1 does not load libkelvane.so"
  [[ $line == *"=> $prefix/"* ]] || fail "$1 does not load the prefix's libkelvane.so: $line"
}
# A program linked with the static library must not need the shared one.
needs_no_shared_library() {
  ! readelf -d "$1" | grep -q 'NEEDED.*libkelvane' || fail "$1 needs libkelvane.so"
}

# find_package(Kelvane): the static and the shared library, then the same programs installed.
cmake -S "$consumer" -B "$work/cmake-build" -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_CXX_FLAGS="${CXXFLAGS:-}" >/dev/null
cmake --build "$work/cmake-build" >/dev/null
cmake --install "$work/cmake-build" --prefix "$work/app" >/dev/null
needs_no_shared_library "$work/cmake-build/consumer"
loads_prefix_library "$work/cmake-build/consumer_shared"
loads_prefix_library "$work/app/bin/consumer_shared"
"$work/cmake-build/consumer" "$work/static.bmp"
"$work/cmake-build/consumer_shared" "$work/shared.bmp"
"$work/app/bin/consumer_shared" "$work/installed_shared.bmp"

# pkg-config, as the README writes it.
export PKG_CONFIG_PATH
PKG_CONFIG_PATH=$(dirname "$(find "$prefix" -name kelvane.pc)")
[[ $(pkg-config --modversion kelvane) == "$version" ]] || fail "kelvane.pc gives another version"
[[ $(pkg-config --variable=license kelvane) == MIT ]] || fail "kelvane.pc names no licence"
# shellcheck disable=SC2046,SC2086
"$cxx" -std=c++20 ${CXXFLAGS:-} "$consumer/main.cpp" -o "$work/consumer_pc" \
  $(pkg-config --cflags --libs kelvane) -Wl,-rpath,"$(pkg-config --variable=libdir kelvane)"
# shellcheck disable=SC2046,SC2086
"$cxx" -std=c++20 ${CXXFLAGS:-} "$consumer/main.cpp" -o "$work/consumer_pc_static" $(pkg-config --cflags kelvane) \
  -Wl,--as-needed -Wl,-Bstatic -lkelvane -Wl,-Bdynamic $(pkg-config --static --libs kelvane)
loads_prefix_library "$work/consumer_pc"
needs_no_shared_library "$work/consumer_pc_static"
"$work/consumer_pc" "$work/pkgconfig.bmp"
"$work/consumer_pc_static" "$work/pkgconfig_static.bmp"

[[ $(head -c 2 "$work/static.bmp") == BM ]] || fail "the consumer wrote no BMP"
for bmp in shared installed_shared pkgconfig pkgconfig_static; do
  cmp "$work/static.bmp" "$work/$bmp.bmp"
done

# The Python module, when it was built, imports from the prefix and carries its metadata.
module=$(find "$prefix" -name 'kelvane*.so' -path '*-packages*' | head -n 1)
if [[ -n $module ]]; then
  PYTHONPATH=$(dirname "$module") KELVANE_VERSION=$version /usr/bin/python3 - <<'PY'
import importlib.metadata as metadata
import os
from pathlib import Path

import kelvane

kelvane.cChart().CopyRight()
meta = metadata.metadata("kelvane")
found = (meta["Name"], meta["Version"], meta["License"], kelvane.__version__, kelvane.__license__)
wanted = ("kelvane", os.environ["KELVANE_VERSION"], "MIT", os.environ["KELVANE_VERSION"], "MIT")
assert found == wanted, f"{found} != {wanted}"
assert meta["Summary"], "no summary"
missing = [str(f) for f in metadata.files("kelvane") if not f.locate().is_file()]
assert not missing, f"RECORD lists files that are not installed: {missing}"
assert Path(metadata.distribution("kelvane").locate_file("")) == Path(kelvane.__file__).parent
PY
fi
echo "consumer builds against $prefix: find_package and pkg-config, static and shared"
