#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian packages the project needs, in two sets:
#   tools/setup.sh play   what building and playing need (tools/play.sh)
#   tools/setup.sh test   that and everything the tests use (tools/test.sh);
#                         the default
# Idempotent: when everything is present it only checks, in about a second.
set -euo pipefail

set_name=${1:-test}
case "$set_name" in
play | test) ;;
*)
  echo "usage: tools/setup.sh [play|test]" >&2
  exit 2
  ;;
esac

play_packages=(
  # build
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-qpa-plugins libjpeg-dev libxcb1-dev
  # fonts for the Chinese texts: a song/ming face, a kai face and a fallback
  fonts-arphic-uming fonts-arphic-ukai fonts-wqy-zenhei fonts-dejavu-extra
)
test_packages=(
  # benchmarks
  libbenchmark-dev
  # real-window checks and screenshots
  xvfb xauth xdotool imagemagick x11-utils
  # sanitizers, fuzzing, static checks, memory checks
  clang libclang-rt-14-dev clang-tidy clang-format valgrind
  # the package check: Debian's and AppStream's own validators
  lintian appstream
  # number texts under other locales
  locales
  # accessibility checks over AT-SPI
  at-spi2-core python3-pyatspi dbus
  # the Windows program: cross-compiler, its tests' framework, wine to run
  # them, and the installer maker
  g++-mingw-w64-x86-64-posix googletest wine64 wine nsis
)

packages=("${play_packages[@]}")
if [ "$set_name" = test ]; then
  packages+=("${test_packages[@]}")
  # The evaluator's differential test compares with a JavaScript engine; any
  # installed node will do, Debian's is the fallback.
  command -v node >/dev/null 2>&1 || packages+=(nodejs)
fi

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed' || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

[ "$set_name" = test ] || exit 0

# Test-only set-up steps beyond packages go below; each must be idempotent
# and quick when already done.

# The tests run a second time where decimals are written with a comma, so
# that locale must exist. Added to locale.gen (not only localedef) so a later
# locale-gen keeps it.
if ! locale -a 2>/dev/null | grep -qx 'de_DE\.utf8'; then
  grep -qx 'de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  $sudo locale-gen
fi
