#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# A fatal run-time error on Windows: the report box's text, icon, owner and
# button as the test program reads them, and the exit code after OK.
#   bash tests/wine/fatal.sh FATALREPORT.exe
set -euo pipefail
source "$(dirname "$0")/winesession.sh"
wine_session_start

code=0
output=$(wine "$1") || code=$?
echo "$output"
echo "exit code: $code"

status=0
expect() {
  grep -qxF -- "$1" <<<"$output" || {
    echo "FAIL: expected the line: $1"
    status=1
  }
}
expect 'text: 运行时出错!\r\n\r\n错误代码：4\r\n\r\n错误信息：数组成员引用下标必须大于等于1\r\n'
expect 'icon: error'
expect 'owner: none'
expect 'buttons: OK'
[ "$code" -eq 255 ] || {
  echo "FAIL: exit code $code, not 255 (-1)"
  status=1
}
[ $status -eq 0 ] && echo "PASS"
exit $status
