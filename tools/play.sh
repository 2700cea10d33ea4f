#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Sets up what building and playing need (not the test tools), builds and
# starts the game.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh play
cmake -S . -B build/play -G Ninja -DCMAKE_BUILD_TYPE=Release -DKELMORA_BUILD_TESTS=OFF -DKELMORA_BUILD_BENCH=OFF >/dev/null
cmake --build build/play --target kelmora
exec build/play/bin/kelmora
