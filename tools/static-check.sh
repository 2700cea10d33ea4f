#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Static checks: clang-tidy (rules in .clang-tidy) and clang-format (rules in
# .clang-format) over the folders listed below. Fails on any finding.
# Usage: tools/static-check.sh [build folder, default build/tidy]
set -euo pipefail

# Folders checked; a folder joins once it is clean.
# fuzz/makeseeds.cpp is built only on request, so it is outside the compile
# database: clang-tidy skips it, clang-format still checks it.
TIDY_DIRS=(runtime eval window game app bench tools/cardgen tests fuzz)
FORMAT_DIRS=("${TIDY_DIRS[@]}")

ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${1:-$ROOT/build/tidy}
JOBS=2

pick() {
    local tool
    for tool in "$@"; do
        if command -v "$tool" >/dev/null 2>&1; then
            echo "$tool"
            return 0
        fi
    done
    echo "static-check: none of $* found" >&2
    return 1
}
# Every source, script and CMake file carries the licence line; quick, so first.
bash "$ROOT/tools/spdx.sh" --check

RUN_TIDY=$(pick run-clang-tidy-14 run-clang-tidy)
TIDY=$(pick clang-tidy-14 clang-tidy)
FORMAT=$(pick clang-format-14 clang-format)

# Tests and benches on so their sources are in the compile database; a full build
# produces the generated GBK text headers and Qt's moc output the sources include.
cmake -S "$ROOT" -B "$BUILD" -G Ninja -DKELMORA_BUILD_TESTS=ON -DKELMORA_BUILD_BENCH=ON >/dev/null
cmake --build "$BUILD" -j"$JOBS"

cd "$ROOT"
# Own sources only: never build folders or generated autogen files.
list_files() { # list_files <name patterns...> -- <folders...>
    local names=() dirs=()
    while [[ $1 != -- ]]; do names+=(-o -name "$1"); shift; done
    shift
    dirs=("$@")
    find "${dirs[@]}" \( -path '*/build*' -o -path '*_autogen*' \) -prune -o \
        -type f \( "${names[@]:1}" \) -print | sort
}

mapfile -t tidy_files < <(list_files '*.cpp' -- "${TIDY_DIRS[@]}")
# Report header findings only for headers in the checked folders.
header_dirs=$(IFS='|'; echo "${TIDY_DIRS[*]}")
header_filter="^$ROOT/($header_dirs)/"
# run-clang-tidy takes regular expressions; anchor each file to the root.
file_regexes=()
for f in "${tidy_files[@]}"; do
    file_regexes+=("^$ROOT/${f//./\\.}\$")
done

echo "clang-tidy: ${#tidy_files[@]} files in ${TIDY_DIRS[*]}"
tidy_log=$(mktemp)
trap 'rm -f "$tidy_log"' EXIT
status=0
"$RUN_TIDY" -clang-tidy-binary "$(command -v "$TIDY")" -p "$BUILD" -j "$JOBS" -quiet \
    -header-filter "$header_filter" "${file_regexes[@]}" >"$tidy_log" 2>&1 || status=$?
# run-clang-tidy 14 returns success on warnings that are not errors; look too.
if [[ $status -ne 0 ]] || grep -qE '(warning|error):' "$tidy_log"; then
    grep -vE '^(clang-tidy|[0-9]+ warnings? (and [0-9]+ errors? )?generated|Suppressed|Use -header-filter|Error while processing)' "$tidy_log" || true
    echo "static-check: clang-tidy found problems" >&2
    exit 1
fi

mapfile -t format_files < <(list_files '*.cpp' '*.h' -- "${FORMAT_DIRS[@]}")
echo "clang-format: ${#format_files[@]} files in ${FORMAT_DIRS[*]}"
"$FORMAT" --dry-run --Werror "${format_files[@]}"

echo "static-check: clean"
