#!/usr/bin/env bash
# Records a run of `make bench` or `make soak` in docs/performance.md: the lines read
# from standard input, under a line saying when and on what machine it ran, replace the
# block between that run's markers (appended, with them, when there are none yet).
#
# usage: record-results.sh <bench|soak> <what was run, for the first line> <work dir>
set -eu
name=$1 what=$2 work=$3
root=$(cd "$(dirname "$0")/.." && pwd)
doc=$root/docs/performance.md
begin="<!-- $name results begin -->"
end="<!-- $name results end -->"
block=$work/$name-block.md
{
  echo "$begin"
  echo "Last \`make $name\`: $(date -u '+%Y-%m-%d %H:%M UTC'); $(nproc --all) cores," \
       "$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'), $(wine --version 2>/dev/null)$what."
  echo
  echo '```'
  tr -d '\r'
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
