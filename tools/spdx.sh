#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Keeps the licence line at the head of every source, script and CMake file:
#   tools/spdx.sh --check   lists the files without it; fails if there are any
#   tools/spdx.sh --fix     adds it where missing (running it again changes nothing)
# Which files count is decided by name below: C++ sources, shell and Python
# scripts, CMake files, the manual page, the XML and desktop files, and any
# other file that starts with "#!". Pictures, text tables (.list), fuzz
# dictionaries and corpora, suppressions, documentation and tool settings are
# data, not code, and carry no header. Only files git knows (tracked, or new
# and not ignored) are looked at, so build folders never are.
set -euo pipefail

licence="SPDX-License-Identifier: MIT"

mode=${1:-}
case "$mode" in
--check | --fix) ;;
*)
  echo "usage: tools/spdx.sh --check | --fix" >&2
  exit 2
  ;;
esac
cd "$(dirname "$0")/.."
git rev-parse --is-inside-work-tree >/dev/null 2>&1 || {
  echo "spdx: needs a git work tree to know which files are the project's" >&2
  exit 2
}

# Prints the header line for a file in its comment syntax; fails for data files.
header_for() {
  local path=$1 name=${1##*/} first
  name=${name%.in} # a template is judged by what it makes
  case "$name" in
  *.cpp | *.cc | *.c | *.h | *.hpp | *.js | *.mjs) echo "// $licence" ;;
  *.sh | *.py | *.cmake | CMakeLists.txt | *.desktop | *.lintian-overrides) echo "# $licence" ;;
  *.[1-9]) echo ".\\\" $licence" ;;
  *.xml | *.qrc | *.svg) echo "<!-- $licence -->" ;;
  *.*) return 1 ;;
  *)
    # A file without a suffix counts when it is a script.
    IFS= read -r first <"$path" || true
    case "$first" in
    '#!'*node*) echo "// $licence" ;;
    '#!'*) echo "# $licence" ;;
    *) return 1 ;;
    esac
    ;;
  esac
}

# Whether the first line must stay first: an interpreter line or an XML declaration.
keeps_first_line() {
  local first
  IFS= read -r first <"$1" || true
  [[ $first == '#!'* || $first == '<?xml'* ]]
}

missing=0
while IFS= read -r -d '' path; do
  if [ ! -f "$path" ] || [ -L "$path" ]; then continue; fi
  header=$(header_for "$path") || continue
  head -n 3 "$path" | grep -qF "$licence" && continue
  if [ "$mode" = --check ]; then
    echo "spdx: no licence line: $path"
    missing=$((missing + 1))
    continue
  fi
  if [ ! -s "$path" ]; then
    printf '%s\n' "$header" >"$path"
  elif keeps_first_line "$path"; then
    # sed's a and i commands take the text after a backslash literally.
    sed -i "1a\\
${header//\\/\\\\}" "$path"
  else
    sed -i "1i\\
${header//\\/\\\\}" "$path"
  fi
  echo "spdx: added to $path"
done < <(git ls-files -z --cached --others --exclude-standard)

if [ "$mode" = --check ] && [ $missing -gt 0 ]; then
  echo "spdx: $missing files without \"$licence\"; run tools/spdx.sh --fix" >&2
  exit 1
fi
