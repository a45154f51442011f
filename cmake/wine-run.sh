#!/usr/bin/env bash
# Runs a Windows program under Wine with the project's private prefix and display.
# Used by CTest as the cross-compiling emulator, and by the scripts.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
export WINEPREFIX=${WINEPREFIX:-$root/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
"$root/scripts/wine-prefix.sh" >/dev/null
if [ -z "${DISPLAY:-}" ]; then
  # Called on its own, without the test script's display: bring up a private one.
  exec "$root/scripts/with-display.sh" wine "$@"
fi
exec wine "$@"
