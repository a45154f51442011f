#!/usr/bin/env bash
# Prints the functions that a Windows exe imports, one "dll function" a line with the
# DLL in lower case, sorted: the form of the reviewed lists beside this script. A
# function imported by ordinal prints as #ordinal. Fails when no import table is read.
#
# usage: list_imports.sh <exe>
set -euo pipefail
# One objdump reads the PE files of both machines.
imports=$(x86_64-w64-mingw32-objdump -p "$1" | awk '
  /^\tDLL Name: / { dll = tolower($3); next }
  dll != "" && /^\t[0-9a-f]+\t/ { print dll, ($3 == "<none>" ? "#" $2 : $3) }
  /^$/ { dll = "" }' | LC_ALL=C sort -u)
[ -n "$imports" ] || { echo "no import table read from $1" >&2; exit 1; }
echo "$imports"
