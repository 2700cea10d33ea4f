#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Windows program end to end under wine: deals, picks two cards, an
# operator, checks, then closes with Escape, all through the X server; judges
# the result by the window's pixels, at the same client places as on Linux.
# Leaves before.png and after.png in OUT_DIR.
#   bash tests/wine/play.sh KELMORA.exe WINDOWRECT.exe OUT_DIR
set -euo pipefail
program=$1
windowrect=$2
out=$3
mkdir -p "$out"
source "$(dirname "$0")/winesession.sh"
source "$(dirname "$0")/../e2e/hand.sh"
wine_session_start

wine_start_window "$out/game-errors.log" "Kelmora小游戏" "$program" ||
  { echo "FAIL: the game window did not appear: $x_why"; exit 1; }
sleep 1

status=0
# Wine draws no frame without a window manager, so the X window is the
# client area: what a 1011×454 window with a caption and a fixed frame
# leaves inside them.
size=$(x_run xdotool getwindowgeometry "$x_window" | sed -n 's/^ *Geometry: //p')
echo "X window: $size"
[ "$size" = 1005x429 ] || { echo "FAIL: the client area is $size, not 1005x429"; status=1; }
# The outer size as Windows reports it, and the place: centred on the
# 1280×800 screen.
rect=$(wine "$windowrect" "Kelmora小游戏" | tr -d '\r')
echo "$rect"
grep -qx 'outer: 134,173 1011x454' <<<"$rect" || { echo "FAIL: not a 1011x454 window centred on the screen"; status=1; }

play_hand "$x_window" "$out" 0.6

wine_close_window
echo "exit code: $wine_exit"
[ "$wine_exit" = 0 ] || { echo "FAIL: exit code $wine_exit"; status=1; }
[ $status -eq 0 ] && echo "PASS"
exit $status
