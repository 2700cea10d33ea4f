# SPDX-License-Identifier: MIT
# Sourced. The tests' wine prefix: private to the build tree, quiet, with font
# substitutes for the faces the game names ("宋体", "隶书") and for the UI
# fonts, which have no Chinese glyphs under wine. Only this prefix is changed.

: "${KELMORA_WINEPREFIX:=$(readlink -f "$(dirname "${BASH_SOURCE[0]}")/..")/build/windows/wineprefix}"
export WINEPREFIX=$KELMORA_WINEPREFIX
export WINEDEBUG=-all
# No .NET or HTML engine to offer installing, and no menu entries or icons on
# the desktop of whoever runs the tests when something is installed.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

# One wine server serves the whole prefix, and its desktop window lives on the
# X server of whoever started it: programs in one prefix must not run at once
# under different X servers, and they share one Windows desktop, where one
# test's window would take another's keyboard. CTest runs the tests of one
# prefix one at a time (RESOURCE_LOCK); the scripts here end the prefix's
# server when their program is done.

# Makes the prefix once; parallel callers wait for the first.
wineprefix_ready() {
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    [ -f "$WINEPREFIX/.kelmora-ready-2" ] && exit 0
    rm -rf "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1
    local reg
    reg=$(mktemp --suffix=.reg)
    # UTF-16 with a byte-order mark: regedit reads a REGEDIT4 file in the
    # ANSI code page, which would garble the Chinese face names.
    iconv -f UTF-8 -t UTF-16 >"$reg" <<'REG'
Windows Registry Editor Version 5.00

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink]
"Tahoma"="uming.ttc,AR PL UMing CN"
"MS Shell Dlg"="uming.ttc,AR PL UMing CN"
"MS Shell Dlg 2"="uming.ttc,AR PL UMing CN"
"Microsoft Sans Serif"="uming.ttc,AR PL UMing CN"
"Segoe UI"="uming.ttc,AR PL UMing CN"

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"宋体"="AR PL UMing CN"
"隶书"="AR PL UKai CN"
REG
    wine regedit "$reg" >/dev/null 2>&1
    rm -f "$reg"
    wineserver -w
    touch "$WINEPREFIX/.kelmora-ready-2"
  ) 9>"$WINEPREFIX.lock"
}
