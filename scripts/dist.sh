#!/usr/bin/env bash
# Release build: stripped, statically linked executables for x86-64 and i686, a zip
# named with the project's version holding both with the README and the licence,
# BUILDINFO naming the commit and the toolchain, and SHA256SUMS for all four. The i686
# build cannot run on this machine (its kernel runs no 32-bit code); it is compiled
# and packaged only.
#
# make dist releases a commit, not a working tree: it refuses a tree with changes. It
# builds from empty folders, then once more from a clone in another folder and another
# environment: the two must match byte for byte, or users could not check what they
# download against SHA256SUMS. Last, the release test runs on the zip in dist/. When
# any of this fails, dist/ is removed: what lies there has passed its release test.
#
#   scripts/dist.sh                   what make dist runs: the commit, into dist/
#   scripts/dist.sh --incremental     what make test runs: the working tree, packed the
#                                     same way into build/release, reusing the build
#                                     folders, built once; CTest runs its release test
#   scripts/dist.sh --again SRC OUT   the second build of make dist: SRC into OUT
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
mode=${1:-}
case $mode in
  "") src=$here out=$here/dist ;;
  --incremental) src=$here out=$here/build/release ;;
  --again) src=$2 out=$3 ;;
  *) echo "usage: $0 [--incremental | --again SRC OUT]" >&2; exit 2 ;;
esac
cd "$src"

if [ -z "$mode" ]; then
  if ! changes=$(git status --porcelain 2>/dev/null); then
    echo "make dist: $src is not a git checkout; a release is built from a commit" >&2
    exit 1
  fi
  if [ -n "$changes" ]; then
    echo "make dist: the working tree differs from its commit $(git rev-parse --short HEAD):" >&2
    echo "$changes" | sed 's/^/    /' >&2
    echo "A release is what its commit holds, so that anyone can rebuild it from there:" >&2
    echo "commit or stash these changes, then run make dist again." >&2
    exit 1
  fi
fi
commit=$(git rev-parse HEAD 2>/dev/null || echo "none (not a git checkout)")
if [ -n "$(git status --porcelain 2>/dev/null)" ]; then
  commit="$commit with uncommitted changes"
fi

# Every date in the release is the commit's, so the zip does not depend on when or
# where it was made; one exported by the caller wins, and outside git the oldest date
# a zip can hold stands in.
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null || true)
  SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-315532800}
fi
export SOURCE_DATE_EPOCH LC_ALL=C

build() {
  local preset
  for preset in dist64 dist32; do
    echo "==> building ($preset) in $src/build/$preset"
    [ "$mode" = --incremental ] || rm -rf "build/$preset"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" --target tarnavel -j2
  done
}

# The commit, the date that every file in the zip carries, and the exact Debian
# packages of every program and library whose output is in the release's bytes.
write_buildinfo() {
  local triple cxx tool files=() paths owners packages
  for triple in x86_64-w64-mingw32 i686-w64-mingw32; do
    cxx=$triple-g++-posix
    files+=("$(command -v "$triple-gcc-posix")" "$(command -v "$cxx")" "$(command -v "$triple-windres")")
    for tool in cc1 cc1plus as ld; do files+=("$("$cxx" -print-prog-name=$tool)"); done
    for tool in libstdc++.a libgcc.a libwinpthread.a libmsvcrt.a libkernel32.a; do
      files+=("$("$cxx" -print-file-name=$tool)")
    done
    files+=("/usr/$triple/include/windows.h")
  done
  files+=("$(command -v zip)" "$(command -v cmake)")
  mapfile -t paths < <(realpath "${files[@]}")
  # One dpkg -S for them all: each call reads the file lists of every package. A tool
  # from elsewhere fails a release, which could not be rebuilt, but not make test.
  if ! owners=$(dpkg -S "${paths[@]}" 2>&1); then
    echo "BUILDINFO cannot name the Debian package of what built the release:" >&2
    echo "$owners" | grep -v '^[^ ]*: /' >&2
    [ "$mode" = --incremental ] || return 1
  fi
  mapfile -t packages < <(echo "$owners" | grep '^[^ ]*: /' | sed 's/:.*//' | sort -u)
  echo "Tarnavel $version for Windows"
  echo "commit: $commit"
  echo "SOURCE_DATE_EPOCH: $SOURCE_DATE_EPOCH"
  echo "Built on $(. /etc/os-release && echo "$PRETTY_NAME"), $(dpkg --print-architecture), with these packages:"
  dpkg-query -W -f='${Package}=${Version}\n' "${packages[@]}" | sort
}

