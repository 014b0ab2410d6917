#!/usr/bin/env bash
# The choice of the build the Wine tests run, and the checks that guard it,
# each shown to fire:
# - a 32-bit loader that fails (as on a kernel without 32-bit support) gives
#   the 64-bit build; one that runs gives the 32-bit build; QB_WINE_BUILD
#   forces either, and a forced 32-bit build on such a machine is refused;
# - a build older than its sources is refused;
# - check_builds.sh refuses a build of the wrong architecture.
set -uo pipefail
source "$(dirname "$0")/lib.sh"

QB_FAILURES=0
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# Fake Wine folders: a 32-bit loader that answers, and one that cannot run.
mkdir -p "$scratch/runs32" "$scratch/no32"
printf '#!/bin/sh\necho wine-fake\n' >"$scratch/runs32/wine"
printf '#!/bin/sh\necho "cannot execute binary file: Exec format error" >&2\nexit 126\n' >"$scratch/no32/wine"
chmod +x "$scratch/runs32/wine" "$scratch/no32/wine"

# select WINE_DIR WANTED: prints "BUILD LOADER" or "refused".
select_build() {
  (
    QB_WINE_DIR=$1 QB_WINE_BUILD=$2
    qb_select_build 2>/dev/null || exit 1
    echo "$QB_BUILD $(basename "$QB_WINE_LOADER") $(basename "$QB_BUILD_DIR")"
  ) || echo refused
}

qb_expect_eq "32-bit programs run: chosen" "$(select_build "$scratch/runs32" auto)" "win32 wine win32"
qb_expect_eq "no 32-bit programs: chosen" "$(select_build "$scratch/no32" auto)" "win64 wine64 win64"
qb_expect_eq "unset QB_WINE_BUILD chooses too" "$(select_build "$scratch/no32" "")" "win64 wine64 win64"
qb_expect_eq "forced win64 where 32-bit runs" "$(select_build "$scratch/runs32" win64)" "win64 wine64 win64"
qb_expect_eq "forced win32 where 32-bit runs" "$(select_build "$scratch/runs32" win32)" "win32 wine win32"
qb_expect_eq "forced win32 where it cannot run" "$(select_build "$scratch/no32" win32)" refused
qb_expect_eq "an unknown build name" "$(select_build "$scratch/runs32" win16)" refused
reason=$(QB_WINE_DIR=$scratch/no32 QB_WINE_BUILD=auto; qb_select_build; qb_describe_build)
if [[ $reason == *"cannot run 32-bit programs"*"Exec format error"* ]]; then
  qb_pass "the output says which build ran and why: $reason"
else
  qb_fail "the reason does not name the failure: $reason"
fi

# A stand-in build folder: Ninja copies each program from a source file.
build=$scratch/build
mkdir -p "$build/src" "$build/tests/wine"
{
  printf 'rule copy\n  command = cp $in $out\n'
  for f in Quillbright.scr Quillbright.dll $(printf 'tests/wine/%s.exe ' "${QB_HELPERS[@]}") \
           $(printf 'tests/wine/%s ' "${QB_PLANTED_DLLS[@]}"); do
    echo "source" >"$build/src/$(basename "$f").in"
    printf 'build %s: copy src/%s.in\n' "$f" "$(basename "$f")"
  done
} >"$build/build.ninja"
ninja -C "$build" >/dev/null || qb_fail "the stand-in build did not build"

require() {
  (
    QB_WIN64_DIR=$build
    qb_use_build win64 test
    qb_require_build 2>/dev/null
  ) && echo accepted || echo refused
}
qb_expect_eq "a current build" "$(require)" accepted
# Back-date everything, then edit one source.
find "$build" -type f ! -name 'build.ninja' ! -name '.ninja_*' -exec touch -d '-1 minute' {} +
qb_expect_eq "a current build, back-dated" "$(require)" accepted
echo "edited" >>"$build/src/standin.exe.in"
qb_expect_eq "a build older than one of its sources" "$(require)" refused
ninja -C "$build" >/dev/null
qb_expect_eq "the same build once rebuilt" "$(require)" accepted
rm "$build/tests/wine/standin.exe"
qb_expect_eq "a build missing a program" "$(require)" refused

# The architecture check refuses a 32-bit build in the 64-bit build's place.
if [[ -f $QB_WIN32_DIR/Quillbright.scr ]]; then
  if QB_WIN64_DIR=$QB_WIN32_DIR bash "$QB_TESTS_DIR/check_builds.sh" >"$scratch/swapped.log" 2>&1; then
    qb_fail "check_builds.sh accepted the 32-bit build as the 64-bit one"
  else
    qb_pass "check_builds.sh refuses the 32-bit build as the 64-bit one: $(grep -m1 'FAILED.*win32/Quillbright.scr' "$scratch/swapped.log")"
  fi
else
  echo "skip   no 32-bit build to swap in"
fi

qb_checks_end
