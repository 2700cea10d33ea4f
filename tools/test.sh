#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Sets up, builds and runs every test twice: a normal build with warnings as
# errors, and an AddressSanitizer + UndefinedBehaviorSanitizer build. In each,
# CTest runs the run-time, evaluator and game suites once more under the
# decimal-comma locale de_DE.UTF-8 (label "locale"; setup.sh generates it).
# Then the Windows program: cross-built and tested under wine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

run() {
  local dir=$1; shift
  echo "== $dir"
  cmake -S . -B "$dir" -G Ninja -DKELMORA_WERROR=ON -DKELMORA_REQUIRE_ALL_TESTS=ON "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
  ctest --test-dir "$dir" --output-on-failure -j "$jobs"
}

run build/test -DCMAKE_BUILD_TYPE=RelWithDebInfo
run build/asan -DCMAKE_BUILD_TYPE=Debug -DKELMORA_SANITIZE=address,undefined -DKELMORA_BUILD_BENCH=OFF
echo "== build/windows"
bash tools/windows.sh test
bash tools/package-check.sh
bash tools/fuzz.sh 60
bash tools/static-check.sh
