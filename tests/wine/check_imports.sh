#!/usr/bin/env bash
# The shipped programs import only DLLs that every Windows has: no MinGW
# runtime (libstdc++, libgcc, libwinpthread) or any other DLL of our own.
set -uo pipefail
source "$(dirname "$0")/lib.sh"

allowed=" kernel32.dll user32.dll gdi32.dll msimg32.dll winmm.dll comdlg32.dll shell32.dll ole32.dll oleaut32.dll advapi32.dll comctl32.dll msvcrt.dll "
objdump=${QB_OBJDUMP:-i686-w64-mingw32-objdump}
failures=0
for program in Quillbright.scr Quillbright.dll; do
  file="$QB_WIN32_DIR/$program"
  if [[ ! -f $file ]]; then
    echo "FAILED $file is missing: build the win32 preset first"
    failures=$((failures + 1))
    continue
  fi
  dlls=$("$objdump" -p "$file" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | tr -d '\r')
  if [[ -z $dlls ]]; then
    echo "FAILED $program: no import table found"
    failures=$((failures + 1))
    continue
  fi
  for dll in $dlls; do
    if [[ $allowed == *" $dll "* ]]; then
      echo "ok     $program imports $dll"
    else
      echo "FAILED $program imports $dll, which is not a system DLL"
      failures=$((failures + 1))
    fi
  done
done
((failures == 0)) || exit 1
