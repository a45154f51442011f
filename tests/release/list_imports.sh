#!/usr/bin/env bash
# Prints the functions that a Windows exe imports, one "dll function" a line with the
# DLL in lower case, sorted: the form of the reviewed lists beside this script. A
# function imported by ordinal prints as #ordinal, in decimal. Fails when no import
# table is read.
#
# The import directory is read as the PE format lays it out, for PE32 and PE32+ alike:
# objdump's listing of it is text for people, and binutils 2.44 changed its columns.
#
# usage: list_imports.sh <exe>
set -euo pipefail
imports=$(od -An -v -t u1 "$1" | awk '
  { for (i = 1; i <= NF; i++) byte[size++] = $i }
  function u16(at) { return byte[at] + 256 * byte[at + 1] }
  function u32(at) { return u16(at) + 65536 * u16(at + 2) }
  # A relative virtual address, as an offset in the file: in the data of the section
  # that holds it. One that none holds prints as ?address, which no list names.
  function offset(rva,   s, at, va) {
    for (s = 0; s < sections; s++) {
      at = table + 40 * s; va = u32(at + 12)
      if (rva >= va && rva < va + u32(at + 16)) return rva - va + u32(at + 20)
    }
    return -1
  }
  function text(at,   s) { s = ""; while (at >= 0 && at < size && byte[at] != 0) s = s sprintf("%c", byte[at++]); return s }
  END {
    pe = u32(60)
    if (size < 64 || text(pe) != "PE" || u16(pe + 2) != 0) exit
    sections = u16(pe + 6); optional = pe + 24; table = optional + u16(pe + 20)
    if (u16(optional) != 267 && u16(optional) != 523) exit
    wide = u16(optional) == 523                        # 0x20b, PE32+: thunks of 8 bytes
    directory = u32(optional + (wide ? 120 : 104))     # the second data directory
    if (directory == 0) exit
    for (d = offset(directory); d >= 0 && (u32(d + 12) || u32(d + 16)); d += 20) {
      dll = tolower(text(offset(u32(d + 12))))
      # The lookup table, or the address table where a linker left it out.
      thunk = offset(u32(d) ? u32(d) : u32(d + 16))
      for (; thunk >= 0; thunk += wide ? 8 : 4) {
        low = u32(thunk); high = wide ? u32(thunk + 4) : low
        if (low == 0 && high == 0) break
        if (high >= 2147483648) print dll, "#" u16(thunk)   # by ordinal: its low 16 bits
        else { name = offset(low); print dll, (name < 0 ? "?" low : text(name + 2)) }  # past the hint
      }
    }
  }' | LC_ALL=C sort -u)
[ -n "$imports" ] || { echo "no import table read from $1" >&2; exit 1; }
echo "$imports"
