#!/usr/bin/env bash
# Builds everything and runs the test layers: native unit tests with sanitizers, Win32
# tests under Wine, the end-to-end tests of the real exe, and the release test of a zip
# packed as make dist packs it. Ends with one line counting the test cases that passed
# and failed.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
# The Wine desktop's size and DPI, checked before anything is built; every script and
# test program that this run starts reads them from the environment.
# shellcheck source=scripts/desktop-settings.sh
. "$root/scripts/desktop-settings.sh"
export TARNAVEL_DESKTOP=$desktop TARNAVEL_DPI=$desktop_dpi
export WINEPREFIX=$root/build/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

step() { echo "==> $*"; }
fail_build() {
  echo "build failed: $*"; echo "tests: 0 passed, 1 failed"
  WINEPREFIX=$fresh_prefix wineserver -k 2>/dev/null
  exit 1
}

# The release test starts the exe in a Wine prefix that nothing else has used, and
# making one takes longer than all the rest of that test: it is made now, while the
# builds and the other tests run, and left alone until the release test, which waits
# for it to be ready (or makes its own, should this fail).
fresh_prefix=$root/build/release-test-prefix
rm -rf "$fresh_prefix" "$fresh_prefix.lock"
WINEPREFIX=$fresh_prefix scripts/wine-prefix.sh >/dev/null 2>&1 </dev/null &
fresh_prefix_job=$!
export TARNAVEL_FRESH_PREFIX=$fresh_prefix

# The i686 exe is built by the release packing below, as make dist builds it.
for preset in native mingw64; do
  step "building ($preset)"
  cmake --preset "$preset" >/dev/null || fail_build "$preset configure"
  cmake --build --preset "$preset" -j2 || fail_build "$preset"
done
# The release test checks a release packed here into build/release as make dist packs
# it; dist/ holds only what make dist made and tested.
scripts/dist.sh --incremental || fail_build "release"

rm -rf build/native/results build/mingw64/results build/*/Testing/Temporary/LastTestsFailed.log
mkdir -p build/native/results build/mingw64/results

step "native unit tests"
(cd build/native && ctest --output-on-failure) ; native_rc=$?

"$root/scripts/wine-prefix.sh"
run_wine_tests() {
  wineserver -p 30
  # Wine's background services start with the first program and keep the handles it
  # was given; start them here so they do not hold CTest's output pipe open.
  wine cmd /c exit </dev/null >/dev/null 2>&1
  (cd build/mingw64 && ctest --output-on-failure --timeout 300)
  rc=$?
  wineserver -k 2>/dev/null || true
  return $rc
}
step "Win32 and end-to-end tests under Wine, on a $desktop desktop at $desktop_dpi DPI"
export -f run_wine_tests
if [ -n "${DISPLAY:-}" ] && [ -z "${TARNAVEL_PRIVATE_DISPLAY:-}" ]; then
  # A display of one's own is used as it is; CI has none and gets a private Xvfb.
  run_wine_tests; wine_rc=$?
else
  scripts/with-display.sh bash -c run_wine_tests; wine_rc=$?
fi

# Count test cases from the JUnit files every test writes.
passed=0; failed=0; skipped=0
for f in build/native/results/*.xml build/mingw64/results/*.xml; do
  [ -f "$f" ] || continue
  line=$(grep -m1 -o '<testsuites[^>]*>' "$f")
  t=$(echo "$line" | sed -n 's/.* tests="\([0-9]*\)".*/\1/p')
  fl=$(echo "$line" | sed -n 's/.* failures="\([0-9]*\)".*/\1/p')
  er=$(echo "$line" | sed -n 's/.* errors="\([0-9]*\)".*/\1/p')
  di=$(echo "$line" | sed -n 's/.* disabled="\([0-9]*\)".*/\1/p')
  # A case skipped where the system cannot show what it checks passed nothing.
  sk=$(grep -c 'result="skipped"' "$f")
  passed=$((passed + ${t:-0} - ${fl:-0} - ${er:-0} - ${di:-0} - sk))
  skipped=$((skipped + sk))
  failed=$((failed + ${fl:-0} + ${er:-0}))
done
# A test program that crashed wrote no results: count each such program as a failure.
for log in build/native/Testing/Temporary/LastTestsFailed.log build/mingw64/Testing/Temporary/LastTestsFailed.log; do
  [ -f "$log" ] || continue
  while IFS=: read -r _ name; do
    dir=$(dirname "$(dirname "$(dirname "$log")")")
    [ -f "$dir/results/$name.xml" ] || failed=$((failed + 1))
  done < "$log"
done
# Done long since, unless the release test did not run.
wait "$fresh_prefix_job" 2>/dev/null
if [ "$native_rc" -ne 0 ] || [ "$wine_rc" -ne 0 ]; then
  [ "$failed" -gt 0 ] || failed=1
fi
if [ "$skipped" -gt 0 ]; then
  echo "tests: $passed passed, $failed failed, $skipped skipped"
else
  echo "tests: $passed passed, $failed failed"
fi
[ "$failed" -eq 0 ]
