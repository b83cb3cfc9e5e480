#!/usr/bin/env bash
# Installs the build tree BUILD into a temporary prefix, then builds the consumer program in
# CONSUMER against that prefix alone, once with find_package and once with pkg-config, and runs
# each build: every one must write the same BMP.
# Usage: consumer_build.sh BUILD CONSUMER   (CXX and CXXFLAGS, when set, are used for the builds)
set -euo pipefail
build=$(realpath "$1")
consumer=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

cmake --install "$build" --prefix "$prefix" >/dev/null
for f in include/kelvane/cChart.h bin/kelvane; do
  [[ -e $prefix/$f ]] || { echo "not installed: $f" >&2; exit 1; }
done
"$prefix/bin/kelvane" --version >/dev/null

# find_package(Kelvane): the static and the shared library.
cmake -S "$consumer" -B "$work/cmake-build" -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_BUILD_TYPE=Release \
  ${CXX:+-DCMAKE_CXX_COMPILER="$CXX"} -DCMAKE_CXX_FLAGS="${CXXFLAGS:-}" >/dev/null
cmake --build "$work/cmake-build" >/dev/null
"$work/cmake-build/consumer" "$work/static.bmp"
"$work/cmake-build/consumer_shared" "$work/shared.bmp"

# pkg-config: the shared library, found at run time through the rpath.
export PKG_CONFIG_PATH
PKG_CONFIG_PATH=$(dirname "$(find "$prefix" -name kelvane.pc)")
libdir=$(pkg-config --variable=libdir kelvane)
# shellcheck disable=SC2046
"${CXX:-c++}" -std=c++20 ${CXXFLAGS:-} "$consumer/main.cpp" -o "$work/consumer_pc" \
  $(pkg-config --cflags --libs kelvane) -Wl,-rpath,"$libdir"
"$work/consumer_pc" "$work/pkgconfig.bmp"

[[ $(head -c 2 "$work/static.bmp") == BM ]] || { echo "the consumer wrote no BMP" >&2; exit 1; }
cmp "$work/static.bmp" "$work/shared.bmp"
cmp "$work/static.bmp" "$work/pkgconfig.bmp"

# The Python module, when it was built, imports from the prefix too.
module=$(find "$prefix" -name 'kelvane*.so' -path '*-packages*' | head -n 1)
if [[ -n $module ]]; then
  PYTHONPATH=$(dirname "$module") /usr/bin/python3 -c 'import kelvane; kelvane.cChart().CopyRight()'
fi
echo "consumer builds against $prefix: find_package and pkg-config"
