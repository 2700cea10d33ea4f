#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Windows installer end to end under wine: builds it from the build tree
# (cpack), installs it silently into the wine prefix, checks the files, the
# shortcuts and the Add/Remove programs entry, starts the installed game and
# closes it, uninstalls silently and checks that nothing is left.
#   bash tests/wine/install.sh BUILD_DIR OUT_DIR
set -euo pipefail
build=$(readlink -f "$1")
out=$2
mkdir -p "$out"
out=$(readlink -f "$out")
source "$(dirname "$0")/winesession.sh"
wine_session_start

title="Kelmora小游戏"
key='HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kelmora'
drive=$WINEPREFIX/drive_c
instdir="$drive/Program Files/Kelmora"
menu_link="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/$title.lnk"
desktop_link="$drive/users/Public/Desktop/$title.lnk"
status=0
fail() {
  echo "FAIL: $*"
  status=1
}

# uninstall_entry: the Add/Remove programs entry as UTF-8 text; fails when
# there is none. reg's console output would lose the Chinese name.
uninstall_entry() {
  local file
  file=$(mktemp --suffix=.reg)
  rm -f "$file"
  wine regedit /E "$(winepath -w "$file")" "$key" 2>/dev/null || true
  [ -s "$file" ] || return 1
  iconv -f UTF-16 -t UTF-8 "$file" | tr -d '\r'
  rm -f "$file"
}

# A run that died half-way must not make this one pass or fail.
if [ -e "$instdir" ] || uninstall_entry >/dev/null; then
  echo "set-up: removing an installation left by an earlier run"
  rm -rf "$instdir" "$menu_link" "$desktop_link"
  wine reg delete "$key" /f >/dev/null 2>&1 || true
fi

echo "== package"
rm -rf "$out/packages"
cpack -G NSIS -B "$out/packages" --config "$build/CPackConfig.cmake" >"$out/cpack.log" 2>&1 ||
  { cat "$out/cpack.log"; echo "FAIL: cpack"; exit 1; }
installer=$(ls "$out"/packages/kelmora-*-win64.exe)
echo "installer: $installer ($(stat -c %s "$installer") bytes)"

echo "== silent install"
code=0
wine "$installer" /S || code=$?
[ "$code" -eq 0 ] || fail "the installer ended with $code"
for file in kelmora.exe Uninstall.exe README.txt LICENSE.txt; do
  [ -f "$instdir/$file" ] || fail "$file is not installed"
done
cards=$(find "$instdir/pkp" -name '*.jpg' 2>/dev/null | wc -l)
[ "$cards" -eq 52 ] || fail "pkp holds $cards card pictures, not 52"
[ -f "$instdir/pkp/黑桃(1).jpg" ] || fail "pkp has no 黑桃(1).jpg"
for link in "$menu_link" "$desktop_link"; do
  if [ -f "$link" ]; then
    strings -a "$link" | grep -qF 'C:\Program Files\Kelmora\kelmora.exe' ||
      fail "$(basename "$link") does not start the installed program"
    # The UTF-16 strings: the working folder and the icon's place.
    strings -a -el "$link" | grep -qF 'C:\Program Files\Kelmora\kelmora.exe' ||
      fail "$(basename "$link") does not show the program's icon"
  else
    fail "no shortcut $link"
  fi
done
entry=$(uninstall_entry) || fail "no Add/Remove programs entry"
for value in '"DisplayName"="Kelmora小游戏"' \
  '"DisplayIcon"="C:\\Program Files\\Kelmora\\kelmora.exe,0"' \
  '"UninstallString"="\"C:\\Program Files\\Kelmora\\Uninstall.exe\""' \
  '"QuietUninstallString"="\"C:\\Program Files\\Kelmora\\Uninstall.exe\" /S"'; do
  grep -qxF -- "$value" <<<"$entry" || fail "the entry lacks $value"
done

echo "== the installed game"
if wine_start_window "$out/game.log" "$title" "C:\\Program Files\\Kelmora\\kelmora.exe"; then
  sleep 1
  # A deal reads the cards from the installed pkp folder.
  x_run import -window "$x_window" "$out/installed.png"
  x_run xdotool mousemove --window "$x_window" 108 357 click 1 # 重新发牌
  sleep 0.5
  x_run import -window "$x_window" "$out/dealt.png"
  convert "$out/installed.png" -crop 156x251+16+16 +repage "$out/card-before.png"
  convert "$out/dealt.png" -crop 156x251+16+16 +repage "$out/card-after.png"
  changed=$(compare -metric AE "$out/card-before.png" "$out/card-after.png" null: 2>&1 || true)
  # Another picture than the built-in one, and a card's white, not an empty box.
  white=$(convert "$out/card-after.png" -fx '(r>0.97&&g>0.97&&b>0.97)?1:0' -format '%[fx:round(mean*w*h)]' info:)
  if [ "${changed%%.*}" -le 1000 ] || [ "$white" -le 20000 ]; then
    fail "a deal shows no card from the installed pkp folder"
  fi
  wine_close_window
  echo "exit code: $wine_exit"
  [ "$wine_exit" = 0 ] || fail "the installed game ended with $wine_exit"
else
  fail "the installed game showed no window: $x_why"
  kill "$x_pid" 2>/dev/null || true
  wait "$x_pid" 2>/dev/null || true
fi

echo "== silent uninstall"
code=0
wine "C:\\Program Files\\Kelmora\\Uninstall.exe" /S || code=$?
[ "$code" -eq 0 ] || fail "the uninstaller ended with $code"
# The uninstaller runs on from a copy in the temporary folder; it removes the
# install folder last.
for _ in $(seq 1 300); do
  [ -e "$instdir" ] || break
  sleep 0.1
done
[ ! -e "$instdir" ] || fail "the install folder is left: $(cd "$instdir" && find . | head -n 5 | tr '\n' ' ')"
[ ! -e "$menu_link" ] || fail "the Start-menu shortcut is left"
[ ! -e "$desktop_link" ] || fail "the desktop shortcut is left"
! uninstall_entry >/dev/null || fail "the Add/Remove programs entry is left"

[ $status -eq 0 ] && echo "PASS"
exit $status
