#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Resident memory of the game under wine against a bare Win32 window under
# wine in the same session: each started in turn, measured 3 s after its
# window showed (VmRSS of its process, and of the prefix's wineserver), then
# closed with Escape. Prints figures; judges nothing.
#   bash tests/wine/memory.sh BIN_DIR     # the build's bin/ (kelmora.exe, barewindow.exe)
set -euo pipefail
bin=$(readlink -f "$1")
source "$(dirname "$0")/winesession.sh"
wine_session_start

rss() { sed -n 's/^VmRSS:[[:space:]]*//p' "/proc/$1/status"; }
# The wineserver of this prefix, not of another one on the machine: its
# working folder is named after the prefix's device and inode.
prefix_server() {
  local pid folder device inode
  read -r device inode < <(stat -c '%d %i' "$WINEPREFIX")
  folder=$(printf 'server-%x-%x' "$device" "$inode")
  for pid in $(pgrep -x 'wineserver(64)?'); do
    [ "$(basename "$(readlink "/proc/$pid/cwd")")" != "$folder" ] || echo "$pid"
  done
}

measure() {
  local title=$1 exe=$2 server
  wine_start_window "$(mktemp)" "$title" "$bin/$exe" || { echo "$exe: no window: $x_why"; return 1; }
  sleep 3
  server=$(prefix_server)
  # The wine process is the program's own: wine runs it in place.
  echo "$exe: $(rss "$x_pid") (pid $x_pid); wineserver: $(rss "$server") (pid $server)"
  wine_close_window
}

measure "Bare window" barewindow.exe
measure "Kelmora小游戏" kelmora.exe
