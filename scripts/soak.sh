#!/usr/bin/env bash
# One minute of random selections and commands on Tarnavel, with auto refresh every
# millisecond and fixture windows appearing and vanishing; then checks that Tarnavel
# is alive, that its list matches the desktop, that it kept no memory, handles or
# USER objects, and that File > Exit ends it within 2 s. Prints a one-line verdict
# and records it in docs/performance.md.
#
#   SOAK_SECONDS=60     how long the random commands run
#   SOAK_SEED           the random seed (default: from the clock; printed)
#   TARNAVEL_BUILD_DIR  the build to run (default build/mingw64)
#   WINEPREFIX          the Wine prefix (default build/wineprefix)
#
# Installs nothing: `make soak` builds first.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=scripts/wine-env.sh
. "$root/scripts/wine-env.sh"
seconds=${SOAK_SECONDS:-60}
seed=${SOAK_SEED:-}

need_programs soak tarnavel.exe tests/bench/soak_driver.exe tests/bench/refresh_counter.dll
need_display "$0" "$@"
use_wine_prefix

out=$build/bench
mkdir -p "$out"
log=$out/soak.log
echo "==> soak: $seconds s of random commands under auto refresh every 1 ms (WINEPREFIX=$WINEPREFIX)"
# shellcheck disable=SC2086
run_logged "$log" "$build/tests/bench/soak_driver.exe" "$build/tarnavel.exe" "$build/tests/bench/refresh_counter.dll" \
  "$seconds" $seed
rc=$?

verdict=$(grep -a '^soak: \(PASS\|FAIL\) ' "$log" | tail -n 1)
if [ -z "$verdict" ]; then
  echo "==> soak: no verdict; docs/performance.md left as it was; log in $log"
  exit 1
fi
{
  grep -a '^soak: details' "$log" | tail -n 1
  echo "$verdict"
} | "$root/scripts/record-results.sh" soak "" "$out"
echo "==> soak: recorded in docs/performance.md; log in $log"
exit "$rc"
