#!/usr/bin/env bash
# Prints the version record of a Windows exe as Explorer's Details tab reads it: the
# numeric FILEVERSION and PRODUCTVERSION, then the strings of the block that the first
# Translation names, one NAME=value a line. Fails when no such block is read. Then the
# assembly's version and description in its manifest (RT_MANIFEST 1), as
# MANIFEST_VERSION= and MANIFEST_DESCRIPTION=, where the manifest holds them.
#
# usage: read_version.sh <exe>
set -euo pipefail
# One windres decompiles the resources of the PE files of both machines back to .rc.
fields=$(x86_64-w64-mingw32-windres -i "$1" -O rc | awk '
  # windres writes the manifest as C strings, a line each, with "" for a quote. The
  # first assemblyIdentity names the exe; those of its dependencies come later.
  /^1 24 / { manifest = 1 }
  manifest && /^END/ { manifest = 0 }
  manifest && /<assemblyIdentity / && !identities++ && match($0, / version=""[^"]*""/) {
    print "manifest MANIFEST_VERSION=" substr($0, RSTART + 11, RLENGTH - 13) }
  manifest && sub(/.*<description>/, "") && sub(/<\/description>.*/, "") { print "manifest MANIFEST_DESCRIPTION=" $0 }
  /^[0-9]+ VERSIONINFO/ { inside = 1; next }
  !inside { next }
  /^ *(FILEVERSION|PRODUCTVERSION) / { name = $1; sub(/^ *[A-Z]+ /, ""); gsub(/, */, "."); print name "=" $0 }
  /^ *BEGIN$/ { depth++ }
  /^ *END$/ { if (--depth == 0) inside = 0 }
  /^ *BLOCK "/ { split($0, quoted, "\""); block[depth] = quoted[2] }
  /^ *VALUE "Translation", / { split($0, words, /, */); print "translation " words[2] " " words[3] }
  /^ *VALUE "/ && block[1] == "StringFileInfo" {
    split($0, quoted, "\""); value = $0; sub(/^ *VALUE "[^"]*", "/, "", value); sub(/"$/, "", value)
    print "string " block[2] " " quoted[2] "=" value
  }')
translation=$(sed -n 's/^translation //p' <<<"$fields" | head -n1)
[ -n "$translation" ] || { echo "no version record with a Translation in $1" >&2; exit 1; }
# shellcheck disable=SC2086
key=$(printf '%04x%04x' $translation)
strings=$(grep -i "^string $key " <<<"$fields" | cut -d' ' -f3-) ||
  { echo "no strings in the block $key that the Translation of $1 names" >&2; exit 1; }
# windres leaves out a numeric version that is all zeros.
for name in FILEVERSION PRODUCTVERSION; do
  numbers=$(sed -n "s/^$name=//p" <<<"$fields")
  echo "$name=${numbers:-0.0.0.0}"
done
echo "$strings"
sed -n 's/^manifest //p' <<<"$fields"
