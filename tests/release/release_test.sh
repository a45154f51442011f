#!/usr/bin/env bash
# The release as users download it: a zip as make dist ships it, unpacked into an empty
# folder (make dist tests the one in dist/, make test one that it packs into
# build/release). Both exes import only functions on the reviewed lists beside this
# script, each one of Windows 7, and carry a version record naming the zip's version
# and their own names in it, and a manifest that agrees with it; the x86-64 one starts
# in a brand-new Wine prefix, shows its main dialog listing windows, and closes on
# WM_CLOSE, then does so again under a window that covers it; launch_check's lines,
# shown after the cases, say how long each took and which ceiling held the close. The
# i686 exe cannot run here (the kernel runs no 32-bit code), so its header, imports,
# version record and manifest are all that can be checked.
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
# make test starts making the prefix beforehand, while it builds; nothing uses it
# before the start below, which waits until it is ready.
prefix=${TARNAVEL_FRESH_PREFIX:-$work/wineprefix}

# A server left by an earlier run would keep the old prefix in use.
[ -d "$work/wineprefix" ] && WINEPREFIX=$work/wineprefix wineserver -k 2>/dev/null
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

# Each exe imports only functions on its reviewed list: a function newer than Windows 7
# cannot slip in unseen. The list is not held to be exact: it names what the exes
# import as each Debian's MinGW-w64 builds them, and Debian 13's runtime imports a few
# functions that Debian 12's does not, so no one list is exact for both.
imports_only_reviewed_functions() {
  local exe=$unpacked/tarnavel-$1.exe list=tests/release/imports-$1.txt imported added
  [ -f "$exe" ] || { echo "no tarnavel-$1.exe in the zip"; return 1; }
  imported=$("$root/tests/release/list_imports.sh" "$exe" 2>&1) || { echo "$imported"; return 1; }
  added=$(comm -23 <(echo "$imported") <(grep -v '^#' "$root/$list" | LC_ALL=C sort))
  [ -n "$added" ] || return 0
  echo "tarnavel-$1.exe imports what $list does not list: $(echo "$added" | paste -sd,)."
  echo "make imports adds them to the list; commit it once each is known to exist on Windows 7"
  return 1
}
X86_64ExeImportsOnlyReviewedFunctions() { imports_only_reviewed_functions x86_64; }
I686ExeImportsOnlyReviewedFunctions() { imports_only_reviewed_functions i686; }

# What Explorer's Details tab shows of each exe: the strings that its Translation names,
# and the numeric version, which it shows as the File version. The copyright and the
# company, its holder, are the ones of the LICENSE beside it. The manifest names the
# same version and description as the version record.
version_record_matches_the_zip() {
  local exe=tarnavel-$1.exe fields numbers copyright company description pair got wrong=""
  [ -f "$unpacked/$exe" ] || { echo "no $exe in the zip"; return 1; }
  fields=$("$root/tests/release/read_version.sh" "$unpacked/$exe" 2>&1) || { echo "$fields"; return 1; }
  numbers=$(echo "$version.0.0.0" | cut -d. -f1-4)
  copyright="$(grep -m1 '^Copyright ' "$unpacked/LICENSE"). $(head -n1 "$unpacked/LICENSE")"
  company=$(grep -m1 '^Copyright ' "$unpacked/LICENSE" | sed -E 's/^Copyright (\([cC]\) )?[-0-9, ]+//')
  description=$(sed -n 's/^FileDescription=//p' <<<"$fields")
  [ -n "$description" ] || wrong="$wrong FileDescription is empty or missing;"
  for pair in ProductName=Tarnavel "FileVersion=$version" "ProductVersion=$version" "OriginalFilename=$exe" \
              "FILEVERSION=$numbers" "PRODUCTVERSION=$numbers" "LegalCopyright=$copyright" \
              "CompanyName=$company" InternalName=tarnavel "MANIFEST_VERSION=$numbers" \
              "MANIFEST_DESCRIPTION=$description"; do
    got=$(sed -n "s/^${pair%%=*}=//p" <<<"$fields")
    [ "$got" = "${pair#*=}" ] || wrong="$wrong ${pair%%=*} is '$got', expected '${pair#*=}';"
  done
  [ -z "$wrong" ] || { echo "$exe:${wrong%;}"; return 1; }
}
X86_64ExeVersionRecordMatchesTheZip() { version_record_matches_the_zip x86_64; }
I686ExeVersionRecordMatchesTheZip() { version_record_matches_the_zip i686; }

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
  if [ $rc -eq 0 ]; then
    # Both starts ran, and the check knew it was under Wine.
    for run in plain covered; do
      grep -q "^launch_check: $run: .* within the 5000 ms ceiling under Wine$" "$work/launch.log" ||
        { echo "launch_check passed without a $run start held to the 5000 ms ceiling under Wine"; return 1; }
    done
    return 0
  fi
  # A line for each start, the plain one and the covered one.
  said=$(grep '^launch_check:' "$work/launch.log" | sed 's/^launch_check: //' | paste -sd'|' | sed 's/|/; /g')
  missing=$(grep 'tarnavel-x86_64\.exe' "$work/wine.log" |
            sed -n 's/.*import_dll Library \([^ ]*\) .*not found.*/\1/p' | sort -u | tr '\n' ' ')
  echo "${said:-launch_check failed ($rc)}${missing:+; not found in a fresh prefix: ${missing% }}"
  return 1
}

# ---- run and report ---------------------------------------------------------------

run_cases Release "$out" ZipHoldsBothExesReadmeAndLicence ShippedFilesMatchSha256Sums \
  X86_64ExeIsAnAmd64Image I686ExeIsAnI386Image X86_64ExeImportsOnlyReviewedFunctions I686ExeImportsOnlyReviewedFunctions \
  X86_64ExeVersionRecordMatchesTheZip I686ExeVersionRecordMatchesTheZip X86_64ExeStartsInAFreshPrefix
if [ "$failures" -eq 0 ]; then
  rm -rf "$prefix" "$prefix.lock"
fi
# Passed or not, the times are kept in the log: one drifting up shows before it fails.
grep -h '^launch_check:' "$work/launch.log" 2>/dev/null
echo "release: $((total - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
