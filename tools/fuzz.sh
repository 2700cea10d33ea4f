#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the libFuzzer targets with clang into build/fuzz, replays the kept
# crashers, then runs each target for the given seconds (default 60) on a
# copy of its seeds.
# Any finding (crash, sanitizer report, leak, an input over 5 s, memory over
# 2 GB) fails the run; the input is left in build/fuzz/run/<target>/.
#   bash tools/fuzz.sh [seconds]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=build/fuzz

cmake -S . -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKELMORA_FUZZ=ON -DKELMORA_WERROR=ON -DKELMORA_BUILD_TESTS=OFF -DKELMORA_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target fuzz_picture fuzz_expression

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

failed=()
for target in picture expression; do
  fuzzer=$build/bin/fuzz_$target
  work=$build/run/$target
  rm -rf "$work"
  mkdir -p "$work/corpus" "$work/findings"
  status=0

  # The kept crashers first, each once: some are large and slow by design,
  # so they are not mutated from.
  mapfile -t kept < <(find fuzz/regressions/$target -type f ! -name '.*' | sort)
  if [ ${#kept[@]} -ne 0 ]; then
    echo "== fuzz_$target: the kept crashers"
    "$fuzzer" -rss_limit_mb=2048 -timeout=5 -artifact_prefix="$work/findings/" "${kept[@]}" \
      >"$work/regressions.log" 2>&1 || status=$?
  fi

  # Then fuzzing from a copy of the seeds, which the run grows.
  if [ "$status" -eq 0 ]; then
    cp fuzz/corpus/$target/* "$work/corpus/"
    echo "== fuzz_$target for ${seconds} s"
    "$fuzzer" "$work/corpus" -dict=fuzz/$target.dict \
      -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=5 -print_final_stats=1 \
      -artifact_prefix="$work/findings/" >"$work/log" 2>&1 || status=$?
    grep -E '^#[0-9]+[[:space:]]+DONE' "$work/log" | tail -1 || true
    grep -E '^stat::(number_of_executed_units|average_exec_per_sec)' "$work/log" || true
  fi

  if [ "$status" -ne 0 ] || [ -n "$(ls -A "$work/findings")" ]; then
    echo "fuzz_$target: finding (exit $status); logs and input in $work"
    cat "$work"/*.log "$work/log" 2>/dev/null | grep -E 'ERROR|SUMMARY|runtime error|Test unit written' | head -20 || true
    failed+=("$target")
  fi
done

if [ ${#failed[@]} -ne 0 ]; then
  echo "fuzz: findings in ${failed[*]}"
  exit 1
fi
echo "fuzz: no findings"
