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

shot() { x_run import -window "$x_window" "$out/$1.png"; }
# click X Y: a press and release at client coordinates
click() { x_run xdotool mousemove --window "$x_window" "$1" "$2" click 1; sleep 0.3; }
# count REGION FX FILE: pixels of REGION (WxH+X+Y) for which FX holds
count() { convert "$3" -crop "$1" +repage -fx "$2" -format '%[fx:round(mean*w*h)]' info:; }

shot before
click 108 357 # 重新发牌
click 100 144 # 图片框1
click 289 144 # 图片框2
click 290 310 # *
click 550 357 # 验算结果
shot after

convert "$out/before.png" -crop 156x251+16+16 +repage "$out/card-before.png"
convert "$out/after.png" -crop 156x251+16+16 +repage "$out/card-after.png"
changed=$(compare -metric AE "$out/card-before.png" "$out/card-after.png" null: 2>&1 || true)
# A card is mostly white; an empty picture box, where a card file could not
# be read, is not.
white=$(count 156x251+0+0 '(r>0.97&&g>0.97&&b>0.97)?1:0' "$out/card-after.png")
red=$(count 115x64+630+322 '(r>0.8&&g<0.25&&b<0.25)?1:0' "$out/after.png")
# Darker than the list's white; wine draws the small UI font thin and grey.
ink=$(count 190x18+780+19 '(r<0.6&&g<0.6&&b<0.6)?1:0' "$out/after.png")
echo "card pixels changed: $changed, white card pixels: $white, red verdict pixels: $red, history text pixels: $ink"
[ "${changed%%.*}" -gt 1000 ] || { echo "FAIL: the first card still shows the built-in picture"; status=1; }
[ "$white" -gt 20000 ] || { echo "FAIL: the first card shows no picture from pkp"; status=1; }
[ "$red" -gt 50 ] || { echo "FAIL: no red verdict"; status=1; }
[ "$ink" -gt 20 ] || { echo "FAIL: the history list holds no item"; status=1; }

wine_close_window
echo "exit code: $wine_exit"
[ "$wine_exit" = 0 ] || { echo "FAIL: exit code $wine_exit"; status=1; }
[ $status -eq 0 ] && echo "PASS"
exit $status
