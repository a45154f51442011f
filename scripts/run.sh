#!/usr/bin/env bash
# Starts Tarnavel under Wine. With a display it opens there; without one it runs on a
# private Xvfb, saves a screenshot once the main dialog is up, and ends what it started.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/mingw64
export WINEPREFIX=$root/build/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
"$root/scripts/wine-prefix.sh"
if [ -n "${DISPLAY:-}" ]; then
  echo "==> starting Tarnavel on $DISPLAY"
  exec wine "$build/tarnavel.exe"
fi
shot=$root/build/tarnavel.png
echo "==> no display: starting Tarnavel on a private Xvfb"
"$root/scripts/with-display.sh" "$root/scripts/screenshot.sh" "$shot"
echo "==> screenshot saved: $shot"
