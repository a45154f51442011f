#!/usr/bin/env bash
# Runs a command on a private Xvfb display, then ends the Xvfb it started, by PID.
# The screen is the size of the Wine desktop that the run asks for, which sits at its
# top-left corner.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=scripts/desktop-settings.sh
. "$root/scripts/desktop-settings.sh"
# Xvfb chooses the display number itself and says it once it listens. A number chosen
# here from the lock files in /tmp would miss the display of a run in another root or
# container, which has a /tmp of its own but shares the machine's abstract sockets:
# that Xvfb would fail to start, and this run would go on, on the other run's display.
ready=$(mktemp -d)
mkfifo "$ready/display"
Xvfb -displayfd 3 -screen 0 "${desktop}x24" -nolisten tcp 3>"$ready/display" >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; wait $xvfb 2>/dev/null || true; rm -rf "$ready"' EXIT
n=""
read -r -t 30 n <"$ready/display" || true
if [ -z "$n" ]; then
  echo "with-display: Xvfb did not start" >&2
  exit 1
fi
export DISPLAY=":$n"
set +e
"$@"
rc=$?
exit $rc
