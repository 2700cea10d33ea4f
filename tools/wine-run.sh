#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs a Windows program under wine, in the tests' own wine prefix (made on
# first use, with Chinese font substitutes) and a private X server; exits with
# the program's status (-1 comes back as 255).
#   bash tools/wine-run.sh PROGRAM.exe [ARGS...]
# KELMORA_WINEPREFIX chooses the prefix (default build/windows/wineprefix).
set -euo pipefail
[ $# -gt 0 ] || {
  echo "usage: $0 PROGRAM.exe [ARGS...]" >&2
  exit 2
}
tools=$(dirname "$(readlink -f "$0")")
source "$tools/wineprefix.sh"
wineprefix_ready
if [ -n "${KELMORA_WINE_DISPLAY:-}" ]; then
  # The caller runs its own X server (an end-to-end test driving the window).
  DISPLAY=$KELMORA_WINE_DISPLAY exec wine "$@"
fi
# The prefix's helper processes (its desktop window) end with the program, not
# with the X server under them.
exec bash "$tools/with-x.sh" bash -c 'status=0; wine "$@" || status=$?; wineserver -k 2>/dev/null || true; exit $status' \
  wine-run "$@"
