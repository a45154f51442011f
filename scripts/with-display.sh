#!/usr/bin/env bash
# Runs a command on a private Xvfb display, then ends the Xvfb it started, by PID.
# The screen is the size of the Wine desktop that the run asks for, which sits at its
# top-left corner.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=scripts/desktop-settings.sh
. "$root/scripts/desktop-settings.sh"
for n in $(seq 90 150); do
  [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || break
done
Xvfb ":$n" -screen 0 "${desktop}x24" -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; wait $xvfb 2>/dev/null || true' EXIT
for _ in $(seq 1 100); do
  [ -e "/tmp/.X11-unix/X$n" ] && break
  sleep 0.05
done
export DISPLAY=":$n"
set +e
"$@"
rc=$?
exit $rc
