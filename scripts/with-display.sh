#!/usr/bin/env bash
# Runs a command on a private Xvfb display, then ends the Xvfb it started, by PID.
# The screen is the size of the Wine desktop that the run asks for, which sits at its
# top-left corner.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=scripts/desktop-settings.sh
. "$root/scripts/desktop-settings.sh"
# Xvfb picks the display itself, the first whose sockets it can take, and says which
# once it is ready: a lock file in /tmp does not show a server in another root (a
# Debian root of scripts/in-debian.sh, say), which still holds the display's abstract
# socket, and a client told that display would reach it and get its keys.
ready=$(mktemp)
Xvfb -displayfd 3 -screen 0 "${desktop}x24" -nolisten tcp 3>"$ready" >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; wait $xvfb 2>/dev/null || true; rm -f "$ready"' EXIT
n=""
for _ in $(seq 1 200); do
  n=$(tr -dc 0-9 <"$ready")
  [ -n "$n" ] && break
  kill -0 $xvfb 2>/dev/null || break
  sleep 0.05
done
[ -n "$n" ] || { echo "with-display: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$n"
set +e
"$@"
rc=$?
exit $rc
