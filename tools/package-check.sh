#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the Debian package, installs it on this machine, deals once with the
# INSTALLED program under a virtual X server, closes it, and removes the
# package again. Needs root (or sudo) and what tools/setup.sh installs.
# Usage: tools/package-check.sh [build folder, default build/package]
set -euo pipefail
self=$(readlink -f "$0")
cd "$(dirname "$self")/.."

step() { echo "package check: $*"; }
fail() {
  echo "package check: FAIL: $*"
  exit 1
}

# The card boxes of the window, one strip and each box.
strip=738x258+16+16
boxes=(168x256+16+16 168x256+205+17 168x255+396+18 168x254+586+18)

# Whether the window shows four cards other than the built-in ones. A card
# whose file was not found is an almost blank box (deviation about 0.04; card
# pictures 0.14 and up). Sets why when not.
cards_dealt() {
  local window=$1 out=$2 changed box
  x_run import -window "$window" "$out/after.png"
  convert "$out/after.png" -crop $strip +repage "$out/after-cards.png"
  changed=$(compare -metric AE "$out/before-cards.png" "$out/after-cards.png" null: 2>&1 || true)
  why="the cards did not change on dealing"
  [ "${changed%%.*}" -gt 1000 ] || return 1
  for box in "${boxes[@]}"; do
    why="card $box is blank: its picture was not read from pkp/"
    convert "$out/after.png" -crop "$box" +repage -format '%[fx:standard_deviation>0.1]' info: | grep -qx 1 ||
      return 1
  done
}

# Runs inside tools/with-x.sh: start PROGRAM, expect it to run from FOLDER,
# deal, judge the cards by their pixels, close with Escape.
in_display() {
  local program=$1 folder=$2 window="" code
  unset QT_QPA_PLATFORM # the xcb plugin the package depends on, not offscreen
  # X clients start one after another; one that could not connect is retried once.
  source tools/xserver.sh
  out=$(mktemp -d)
  trap 'kill ${x_pid:-} 2>/dev/null || true; rm -rf "$out"' EXIT
  x_start_window "$out/stderr" Kelmora "$program" || fail "no window from $program: $x_why"
  pid=$x_pid
  window=$x_window
  step "window up"

  # The program moves to its own folder at start; through the /usr/games symlink
  # that must be the real one, or pkp/ is not found.
  [ "$(readlink "/proc/$pid/exe")" = "$folder/kelmora" ] || fail "runs as $(readlink "/proc/$pid/exe")"
  [ "$(readlink "/proc/$pid/cwd")" = "$folder" ] || fail "runs in $(readlink "/proc/$pid/cwd"), not $folder"
  step "program resolved its folder $folder"

  sleep 0.5
  x_run import -window "$window" "$out/before.png"
  convert "$out/before.png" -crop $strip +repage "$out/before-cards.png"
  x_run xdotool mousemove --window "$window" 108 357 click 1 # 重新发牌
  local tries=0
  until cards_dealt "$window" "$out"; do
    tries=$((tries + 1))
    [ $tries -lt 10 ] || fail "$why"
    sleep 0.3
  done
  step "dealt four card pictures from $folder/pkp"

  x_run xdotool windowfocus --sync "$window" 2>/dev/null || true
  x_run xdotool key Escape
  for _ in $(seq 1 50); do
    kill -0 $pid 2>/dev/null || break
    sleep 0.1
  done
  kill -0 $pid 2>/dev/null && fail "still running 5 s after Escape"
  trap 'rm -rf "$out"' EXIT
  if wait $pid; then code=0; else code=$?; fi
  [ "$code" -eq 0 ] || fail "exit code $code after Escape: $(cat "$out/stderr")"
  step "closed with Escape, exit code 0"
}

if [ "${1:-}" = --in-display ]; then
  in_display "$2" "$3"
  exit 0
fi

build=${1:-build/package}
mkdir -p "$build"
log=$(readlink -f "$build")/package-check.log
: >"$log"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
# apt-get quietly: its chatter goes to the log, shown when it fails.
apt() {
  $sudo apt-get -y -q "$@" >>"$log" 2>&1 || {
    tail -n 40 "$log"
    fail "apt-get $*"
  }
}

