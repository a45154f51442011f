#!/usr/bin/env bash
# Starts Tarnavel under Wine. With a display it opens there; without one it runs on a
# private Xvfb, saves a screenshot once the main dialog is up, and ends what it started.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
# The project's own prefix, whatever prefix the shell names.
WINEPREFIX=$root/build/wineprefix
# shellcheck source=scripts/wine-env.sh
. "$root/scripts/wine-env.sh"
use_wine_prefix
if [ -n "${DISPLAY:-}" ]; then
  echo "==> starting Tarnavel on $DISPLAY"
  exec wine "$build/tarnavel.exe"
fi
shot=$root/build/tarnavel.png
echo "==> no display: starting Tarnavel on a private Xvfb"
"$root/scripts/with-display.sh" "$root/scripts/screenshot.sh" "$shot"
echo "==> screenshot saved: $shot"
