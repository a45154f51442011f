#!/usr/bin/env bash
# Release build: stripped, statically linked executables for x86-64 and i686, and a zip
# named with the project's version holding both with the README and the licence, and
# SHA256SUMS for all three. The i686 build cannot run on this machine (its kernel runs
# no 32-bit code); it is compiled and packaged only.
#
# Both builds start from empty folders, and the release is then built a second time in
# other empty folders: the two must match byte for byte, or users could not check what
# they download against SHA256SUMS.
#
#   scripts/dist.sh                 what make dist runs
#   scripts/dist.sh --incremental   what make test runs: the same builds and packing,
#                                   reusing the build folders and building once
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
incremental=""
[ "${1:-}" = --incremental ] && incremental=1

# Every date in the release is the commit's, so the zip does not depend on when or
# where it was made; one exported by the caller wins, and outside git the oldest date
# a zip can hold stands in.
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct 2>/dev/null || true)
  SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-315532800}
fi
export SOURCE_DATE_EPOCH TZ=UTC LC_ALL=C

# Builds both presets into <folder>/dist64 and <folder>/dist32, packs them into <out>.
release() {
  local folder=$1 out=$2 preset version zip
  for preset in dist64 dist32; do
    echo "==> building ($preset) in $folder/$preset"
    [ -n "$incremental" ] || rm -rf "${folder:?}/$preset"
    cmake --preset "$preset" -B "$folder/$preset" >/dev/null
    cmake --build "$folder/$preset" --target tarnavel -j2
  done
  version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$folder/dist64/CMakeCache.txt")
  zip=tarnavel-$version-windows.zip
  rm -rf "$out"
  mkdir -p "$out/staging"
  cp "$folder/dist64/tarnavel.exe" "$out/staging/tarnavel-x86_64.exe"
  cp "$folder/dist32/tarnavel.exe" "$out/staging/tarnavel-i686.exe"
  cp README.md LICENSE "$out/staging/"
  # zip stores each file's Unix mode and local time: fix both, and leave out the extra
  # fields (owner, exact times) and folder entries.
  chmod 755 "$out"/staging/*.exe
  chmod 644 "$out/staging/README.md" "$out/staging/LICENSE"
  touch -d "@$SOURCE_DATE_EPOCH" "$out"/staging/*
  (cd "$out/staging" && zip -q -X -D "../$zip" tarnavel-x86_64.exe tarnavel-i686.exe README.md LICENSE)
  mv "$out/staging/tarnavel-x86_64.exe" "$out/staging/tarnavel-i686.exe" "$out/"
  rm -rf "$out/staging"
  touch -d "@$SOURCE_DATE_EPOCH" "$out/$zip"
  (cd "$out" && sha256sum tarnavel-x86_64.exe tarnavel-i686.exe "$zip" > SHA256SUMS)
}

release build dist
if [ -z "$incremental" ]; then
  release build/dist-again build/dist-again/dist
  if ! cmp -s dist/SHA256SUMS build/dist-again/dist/SHA256SUMS; then
    echo "two builds of the same sources differ (first: dist, second: build/dist-again/dist):"
    diff dist/SHA256SUMS build/dist-again/dist/SHA256SUMS || true
    exit 1
  fi
  echo "==> a second build from empty folders gave the same bytes"
fi
echo "==> dist/"
sed 's/^/    /' dist/SHA256SUMS
