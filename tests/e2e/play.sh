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

trap 'kill ${x_pid:-} 2>/dev/null || true' EXIT
x_start_window "$out/game-errors.log" Kelmora "$program" || { echo "FAIL: the game window did not appear: $x_why"; exit 1; }
pid=$x_pid
window=$x_window
sleep 0.5

shot() { x_run import -window "$window" "$out/$1.png"; }
# click X Y: a press and release at client coordinates
click() { x_run xdotool mousemove --window "$window" "$1" "$2" click 1; sleep 0.3; }
# count REGION FX: pixels of REGION (WxH+X+Y) for which FX holds
count() { convert "$3" -crop "$1" +repage -fx "$2" -format '%[fx:round(mean*w*h)]' info:; }

shot before
click 108 357   # 重新发牌
click 100 144   # 图片框1
click 289 144   # 图片框2
click 290 310   # *
click 550 357   # 验算结果
shot after

convert "$out/before.png" -crop 156x251+16+16 +repage "$out/card-before.png"
convert "$out/after.png" -crop 156x251+16+16 +repage "$out/card-after.png"
changed=$(compare -metric AE "$out/card-before.png" "$out/card-after.png" null: 2>&1 || true)
red=$(count 115x64+630+322 '(r>0.8&&g<0.25&&b<0.25)?1:0' "$out/after.png")
ink=$(count 190x18+780+19 '(r<0.4&&g<0.4&&b<0.4)?1:0' "$out/after.png")
echo "card pixels changed: $changed, red verdict pixels: $red, history text pixels: $ink"

status=0
[ "${changed%%.*}" -gt 1000 ] || { echo "FAIL: the first card still shows the built-in picture"; status=1; }
[ "$red" -gt 50 ] || { echo "FAIL: no red verdict"; status=1; }
[ "$ink" -gt 20 ] || { echo "FAIL: the history list holds no item"; status=1; }

x_run xdotool windowfocus --sync "$window" 2>/dev/null || true
x_run xdotool key Escape
for _ in $(seq 1 50); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
trap - EXIT
if wait $pid; then code=0; else code=$?; fi
echo "exit code: $code"
[ "$code" -eq 0 ] || { echo "FAIL: exit code $code"; status=1; }
[ $status -eq 0 ] && echo "PASS"
exit $status
