#!/usr/bin/env bash
# Times Tarnavel's rebuild of its window list against the floor (the least work any
# such rebuild needs, in a bare program of its own) with 100, 1000 and 5000 fixture
# windows, then runs many rebuilds to see that nothing accumulates. Prints the table
# and records it, with the machine, in docs/performance.md.
#
#   BENCH_REPS=25          timed repetitions per window count (at least 20)
#   BENCH_ENDURANCE=10000  rebuilds of the endurance run at 1000 windows (0: none)
#   BENCH_SIZES="100 1000 5000"
#   TARNAVEL_BUILD_DIR     the build to run (default build/mingw64)
#   WINEPREFIX             the Wine prefix (default build/wineprefix)
#
# Installs nothing: `make bench` builds first.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TARNAVEL_BUILD_DIR:-$root/build/mingw64}
case $build in /*) ;; *) build=$root/$build ;; esac
export WINEPREFIX=${WINEPREFIX:-$root/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
reps=${BENCH_REPS:-25}
endurance=${BENCH_ENDURANCE:-10000}
sizes=${BENCH_SIZES:-100 1000 5000}

for program in tarnavel.exe tests/bench/bench_driver.exe tests/bench/bench_floor.exe tests/bench/bench_fixture.exe; do
  if [ ! -f "$build/$program" ]; then
    echo "bench: $build/$program is missing; build first (make build)" >&2
    exit 1
  fi
done
if [ "$reps" -lt 20 ]; then
  echo "bench: BENCH_REPS must be at least 20" >&2
  exit 1
fi

# Without a display, run again on a private Xvfb that ends with this script.
if [ -z "${DISPLAY:-}" ]; then
  exec "$root/scripts/with-display.sh" "$0" "$@"
fi
"$root/scripts/wine-prefix.sh"

out=$build/bench
mkdir -p "$out"
log=$out/bench.log
driver=""
# shellcheck disable=SC2317  # run by the trap
finish() {
  if [ -n "$driver" ] && kill -0 "$driver" 2>/dev/null; then
    kill "$driver" 2>/dev/null
    wait "$driver" 2>/dev/null
  fi
  # Only the prefix this script used.
  wineserver -k 2>/dev/null || true
}
trap finish EXIT
trap 'exit 130' INT TERM

echo "==> bench: $reps repetitions at N = $sizes; endurance $endurance rebuilds at N = 1000 (WINEPREFIX=$WINEPREFIX)"
# shellcheck disable=SC2086
wine "$build/tests/bench/bench_driver.exe" "$build/tarnavel.exe" "$build/tests/bench/bench_floor.exe" \
  "$build/tests/bench/bench_fixture.exe" "$reps" "$endurance" 1000 $sizes >"$log" 2>&1 &
driver=$!
tail -n +1 -f --pid="$driver" "$log"
wait "$driver"
rc=$?
driver=""

if ! grep -aq '^bench: \(all targets met\|targets MISSED\)' "$log"; then
  echo "==> bench: did not complete; docs/performance.md left as it was; log in $log"
  exit 1
fi

# The record: the machine, the date, the table and the verdicts, between the markers.
doc=$root/docs/performance.md
begin='<!-- bench results begin -->'
end='<!-- bench results end -->'
block=$out/bench-block.md
{
  echo "$begin"
  echo "Last \`make bench\`: $(date -u '+%Y-%m-%d %H:%M UTC'); $(nproc) cores," \
       "$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'), $(wine --version 2>/dev/null);" \
       "$reps repetitions per size, endurance $endurance rebuilds requested."
  echo
  echo '```'
  sed -n '/^ *N  *rows/,$p' "$log" | tr -d '\r'
  grep -a '^endurance \(after\|result\)' "$log" | tr -d '\r'
  echo '```'
  echo "$end"
} >"$block"
mkdir -p "$root/docs"
[ -f "$doc" ] || printf '# Performance\n' >"$doc"
if grep -qF "$begin" "$doc"; then
  awk -v begin="$begin" -v end="$end" -v block="$block" '
    $0 == begin { while ((getline line < block) > 0) print line; skipping = 1; next }
    $0 == end { skipping = 0; next }
    !skipping { print }' "$doc" >"$doc.new" && mv "$doc.new" "$doc"
else
  { echo; cat "$block"; } >>"$doc"
fi
echo "==> bench: recorded in docs/performance.md; log in $log"
exit "$rc"
