#!/usr/bin/env bash
# The release as users download it: a zip as make dist ships it, unpacked into an empty
# folder (make dist tests the one in dist/, make test one that it packs into
# build/release). Both exes import only DLLs that every Windows since 7 has, and the
# x86-64 one starts in a brand-new Wine prefix, shows its main dialog listing windows,
# and closes on WM_CLOSE. The i686 exe cannot run here (the kernel runs no 32-bit
# code), so its header and imports are all that can be checked.
# Writes a JUnit file; exits non-zero when a case failed.
#
# usage: release_test.sh <results.xml> <release folder> <version> <launch_check.exe> <work folder>
set -u
if [ $# -ne 5 ]; then
  echo "usage: $0 <results.xml> <release folder> <version> <launch_check.exe> <work folder>" >&2
  exit 2
fi
out=$1 release=$2 version=$3 launch_check=$4 work=$5
root=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=tests/support/run_cases.sh
. "$root/tests/support/run_cases.sh"

if [ -z "${DISPLAY:-}" ]; then
  # Run by hand without the test script's display: bring up a private one.
  exec "$root/scripts/with-display.sh" bash "$0" "$@"
fi

zip=$release/tarnavel-$version-windows.zip
unpacked=$work/unpacked
prefix=$work/wineprefix
# DLLs that every Windows since 7 has; names are compared in lower case.
windows_dlls="kernel32.dll user32.dll gdi32.dll msvcrt.dll comctl32.dll comdlg32.dll advapi32.dll
              shell32.dll shlwapi.dll ole32.dll oleaut32.dll uxtheme.dll version.dll ntdll.dll"

# A server left by an earlier run would keep the old prefix in use.
[ -d "$prefix" ] && WINEPREFIX=$prefix wineserver -k 2>/dev/null
rm -rf "$work"
mkdir -p "$unpacked"

# ---- cases: each says why it failed, and returns non-zero then -------------------

ZipHoldsBothExesReadmeAndLicence() {
  [ -f "$zip" ] || { echo "no $zip: make dist, or make test, packs it"; return 1; }
  local listed
  listed=$(unzip -Z1 "$zip" | LC_ALL=C sort | tr '\n' ' ')
  [ "$listed" = "LICENSE README.md tarnavel-i686.exe tarnavel-x86_64.exe " ] ||
    { echo "$(basename "$zip") holds: $listed"; return 1; }
  unzip -q "$zip" -d "$unpacked" || { echo "$(basename "$zip") does not unpack"; return 1; }
}

ShippedFilesMatchSha256Sums() {
  [ -f "$release/SHA256SUMS" ] || { echo "no $release/SHA256SUMS"; return 1; }
  local failed listed
  listed=$(cut -c67- "$release/SHA256SUMS" | LC_ALL=C sort | tr '\n' ' ')
  [ "$listed" = "BUILDINFO $(basename "$zip") tarnavel-i686.exe tarnavel-x86_64.exe " ] ||
    { echo "SHA256SUMS lists: $listed"; return 1; }
  failed=$(cd "$release" && sha256sum -c SHA256SUMS 2>&1 | grep -v ': OK$')
  [ -z "$failed" ] || { echo "in $release: $failed"; return 1; }
  # The exes inside the zip are the ones listed beside it.
  failed=$(cd "$unpacked" && grep '\.exe$' "$release/SHA256SUMS" | sha256sum -c 2>&1 | grep -v ': OK$')
  [ -z "$failed" ] || { echo "in the zip: $failed"; return 1; }
}

# The COFF machine field: e_lfanew at 0x3C, then "PE\0\0", then two bytes.
machine() {
  local offset
  offset=$(od -An -t u4 -j 60 -N 4 "$1" 2>/dev/null | tr -d ' ')
  [ -n "$offset" ] || return
  [ "$(od -An -c -j "$offset" -N 2 "$1" | tr -d ' ')" = "PE" ] || return
  od -An -t x2 -j $((offset + 4)) -N 2 "$1" | tr -d ' '
}

is_image_for() {
  local exe=$unpacked/$1 want=$2 got
  got=$(machine "$exe")
  [ "$got" = "$want" ] || { echo "machine '$got', expected '$want' in $exe"; return 1; }
}
X86_64ExeIsAnAmd64Image() { is_image_for tarnavel-x86_64.exe 8664; }
I686ExeIsAnI386Image() { is_image_for tarnavel-i686.exe 014c; }

imports_only_windows_dlls() {
  local exe=$unpacked/$1 objdump=$2 imports dll foreign=""
  [ -f "$exe" ] || { echo "no $1 in the zip"; return 1; }
  imports=$("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z')
  [ -n "$imports" ] || { echo "no import table read from $1"; return 1; }
  for dll in $imports; do
    echo $windows_dlls | tr ' ' '\n' | grep -qxF "$dll" || foreign="$foreign $dll"
  done
  [ -z "$foreign" ] || { echo "$1 imports$foreign, which a clean Windows does not have"; return 1; }
}
X86_64ExeImportsOnlyWindowsDlls() { imports_only_windows_dlls tarnavel-x86_64.exe x86_64-w64-mingw32-objdump; }
I686ExeImportsOnlyWindowsDlls() { imports_only_windows_dlls tarnavel-i686.exe i686-w64-mingw32-objdump; }

# Nothing is added to the new prefix: no WINEPATH, no DLLs copied in. Wine's loader
# errors are let through to name any DLL that is missing.
X86_64ExeStartsInAFreshPrefix() {
  local exe=$unpacked/tarnavel-x86_64.exe said missing rc
  [ -f "$exe" ] || { echo "no tarnavel-x86_64.exe in the zip"; return 1; }
  WINEPREFIX=$prefix WINEDEBUG=-all "$root/scripts/wine-prefix.sh" >"$work/prefix.log" 2>&1 ||
    { echo "could not create a Wine prefix in $prefix"; return 1; }
  (cd "$unpacked" && env -u WINEPATH -u WINEDLLPATH WINEPREFIX="$prefix" WINEDEBUG=-all,err+module \
     WINEDLLOVERRIDES="mscoree,mshtml=" wine "$launch_check" "Z:$exe" 120 </dev/null >"$work/launch.log" 2>"$work/wine.log")
  rc=$?
  WINEPREFIX=$prefix wineserver -k 2>/dev/null
  [ $rc -eq 0 ] && return 0
  said=$(grep -m1 '^launch_check:' "$work/launch.log" | sed 's/^launch_check: //')
  missing=$(grep 'tarnavel-x86_64\.exe' "$work/wine.log" |
            sed -n 's/.*import_dll Library \([^ ]*\) .*not found.*/\1/p' | sort -u | tr '\n' ' ')
  echo "${said:-launch_check failed ($rc)}${missing:+; not found in a fresh prefix: ${missing% }}"
  return 1
}

# ---- run and report ---------------------------------------------------------------

run_cases Release "$out" ZipHoldsBothExesReadmeAndLicence ShippedFilesMatchSha256Sums \
  X86_64ExeIsAnAmd64Image I686ExeIsAnI386Image X86_64ExeImportsOnlyWindowsDlls I686ExeImportsOnlyWindowsDlls \
  X86_64ExeStartsInAFreshPrefix
if [ "$failures" -eq 0 ]; then
  rm -rf "$prefix" "$prefix.lock"
fi
echo "release: $((total - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
