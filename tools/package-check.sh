#!/usr/bin/env bash
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

  # The program moves to its own folder at start; through the /usr/bin symlink
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
if [ -e /usr/lib/kelmora ] || [ -e /usr/bin/kelmora ]; then
  fail "/usr/lib/kelmora or /usr/bin/kelmora exists outside the package"
fi

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
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

# Leaves no package behind when a later step fails.
trap '$sudo apt-get remove -y -qq kelmora >/dev/null 2>&1 || true' EXIT
apt install "$deb"
dpkg-query -W -f='${Status}' kelmora | grep -q 'ok installed' || fail "kelmora is not installed"
[ "$(readlink /usr/bin/kelmora)" = ../lib/kelmora/kelmora ] || fail "/usr/bin/kelmora is not the relative launcher"
pictures=$(find /usr/lib/kelmora/pkp -name '*.jpg' | wc -l)
[ "$pictures" -eq 52 ] || fail "/usr/lib/kelmora/pkp holds $pictures pictures, not 52"
[ -f /usr/share/applications/kelmora.desktop ] || fail "no desktop entry"
step "installed: /usr/bin/kelmora -> ../lib/kelmora/kelmora, $pictures pictures"

bash tools/with-x.sh bash "$self" --in-display /usr/bin/kelmora /usr/lib/kelmora ||
  fail "the installed program under Xvfb"

trap - EXIT
apt remove kelmora
! dpkg-query -W -f='${Status}' kelmora 2>/dev/null | grep -q 'ok installed' || fail "kelmora is still installed"
if [ -e /usr/lib/kelmora ] || [ -e /usr/bin/kelmora ]; then
  fail "files left after removal"
fi
step "removed, /usr/lib/kelmora gone"
step PASS
