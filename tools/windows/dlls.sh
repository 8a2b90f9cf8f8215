#!/usr/bin/env bash
# Lists the DLLs that each program and DLL in a folder imports, and fails (status 1) on any
# that is neither in the folder nor one that every Windows since 7 carries:
#
#   dlls.sh DIR
set -euo pipefail
dir=$1
system=(advapi32 cfgmgr32 comdlg32 dwmapi gdi32 hid imm32 kernel32 msvcrt ole32 oleaut32 opengl32
  setupapi shell32 shlwapi user32 uxtheme version winmm ws2_32)
system=" ${system[*]/%/.dll} "
status=0
for file in "$dir"/*.exe "$dir"/*.dll; do
  [ -f "$file" ] || continue
  imports=$(x86_64-w64-mingw32-objdump -p "$file" | sed -n 's/^\tDLL Name: //p')
  echo "$(basename "$file") imports:" $imports
  for dll in $imports; do
    [[ $system == *" ${dll,,} "* || -n $(find "$dir" -maxdepth 1 -iname "$dll") ]] && continue
    echo "$(basename "$file") needs $dll, which is neither beside it nor part of Windows" >&2
    status=1
  done
done
exit $status
