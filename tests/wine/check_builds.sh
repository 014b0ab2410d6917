#!/usr/bin/env bash
# The shipped programs of every Windows build there is (32-bit, 64-bit):
# - the machine type is the build's own (i386, x86-64);
# - they import only Windows' known DLLs, which the loader takes from
#   System32 whatever lies beside the program: no MinGW runtime (libstdc++,
#   libgcc, libwinpthread), no DLL of our own, and not winmm or msimg32,
#   which the programs load from System32 themselves (system_dlls.cpp);
# - their manifest names the same architecture, which 64-bit Windows needs
#   to load a 64-bit program's side-by-side assemblies.
set -uo pipefail
source "$(dirname "$0")/lib.sh"

# In the KnownDLLs list of Windows 7 and of Windows 10 and later alike.
known_dlls=" kernel32.dll user32.dll gdi32.dll advapi32.dll comdlg32.dll shell32.dll shlwapi.dll ole32.dll oleaut32.dll imm32.dll msvcrt.dll "
QB_FAILURES=0

# check_program FILE OBJDUMP FORMAT MANIFEST_ARCH
check_program() {
  local file=$1 objdump=$2 format=$3 arch=$4 program dlls dll manifests
  program="$(basename "$(dirname "$file")")/$(basename "$file")"
  if [[ ! -f $file ]]; then
    qb_fail "$file is missing"
    return
  fi
  if "$objdump" -f "$file" | grep -q "file format $format\$"; then
    qb_pass "$program is $format"
  else
    qb_fail "$program is not $format: $("$objdump" -f "$file" | grep -m1 'file format')"
  fi
  dlls=$("$objdump" -p "$file" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | tr -d '\r')
  [[ -n $dlls ]] || qb_fail "$program: no import table found"
  for dll in $dlls; do
    if [[ $known_dlls == *" $dll "* ]]; then
      qb_pass "$program imports $dll"
    else
      qb_fail "$program imports $dll, which is not a known DLL: Windows looks for it beside the program first"
    fi
  done
  # The manifest resource is stored as plain text.
  manifests=$(grep -ao 'processorArchitecture="[^"]*"' "$file" | sort -u | paste -sd' ')
  if [[ $manifests == "processorArchitecture=\"$arch\"" ]]; then
    qb_pass "$program manifest: $manifests"
  else
    qb_fail "$program manifest: '$manifests', want processorArchitecture=\"$arch\" only"
  fi
}

builds=0
for build in win32 win64; do
  case $build in
    win32) dir=$QB_WIN32_DIR objdump=i686-w64-mingw32-objdump format=pei-i386 arch=x86 ;;
    win64) dir=$QB_WIN64_DIR objdump=x86_64-w64-mingw32-objdump format=pei-x86-64 arch=amd64 ;;
  esac
  if [[ ! -d $dir ]]; then
    echo "skip   no $build build in $dir"
    continue
  fi
  builds=$((builds + 1))
  if qb_build_is_current "$dir"; then
    qb_pass "$build build is current"
  else
    qb_fail "$dir is older than its sources: build it again first (scripts/build)"
  fi
  for program in Quillbright.scr Quillbright.dll; do
    check_program "$dir/$program" "$objdump" "$format" "$arch"
  done
done
((builds > 0)) || qb_fail "no Windows build found in $QB_WIN32_DIR or $QB_WIN64_DIR"
qb_checks_end
