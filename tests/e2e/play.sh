#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Deals, picks two cards, an operator, checks, then closes with Escape, all
# through the X server; judges the result by the window's pixels.
set -euo pipefail
program=$1
out=${2:-$(mktemp -d)}
unset QT_QPA_PLATFORM
# X clients start one after another; one that could not connect is retried once.
source "$(dirname "$0")/../../tools/xserver.sh"
source "$(dirname "$0")/hand.sh"

trap 'kill ${x_pid:-} 2>/dev/null || true' EXIT
x_start_window "$out/game-errors.log" Kelmora "$program" || { echo "FAIL: the game window did not appear: $x_why"; exit 1; }
pid=$x_pid
window=$x_window
sleep 0.5

status=0
play_hand "$window" "$out" 0.4

x_run xdotool windowfocus --sync "$window" 2>/dev/null || true
x_run xdotool key Escape
for _ in $(seq 1 50); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
trap - EXIT
if wait $pid; then code=0; else code=$?; fi
echo "exit code: $code"
[ "$code" -eq 0 ] || { echo "FAIL: exit code $code"; status=1; }
[ $status -eq 0 ] && echo "PASS"
exit $status
