#!/usr/bin/env bash
# Runs the README's libFuzzer commands (the sh block of "Fuzzing and sanitizers" that builds
# build-fuzz) from the top of the source tree, as a user would after a fresh clone, changed only
# where a test must: the build folder is BUILD instead of build-fuzz, the fuzzer runs SECONDS
# instead of an hour, and the new inputs it finds go to a temporary folder ahead of the committed
# corpus, which is then only read. Passes when every command succeeds and the fuzzer ran to its end.
# BUILD is kept between runs for its objects; it is configured afresh each time.
# Usage: readme_commands.sh SOURCE BUILD SECONDS
set -euo pipefail
source=$(realpath "$1")
mkdir -p "$2"
build=$(realpath "$2")
seconds=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "readme_commands: $*" >&2; exit 1; }

# libFuzzer comes with clang's runtime libraries (Debian: clang and libclang-rt-dev).
echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }' >"$work/probe.cpp"
clang++ -fsanitize=fuzzer "$work/probe.cpp" -o "$work/probe" 2>"$work/probe.log" ||
  fail "clang++ with libFuzzer is needed (bash scripts/setup.sh installs it): $(cat "$work/probe.log")"

block=$(awk '
  /^```sh$/ { inside = 1; text = ""; next }
  inside && /^```$/ { inside = 0; if (text ~ /build-fuzz/) { printf "%s", text; exit } next }
  inside { text = text $0 "\n" }' "$source/README.md")
[[ -n $block ]] || fail "README.md has no sh block that builds build-fuzz"

# Each change must find its text, so that a README that moved on fails here instead of fuzzing
# for an hour or writing into the source tree.
change() {  # change PATTERN REPLACEMENT: sed -E on the block, which must match
  grep -qE -- "$1" <<<"$block" || fail "the README's fuzz commands no longer hold /$1/"
  block=$(sed -E "s|$1|$2|g" <<<"$block")
}
change '-max_total_time=[0-9]+' "-max_total_time=$seconds"
change '(tests/fuzz/corpus/[a-z_]+)' "$work/corpus \\1"
change 'build-fuzz' "$build"
mkdir "$work/corpus"
printf '%s\n' "$block" >"$work/commands.sh"

# Configured afresh: no cache and no detected compilers from an earlier run.
rm -rf "$build/CMakeCache.txt" "$build"/CMakeFiles/[0-9]*
cd "$source"
echo "running, in $source:" && cat "$work/commands.sh"
bash -euo pipefail "$work/commands.sh" 2>&1 | tee "$work/log"
grep -qE '^Done [0-9]+ runs in' "$work/log" || fail "the fuzzer did not run to its time limit"
# Only the one fuzzer is built here, but the README lets a reader build every target of that
# configuration; the Python module is not linkable with the fuzzing flags, so it must be left out.
! cmake --build "$build" --target help | grep -q kelvane_python ||
  fail "the README's fuzzing configuration builds the Python module (-DKELVANE_PYTHON=OFF is missing)"
