#!/usr/bin/env bash
# Both release targets keep building, and each exe is a PE image for its own machine:
# the i686 build cannot run here, so its header is all that can be checked.
# Usage: pe_machine_test.sh RESULTS.xml X86_64_EXE I686_EXE
set -u
results=$1 x64=$2 x86=$3
failures=0 cases=""
machine() {  # the COFF machine field: e_lfanew at 0x3C, then "PE\0\0", then two bytes
  local offset
  offset=$(od -An -t u4 -j 60 -N 4 "$1" 2>/dev/null | tr -d ' ')
  [ -n "$offset" ] || return
  [ "$(od -An -c -j "$offset" -N 2 "$1" | tr -d ' ')" = "PE" ] || return
  od -An -t x2 -j $((offset + 4)) -N 2 "$1" | tr -d ' '
}
check() {
  local name=$1 file=$2 want=$3 got
  got=$(machine "$file")
  if [ "$got" = "$want" ]; then
    cases="$cases<testcase name=\"$name\"/>"
    echo "[       OK ] $name"
  else
    failures=$((failures + 1))
    cases="$cases<testcase name=\"$name\"><failure message=\"machine '$got', expected '$want'\"/></testcase>"
    echo "[  FAILED  ] $name: machine '$got', expected '$want' in $file"
  fi
}
check X86_64ExeIsAnAmd64Image "$x64" 8664
check I686ExeIsAnI386Image "$x86" 014c
mkdir -p "$(dirname "$results")"
printf '<?xml version="1.0"?>\n<testsuites tests="2" failures="%d" disabled="0" errors="0" name="release">\n<testsuite name="Release" tests="2" failures="%d">%s</testsuite>\n</testsuites>\n' \
  "$failures" "$failures" "$cases" > "$results"
[ "$failures" -eq 0 ]
