#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those missing.
# Never wine32: this kernel runs no 32-bit code, and with wine32 present the
# wine launcher stops running 64-bit programs too.
set -eu
packages="make cmake g++ googletest g++-mingw-w64-x86-64 g++-mingw-w64-i686 mingw-w64
          wine wine64 fonts-wine xvfb xdotool imagemagick zip unzip"
missing=""
for p in $packages; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
  [ "$status" = installed ] || missing="$missing $p"
done
if [ -z "$missing" ]; then
  exit 0
fi
echo "==> installing:$missing"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
# shellcheck disable=SC2086
$sudo apt-get install -y -q --no-install-recommends $missing
