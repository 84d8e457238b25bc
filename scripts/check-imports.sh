#!/usr/bin/env bash
# Prints the DLLs a Windows program imports on one line, then one FAILED line
# for each that Windows does not always take from its own folder: a DLL outside
# this list is looked for beside the program first, where a planted copy may lie.
# COMCTL32 is bound side by side through the manifest.
#   scripts/check-imports.sh OBJDUMP PROGRAM.exe     exit 1 on any other import
#   scripts/check-imports.sh --allowed               the list
set -euo pipefail
allowed="KERNEL32 USER32 GDI32 SHELL32 ADVAPI32 OLE32 OLEAUT32 msvcrt COMDLG32 SHLWAPI COMCTL32"
if [ "${1:-}" = --allowed ]; then echo "$allowed"; exit 0; fi
[ $# -eq 2 ] || { echo "usage: $0 OBJDUMP PROGRAM.exe | --allowed" >&2; exit 2; }
imports=$("$1" -p "$2" | sed -n 's/^\s*DLL Name: //p' | sort -f)
[ -n "$imports" ] || { echo "FAILED: no import table read from $2"; exit 1; }
echo $imports
status=0
for dll in $imports; do
  name=${dll%.*}
  ext=${dll##*.}
  if [ "${ext^^}" != DLL ] || ! grep -qix -- "$name" <(tr ' ' '\n' <<<"$allowed"); then
    echo "FAILED: imports $dll, which Windows may take from the program's folder"
    status=1
  fi
done
exit $status
