# SPDX-License-Identifier: MIT
# shellcheck shell=bash
# Sourced by the real-window tests of both builds (needs x_run, from
# tools/xserver.sh): one hand played by mouse at the game's client places -
# deal, two cards, "*", check - and judged by the window's pixels. Leaves
# before.png and after.png in OUT_DIR; sets status=1 on a failure.
#   play_hand WINDOW OUT_DIR INK_LEVEL
# INK_LEVEL: how dark (0 to 1) a pixel of the history item must be; wine
# draws the small UI font thin and grey.

hand_shot() { x_run import -window "$1" "$2"; }
# hand_click WINDOW X Y: a press and release at client coordinates
hand_click() {
  x_run xdotool mousemove --window "$1" "$2" "$3" click 1
  sleep 0.3
}
# hand_count REGION FX FILE: pixels of REGION (WxH+X+Y) for which FX holds
hand_count() { convert "$3" -crop "$1" +repage -fx "$2" -format '%[fx:round(mean*w*h)]' info:; }

play_hand() {
  local window=$1 out=$2 level=$3
  local changed white red ink
  hand_shot "$window" "$out/before.png"
  hand_click "$window" 108 357 # 重新发牌
  hand_click "$window" 100 144 # 图片框1
  hand_click "$window" 289 144 # 图片框2
  hand_click "$window" 290 310 # *
  hand_click "$window" 550 357 # 验算结果
  hand_shot "$window" "$out/after.png"

  convert "$out/before.png" -crop 156x251+16+16 +repage "$out/card-before.png"
  convert "$out/after.png" -crop 156x251+16+16 +repage "$out/card-after.png"
  changed=$(compare -metric AE "$out/card-before.png" "$out/card-after.png" null: 2>&1 || true)
  # A card is mostly white; an empty picture box, where a card file could
  # not be read, is not.
  white=$(hand_count 156x251+0+0 '(r>0.97&&g>0.97&&b>0.97)?1:0' "$out/card-after.png")
  red=$(hand_count 115x64+630+322 '(r>0.8&&g<0.25&&b<0.25)?1:0' "$out/after.png")
  ink=$(hand_count 190x18+780+19 "(r<$level&&g<$level&&b<$level)?1:0" "$out/after.png")
  echo "card pixels changed: $changed, white card pixels: $white, red verdict pixels: $red, history text pixels: $ink"
  [ "${changed%%.*}" -gt 1000 ] || { echo "FAIL: the first card still shows the built-in picture"; status=1; }
  [ "$white" -gt 20000 ] || { echo "FAIL: the first card shows no picture from pkp"; status=1; }
  [ "$red" -gt 50 ] || { echo "FAIL: no red verdict"; status=1; }
  [ "$ink" -gt 20 ] || { echo "FAIL: the history list holds no item"; status=1; }
}
