# SPDX-License-Identifier: MIT
# shellcheck shell=bash
# shellcheck disable=SC2034 # wine_exit is for the caller
# Sourced by the wine tests: a wine prefix as tools/wineprefix.sh makes it, a
# private X server for this test, and helpers to start a Windows program and
# find its window.
#   source tests/wine/winesession.sh
#   wine_session_start          # prefix ready, X server up; ends with the shell
#   wine_start_window LOG TITLE PROGRAM.exe [ARGS...]   # sets x_pid, x_window
#   wine_close_window           # Escape; sets wine_exit to the exit code

wine_tests_dir=$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")
source "$wine_tests_dir/../../tools/xserver.sh"
source "$wine_tests_dir/../../tools/wineprefix.sh"
# Console output of wine programs (reg, the test programs) in UTF-8.
export LC_ALL=C.UTF-8

# At the end: the test's program if it still runs, then every wine process
# of the prefix (its desktop among them is tied to this X server), then the
# X server.
wine_session_cleanup() {
  if [ -n "${x_pid:-}" ]; then
    kill "$x_pid" 2>/dev/null || true
    wait "$x_pid" 2>/dev/null || true
  fi
  timeout 30 wineserver -w 2>/dev/null || true
  xserver_stop
}

wine_session_start() {
  wineprefix_ready
  xserver_start 1280x800x24
  trap wine_session_cleanup EXIT
}

# wine_start_window LOG TITLE PROGRAM.exe [ARGS...]: the program under wine
# and its window, found by its title. Without a window manager wine draws no
# frame: the X window is the client area.
wine_start_window() {
  local log=$1 title=$2
  shift 2
  x_start_window "$log" "$title" wine "$@"
}

# wine_close_window: Escape to the window of wine_start_window, then waits
# up to 30 s for the program to end; its exit code in wine_exit (wine gives
# the low 8 bits: -1 is 255), or why it did not end.
wine_close_window() {
  x_run xdotool windowfocus --sync "$x_window" 2>/dev/null || true
  x_run xdotool key Escape
  local _
  for _ in $(seq 1 300); do
    kill -0 "$x_pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$x_pid" 2>/dev/null; then
    if x_run xdotool search --onlyvisible --name "." 2>/dev/null | grep -qx "$x_window"; then
      wine_exit="still running, its window still shown"
    else
      wine_exit="still running, its window gone"
    fi
    return
  fi
  wine_exit=0
  wait "$x_pid" || wine_exit=$?
  x_pid=""
}
