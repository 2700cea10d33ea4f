#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs a command under a private X server (Xvfb on a display of its own,
# 1280x800x24) and ends the server when the command ends; exits with the
# command's status. The command's windows use the xcb platform on that server.
#   bash tools/with-x.sh COMMAND [ARGS...]
set -euo pipefail
[ $# -gt 0 ] || {
  echo "usage: $0 COMMAND [ARGS...]" >&2
  exit 2
}
source "$(dirname "$(readlink -f "$0")")/xserver.sh"
unset QT_QPA_PLATFORM
xserver_start
trap xserver_stop EXIT
# In the background so that a signal to this script ends the command and the
# server at once; stdin stays the caller's.
"$@" <&0 &
command=$!
trap 'kill -TERM $command 2>/dev/null; exit 143' TERM
trap 'kill -INT $command 2>/dev/null; exit 130' INT
status=0
wait $command || status=$?
exit $status
