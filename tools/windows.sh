#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Cross-builds the Windows program with mingw-w64 into build/windows:
# build/windows/bin/kelmora.exe with its card pictures in pkp/ beside it.
#   bash tools/windows.sh          build
#   bash tools/windows.sh test     build, then run the Windows tests under wine
# Installs what it needs first (tools/setup.sh test).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh "${KELMORA_SETUP_SET:-test}"
dir=build/windows
cmake -S . -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DKELMORA_WERROR=ON -DKELMORA_REQUIRE_ALL_TESTS=ON >/dev/null
cmake --build "$dir" -j "$(nproc)"
if [ "${1:-}" = test ]; then
  ctest --test-dir "$dir" --output-on-failure -j "$(nproc)"
fi
