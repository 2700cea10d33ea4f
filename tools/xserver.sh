# SPDX-License-Identifier: MIT
# shellcheck shell=bash
# shellcheck disable=SC2034 # x_pid, x_window and x_why are for the caller
# A private X server for checks that need real windows, and a careful way to
# start X clients on it. Sourced by bash scripts:
#   source tools/xserver.sh
#   xserver_start            # a private Xvfb; exports DISPLAY
#   x_run xdotool ...        # a short X client, retried once if it could not connect
#   x_start_window LOG NAME PROGRAM [ARGS...]   # a program and its window
#   xserver_stop
# tools/with-x.sh runs any command under a private server and is what tests,
# the package check and benchmarks use; the functions below are for the
# scripts that run inside it.
#
# Why this care: the server takes a connection only after its handshake, and
# a fresh Xvfb drops handshakes that arrive while it resets after its last
# client left (37 of 1280 clients in bursts of 8; none with -noreset). So the
# server runs with -noreset, clients are started one after another, and a
# client that died at start because it could not connect is a set-up failure
# that is retried once. Anything else a client or the game does wrong stays
# a failure.

# The messages of a client that never got a connection: Qt's, the game's own
# check before Qt, xdotool's, ImageMagick's and xdpyinfo's.
x_connect_messages=(
  'could not connect to display'
  'no display available'
  "Can't open display"
  'unable to open X server'
  'unable to open display'
)

# xserver_start [SCREEN]: starts Xvfb on a display it picks itself
# (-displayfd: no race with other servers for a number) and returns once it
# accepts connections, with DISPLAY exported and xserver_pid set. The server
# ends with the calling shell even if that is killed; call this directly,
# not inside $(...). SCREEN defaults to 1280x800x24.
xserver_start() {
  local screen=${1:-1280x800x24} display="" status=0
  xserver_dir=$(mktemp -d "${TMPDIR:-/tmp}/xserver.XXXXXX")
  mkfifo "$xserver_dir/ready"
  setpriv --pdeathsig TERM Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp -noreset \
    3>"$xserver_dir/ready" 2>"$xserver_dir/log" &
  xserver_pid=$!
  read -r -t 30 display <"$xserver_dir/ready" || status=$?
  if [ $status -ne 0 ] || [ -z "$display" ]; then
    echo "xserver: Xvfb did not report a display within 30 s:" >&2
    tail -n 20 "$xserver_dir/log" >&2
    xserver_stop
    return 1
  fi
  export DISPLAY=":$display"
  # Windows go to this server, not to a Wayland session of the caller.
  unset WAYLAND_DISPLAY
}

# xserver_stop: ends the server started by xserver_start and waits for it.
xserver_stop() {
  if [ -n "${xserver_pid:-}" ]; then
    kill "$xserver_pid" 2>/dev/null || true
    wait "$xserver_pid" 2>/dev/null || true
    xserver_pid=""
  fi
  [ -z "${xserver_dir:-}" ] || rm -rf "$xserver_dir"
  xserver_dir=""
}

# x_connect_failed FILE: whether FILE, a client's error output, says it could
# not connect to the X server.
x_connect_failed() {
  local message
  for message in "${x_connect_messages[@]}"; do
    grep -qF -- "$message" "$1" && return 0
  done
  return 1
}

# x_run COMMAND [ARGS...]: runs a short X client to its end, its output as
# usual. If it failed because it could not connect, it runs once more; any
# other failure is returned as it is.
x_run() {
  local errors status=0
  errors=$(mktemp)
  "$@" 2>"$errors" || status=$?
  if [ $status -ne 0 ] && x_connect_failed "$errors"; then
    echo "set-up: $1 could not connect to $DISPLAY; once more" >&2
    status=0
    "$@" 2>"$errors" || status=$?
  fi
  cat "$errors" >&2
  rm -f "$errors"
  return $status
}

# x_start_window LOG NAME PROGRAM [ARGS...]: starts PROGRAM in the background,
# its error output to LOG, and waits up to 20 s for a visible window whose
# name matches NAME. Sets x_pid and x_window. If the program died at start
# because it could not connect, it is started once more. Returns 1, with the
# reason in x_why, when no window came.
x_start_window() {
  local log=$1 name=$2 attempt
  shift 2
  x_window=""
  for attempt in 1 2; do
    "$@" 2>"$log" &
    x_pid=$!
    # The program's connection first, then the polling: one client at a time.
    sleep 1
    local deadline=$((SECONDS + 20))
    while [ $SECONDS -lt $deadline ]; do
      x_window=$(x_run xdotool search --onlyvisible --name "$name" | head -n 1) || true
      [ -z "$x_window" ] || return 0
      kill -0 "$x_pid" 2>/dev/null || break
      sleep 0.1
    done
    if kill -0 "$x_pid" 2>/dev/null; then
      x_why="no window named $name within 20 s"
      return 1
    fi
    wait "$x_pid" 2>/dev/null || true
    if [ "$attempt" -eq 1 ] && x_connect_failed "$log"; then
      echo "set-up: $1 could not connect to $DISPLAY; starting it once more" >&2
      continue
    fi
    x_why="$1 ended before showing a window: $(cat "$log")"
    return 1
  done
}
