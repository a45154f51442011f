#!/usr/bin/env bash
# Release build: stripped, statically linked executables for x86-64 and i686, and a zip
# holding both with the README and the licence. The i686 build cannot run on this
# machine (its kernel runs no 32-bit code); it is compiled and packaged only.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
for preset in dist64 dist32; do
  echo "==> building ($preset)"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j2
done
rm -rf dist
mkdir -p dist
cp build/dist64/tarnavel.exe dist/tarnavel-x86_64.exe
cp build/dist32/tarnavel.exe dist/tarnavel-i686.exe
cp README.md LICENSE dist/
(cd dist && rm -f tarnavel.zip && zip -q tarnavel.zip tarnavel-x86_64.exe tarnavel-i686.exe README.md LICENSE)
rm dist/README.md dist/LICENSE
for exe in dist/tarnavel-x86_64.exe dist/tarnavel-i686.exe; do
  echo "    $exe: $(file -b "$exe" 2>/dev/null | cut -d, -f1-2 || echo built)"
done
echo "==> dist/tarnavel.zip"
