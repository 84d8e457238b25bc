#!/usr/bin/env bash
# What a program is made of, by weight, from the map its linker wrote: the bytes
# each input adds to the sections loaded from the file (code, data, unwind
# tables, resources; not .bss), the program's own code by its folder in src/
# and the runtime's libraries as wholes, largest first; then the largest files.
# Code optimised at link time is one piece, its folders no longer told apart:
# the 64-bit build's map tells them.
#   bench/size-breakdown.sh MAP [FILES]     FILES: how many of the largest files (default 8)
set -euo pipefail
[ $# -ge 1 ] && [ -f "$1" ] || { echo "usage: $0 MAP [FILES]" >&2; exit 2; }
src=$(cd "$(dirname "$0")/../src" && pwd)
# "Name.cpp folder" for every source of the program, so a member names its folder.
folders=$(cd "$src" && find . -name '*.cpp' | sed 's|^\./||' | awk -F/ '{ print $NF, ($2 == "win32" ? $1 "/" $2 : $1) }')
awk -v files="${2:-8}" -v folders="$folders" '
function hex(text,   i, value) {
  value = 0
  for (i = 3; i <= length(text); i++) value = value * 16 + index("0123456789abcdef", substr(text, i, 1)) - 1
  return value
}
# A member of an archive of ours is counted by its folder, anything else by its library.
function add(size, file,   library, member, piece) {
  if (section ~ /^\.(bss|debug|stab|comment)/ || file == "") return
  library = file; sub(/\(.*$/, "", library); sub(/^.*\//, "", library)
  member = file; sub(/^.*\(/, "", member); sub(/\)$/, "", member); sub(/\.(obj|o)$/, "", member)
  if (section == ".reloc") {
    piece = "(base-relocations)"
  } else if (library ~ /\.ltrans[0-9]*\.ltrans\.o$/) {
    # Code optimised at link time (the 32-bit build) comes as one piece.
    piece = "src/(link-time)"
  } else if (library ~ /^libravlin_/ || library ~ /\.cpp\.obj$/) {
    if (library ~ /\.cpp\.obj$/) member = substr(library, 1, length(library) - 4)
    piece = (member in folder) ? "src/" folder[member] : library
    own[member] += hex(size)
  } else {
    piece = library
  }
  bytes[piece] += hex(size); total += hex(size)
}
BEGIN {
  n = split(folders, lines, "\n")
  for (i = 1; i <= n; i++) { split(lines[i], f, " "); folder[f[1]] = f[2] }
}
/^Linker script and memory map/ { mapped = 1; next }
!mapped { next }
/^[.][^ ]+/ { section = $1; next }
/^ [.][^ ]*$/ { pending = 1; next }
/^ [.][^ ]+ +0x[0-9a-f]+ +0x[0-9a-f]+ / { add($3, $4); pending = 0; next }
pending && /^ +0x[0-9a-f]+ +0x[0-9a-f]+ [^ ]/ { add($2, $3); pending = 0; next }
{ pending = 0 }
END {
  for (p in bytes) printf "piece %d %s\n", bytes[p], p
  for (m in own) printf "file %d %s\n", own[m], m
  printf "total %d\n", total
}' "$1" | sort -k1,1 -k2,2nr | awk -v files="${2:-8}" '
  $1 == "total" { total = $2 }
  $1 == "piece" && $2 >= 1024 { printf "   %-26s %9d bytes\n", $3, $2 }
  $1 == "piece" && $2 < 1024 { small += $2 }
  $1 == "file" && ++shown <= files { largest = largest sprintf("   %-26s %9d bytes\n", $3, $2) }
  END {
    printf "   %-26s %9d bytes\n", "(each under 1 KiB)", small
    printf "   %-26s %9d bytes, before the headers and alignment\n", "total", total
    printf "   the largest files of its own:\n%s", largest
  }'
