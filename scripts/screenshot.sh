#!/usr/bin/env bash
# On the current display: start Tarnavel, wait for its main dialog, save a screenshot
# of the Wine desktop to $1, then end Tarnavel and the Wine server, by PID.
# Extra arguments are driver commands run before the shot (see tests/e2e/driver.cpp).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=scripts/wine-env.sh
. "$root/scripts/wine-env.sh"
# shellcheck source=scripts/desktop-settings.sh
. "$root/scripts/desktop-settings.sh"
out=$1; shift
start_in_background "$build/tarnavel.exe"
wine "$build/tests/e2e/tarnavel_driver.exe" wait "Tarnavel" >/dev/null
for cmd in "$@"; do
  # shellcheck disable=SC2086
  wine "$build/tests/e2e/tarnavel_driver.exe" $cmd >/dev/null
done
sleep 0.5
import -window root -crop "${desktop}+0+0" "$out"
wine "$build/tests/e2e/tarnavel_driver.exe" close "Tarnavel" >/dev/null || true
