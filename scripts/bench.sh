#!/usr/bin/env bash
# Times Tarnavel's rebuild of its window list against the floor (the least work any
# such rebuild needs, in a bare program of its own) with 100, 1000 and 5000 fixture
# windows, then runs many rebuilds to see that nothing accumulates. Prints the table
# and records it, with the machine, in docs/performance.md.
#
#   BENCH_REPS=25          timed repetitions per window count (at least 20)
#   BENCH_ENDURANCE=1000   rebuilds of the endurance run at 1000 windows (0: none);
#                          10000 makes the long run
#   BENCH_SIZES="100 1000 5000"
#   TARNAVEL_BUILD_DIR     the build to run (default build/mingw64)
#   WINEPREFIX             the Wine prefix (default build/wineprefix)
#
# Installs nothing: `make bench` builds first.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=scripts/wine-env.sh
. "$root/scripts/wine-env.sh"
reps=${BENCH_REPS:-25}
default_endurance=1000
endurance=${BENCH_ENDURANCE:-$default_endurance}
sizes=${BENCH_SIZES:-100 1000 5000}

# On a virtual machine whose cores sit idle, waking the Wine server on another core
# costs tens of microseconds a round trip, more the idler the machine is, and a
# rebuild makes thousands of them: measured here, that alone put one program at two
# to four times the other's time from run to run. Everything the bench starts (the
# display, the Wine server, the programs) runs on one core, so that both programs are
# timed under the same steady conditions. A server already running would stay where
# it is, so it is ended first.
if [ -z "${TARNAVEL_BENCH_ON_ONE_CORE:-}" ] && command -v taskset >/dev/null; then
  export TARNAVEL_BENCH_ON_ONE_CORE=1
  wineserver -k 2>/dev/null
  exec taskset -c 0 "$0" "$@"
fi

need_programs bench tarnavel.exe tests/bench/bench_driver.exe tests/bench/bench_floor.exe tests/bench/bench_fixture.exe
if [ "$reps" -lt 20 ]; then
  echo "bench: BENCH_REPS must be at least 20" >&2
  exit 1
fi
need_display "$0" "$@"
use_wine_prefix

out=$build/bench
mkdir -p "$out"
log=$out/bench.log
if [ "$endurance" = "$default_endurance" ]; then
  run="endurance $endurance rebuilds (the default)"
else
  run="endurance $endurance rebuilds (BENCH_ENDURANCE=$endurance)"
fi
echo "==> bench: $reps repetitions at N = $sizes; $run at N = 1000 (WINEPREFIX=$WINEPREFIX)"
# shellcheck disable=SC2086
run_logged "$log" "$build/tests/bench/bench_driver.exe" "$build/tarnavel.exe" "$build/tests/bench/bench_floor.exe" \
  "$build/tests/bench/bench_fixture.exe" "$reps" "$endurance" 1000 $sizes
rc=$?

if ! grep -aq '^bench: \(all targets met\|targets MISSED\)' "$log"; then
  echo "==> bench: did not complete; docs/performance.md left as it was; log in $log"
  exit 1
fi
{
  sed -n '/^ *N  *rows/,$p' "$log"
  grep -a '^endurance \(after\|result\)' "$log"
} | "$root/scripts/record-results.sh" bench "; $reps repetitions per size, $run${TARNAVEL_BENCH_ON_ONE_CORE:+; all on one core}" "$out"
echo "==> bench: recorded in docs/performance.md; log in $log"
exit "$rc"