# A copy not owned by the package would hide a broken install and survive removal.
if dpkg-query -W -f='${Status}' kelmora 2>/dev/null | grep -q 'ok installed'; then
  apt remove kelmora
fi
if [ -e /usr/lib/kelmora ] || [ -e /usr/games/kelmora ] || [ -e /usr/share/kelmora ]; then
  fail "/usr/lib/kelmora, /usr/games/kelmora or /usr/share/kelmora exists outside the package"
fi

# Compiled as Debian compiles its packages: with its hardening flags, bind-now
# too (lintian reports their absence). Given on every run: CMake reads
# CXXFLAGS and LDFLAGS only when it first configures a folder.
debflags() { DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get "$1"; }
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  "-DCMAKE_CXX_FLAGS=$(debflags CPPFLAGS) $(debflags CXXFLAGS)" "-DCMAKE_EXE_LINKER_FLAGS=$(debflags LDFLAGS)" \
  -DKELMORA_BUILD_TESTS=OFF -DKELMORA_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" >>"$log" 2>&1 || {
  tail -n 40 "$log"
  fail "build"
}
rm -f "$build"/kelmora_*.deb
(cd "$build" && cpack -G DEB >>"$log" 2>&1) || {
  tail -n 40 "$log"
  fail "cpack"
}
deb=$(readlink -f "$build"/kelmora_*.deb)
step "built $deb ($(stat -c %s "$deb") bytes)"
step "$(dpkg-deb -f "$deb" Depends | sed 's/^/Depends: /')"

# Debian's and AppStream's own checks, on exactly what the package ships.
# Tags meant so are overridden, with reasons, in packaging/kelmora.lintian-overrides.
if ! findings=$(lintian --fail-on error,warning --tag-display-limit 0 "$deb" 2>&1); then
  echo "$findings"
  fail "lintian: errors or warnings on $deb"
fi
step "lintian: no errors or warnings"
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
metainfo=("$unpacked"/usr/share/metainfo/*.metainfo.xml)
if [ ${#metainfo[@]} -ne 1 ] || [ ! -f "${metainfo[0]}" ]; then fail "no single AppStream file in the package"; fi
appstreamcli validate --no-net "${metainfo[0]}" || fail "appstreamcli validate ${metainfo[0]#"$unpacked"}"
rm -rf "$unpacked"
trap - EXIT
step "appstreamcli validate --no-net: passed"

# Leaves no package behind when a later step fails.
trap '$sudo apt-get remove -y -qq kelmora >/dev/null 2>&1 || true' EXIT
apt install "$deb"
dpkg-query -W -f='${Status}' kelmora | grep -q 'ok installed' || fail "kelmora is not installed"
[ "$(readlink /usr/games/kelmora)" = ../lib/kelmora/kelmora ] || fail "/usr/games/kelmora is not the relative launcher"
pictures=$(find /usr/lib/kelmora/pkp/ -name '*.jpg' | wc -l) # through the link into /usr/share
[ "$pictures" -eq 52 ] || fail "/usr/lib/kelmora/pkp holds $pictures pictures, not 52"
app_id=example.kelmora.kelmora
[ -f /usr/share/applications/$app_id.desktop ] || fail "no desktop entry"
[ -f /usr/share/metainfo/$app_id.metainfo.xml ] || fail "no AppStream metadata"
[ -f /usr/share/man/man6/kelmora.6.gz ] || fail "no manual page"
step "installed: /usr/games/kelmora -> ../lib/kelmora/kelmora, $pictures pictures"

bash tools/with-x.sh bash "$self" --in-display /usr/games/kelmora /usr/lib/kelmora ||
  fail "the installed program under Xvfb"

trap - EXIT
apt remove kelmora
! dpkg-query -W -f='${Status}' kelmora 2>/dev/null | grep -q 'ok installed' || fail "kelmora is still installed"
if [ -e /usr/lib/kelmora ] || [ -e /usr/games/kelmora ] || [ -e /usr/share/kelmora ]; then
  fail "files left after removal"
fi
step "removed, /usr/lib/kelmora gone"
step PASS