pack() {
  local staging=$out/staging
  version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/dist64/CMakeCache.txt)
  zip=tarnavel-$version-windows.zip
  rm -rf "$out"
  mkdir -p "$staging"
  cp build/dist64/tarnavel.exe "$staging/tarnavel-x86_64.exe"
  cp build/dist32/tarnavel.exe "$staging/tarnavel-i686.exe"
  cp README.md LICENSE "$staging/"
  # zip stores each file's Unix mode and its local time: fix the modes, take the times
  # in UTC, and leave out the extra fields (owner, exact times) and folder entries.
  chmod 755 "$staging"/*.exe
  chmod 644 "$staging/README.md" "$staging/LICENSE"
  touch -d "@$SOURCE_DATE_EPOCH" "$staging"/*
  (cd "$staging" && TZ=UTC zip -q -X -D "../$zip" tarnavel-x86_64.exe tarnavel-i686.exe README.md LICENSE)
  mv "$staging/tarnavel-x86_64.exe" "$staging/tarnavel-i686.exe" "$out/"
  rm -rf "$staging"
  touch -d "@$SOURCE_DATE_EPOCH" "$out/$zip"
  write_buildinfo >"$out/BUILDINFO"
  (cd "$out" && sha256sum tarnavel-x86_64.exe tarnavel-i686.exe "$zip" BUILDINFO >SHA256SUMS)
}

# The commit again, as another user's machine would build it: a clone in another
# folder, checked out as Git for Windows does (CRLF endings, unless .gitattributes
# pins them), under another umask, with none of the caller's environment and a time
# zone far from UTC: an unset TZ is UTC on most build machines, and would prove
# nothing. A path or a setting that reached the bytes makes the two builds differ.
build_again() {
  local again other_umask=0077
  [ "$(umask)" != 0077 ] || other_umask=0022
  again=$(mktemp -d "${TMPDIR:-/tmp}/tarnavel-again.XXXXXX")
  echo "==> building again from a clone in $again, umask $other_umask, TZ +13:45"
  (
    umask "$other_umask" &&
      git clone -q -c core.autocrlf=true --no-checkout "$here" "$again/src" &&
      git -C "$again/src" checkout -q --detach "${commit%% *}" &&
      mkdir "$again/home" &&
      env -i PATH="$PATH" HOME="$again/home" TZ='<+1345>-13:45' SOURCE_DATE_EPOCH="$SOURCE_DATE_EPOCH" \
        bash "$here/scripts/dist.sh" --again "$again/src" "$again/dist"
  ) || { rm -rf "$again"; return 1; }
  rm -rf "$here/build/dist-again"
  mkdir -p "$here/build"
  cp -r "$again/dist" "$here/build/dist-again"
  rm -rf "$again"
  if ! cmp -s "$out/SHA256SUMS" "$here/build/dist-again/SHA256SUMS"; then
    echo "make dist: two builds of the commit differ (first: dist/, second: build/dist-again/):"
    diff "$out/SHA256SUMS" "$here/build/dist-again/SHA256SUMS" || true
    return 1
  fi
  echo "==> the second build, from another path and environment, gave the same bytes"
}

release_test() {
  echo "==> release test of the zip in dist/"
  cmake --preset mingw64 >/dev/null
  cmake --build --preset mingw64 --target launch_check -j2
  bash tests/release/release_test.sh "$here/build/dist-test/release_test.xml" "$out" "$version" \
    "$here/build/mingw64/tests/release/launch_check.exe" "$here/build/dist-test"
}

if [ -n "$mode" ]; then
  build
  pack
  exit 0
fi

shipped=""
trap '[ -n "$shipped" ] || { rm -rf "$out"; echo "make dist failed: dist/ removed, so that no release lies there untested"; }' EXIT
build
pack
build_again
release_test
shipped=1
echo "==> dist/: the commit's release, rebuilt alike and tested"
sed 's/^/    /' "$out/SHA256SUMS"
sed 's/^/    /' "$out/BUILDINFO"
