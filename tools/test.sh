#!/usr/bin/env bash
# Runs every test: installs what is missing, then the native tests, the same
# under AddressSanitizer and UBSan, short fuzz runs, and Stats.dll under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
jobs=${STATS_JOBS:-2}

step() { printf '\n== %s ==\n' "$*"; }

step "Installing what is missing"
tools/install-deps.sh

step "Native tests"
cmake --preset native >/dev/null
cmake --build --preset native -j"$jobs"
ctest --preset native -j"$jobs"

step "Native tests under AddressSanitizer and UBSan"
cmake --preset native-asan >/dev/null
cmake --build --preset native-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --preset native-asan -j"$jobs"

if [ -x tools/fuzz.sh ]; then
  step "Fuzzing, a short run of each target"
  tools/fuzz.sh --seconds "${STATS_FUZZ_SECONDS:-60}"
fi

step "Stats.dll for 32-bit Windows, tested under Wine"
cmake --preset windows >/dev/null
cmake --build --preset windows -j"$jobs"
export WINEPREFIX="$root/build/wineprefix"
tools/wine-prefix.sh
ctest --preset windows -j"$jobs"
wineserver -k 2>/dev/null || true

step "All tests passed"
