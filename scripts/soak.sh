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
build=${TARNAVEL_BUILD_DIR:-$root/build/mingw64}
case $build in /*) ;; *) build=$root/$build ;; esac
export WINEPREFIX=${WINEPREFIX:-$root/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
seconds=${SOAK_SECONDS:-60}
seed=${SOAK_SEED:-}

for program in tarnavel.exe tests/bench/soak_driver.exe tests/bench/refresh_counter.dll; do
  if [ ! -f "$build/$program" ]; then
    echo "soak: $build/$program is missing; build first (make build)" >&2
    exit 1
  fi
done

# Without a display, run again on a private Xvfb that ends with this script.
if [ -z "${DISPLAY:-}" ]; then
  exec "$root/scripts/with-display.sh" "$0" "$@"
fi
"$root/scripts/wine-prefix.sh"

out=$build/bench
mkdir -p "$out"
log=$out/soak.log
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

echo "==> soak: $seconds s of random commands under auto refresh every 1 ms (WINEPREFIX=$WINEPREFIX)"
# shellcheck disable=SC2086
wine "$build/tests/bench/soak_driver.exe" "$build/tarnavel.exe" "$build/tests/bench/refresh_counter.dll" \
  "$seconds" $seed >"$log" 2>&1 &
driver=$!
tail -n +1 -f --pid="$driver" "$log"
wait "$driver"
rc=$?
driver=""

verdict=$(grep -a '^soak: \(PASS\|FAIL\) ' "$log" | tail -n 1 | tr -d '\r')
if [ -z "$verdict" ]; then
  echo "==> soak: no verdict; docs/performance.md left as it was; log in $log"
  exit 1
fi

# The record: the date, the machine and the verdict, between the markers.
doc=$root/docs/performance.md
begin='<!-- soak results begin -->'
end='<!-- soak results end -->'
block=$out/soak-block.md
{
  echo "$begin"
  echo "Last \`make soak\`: $(date -u '+%Y-%m-%d %H:%M UTC'); $(nproc) cores," \
       "$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'), $(wine --version 2>/dev/null)."
  echo
  echo '```'
  grep -a '^soak: details' "$log" | tail -n 1 | tr -d '\r'
  echo "$verdict"
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
echo "==> soak: recorded in docs/performance.md; log in $log"
exit "$rc"
