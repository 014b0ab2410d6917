#!/usr/bin/env bash
# scripts/package on the current Windows builds, into $QB_PACKAGE_DIR: the
# two archives hold exactly the program pair and the read-me, byte for byte;
# SHA256SUMS verifies; the installer, the four programs and the archives'
# names all carry the version of src/resources/version.h.
set -uo pipefail
source "$(dirname "$0")/lib.sh"
: "${QB_PACKAGE_DIR:?}"
QB_FAILURES=0

for dir in "$QB_WIN32_DIR" "$QB_WIN64_DIR"; do
  qb_build_is_current "$dir" || qb_die "$dir is missing or older than its sources: run scripts/build"
done
rm -rf "$QB_PACKAGE_DIR"
QB_PACKAGE_NO_BUILD=1 QB_DIST_DIR=$QB_PACKAGE_DIR "$QB_SOURCE_DIR/scripts/package" ||
  qb_die "scripts/package failed"

version=$(sed -n 's/^#define QB_VERSION_TEXT "\([0-9.]*\)"$/\1/p' "$QB_SOURCE_DIR/src/resources/version.h")
qb_expect_eq "files in the release folder" "$(cd "$QB_PACKAGE_DIR" && ls | paste -sd' ')" \
  "Quillbright-$version-setup.exe Quillbright-$version-win32.zip Quillbright-$version-win64.zip SHA256SUMS"

for arch in win32 win64; do
  zip=$QB_PACKAGE_DIR/Quillbright-$version-$arch.zip
  dir=$QB_WIN32_DIR
  [[ $arch == win64 ]] && dir=$QB_WIN64_DIR
  qb_expect_eq "$arch archive: its files" \
    "$(python3 -c 'import sys, zipfile; print(" ".join(zipfile.ZipFile(sys.argv[1]).namelist()))' "$zip")" \
    "Quillbright.scr Quillbright.dll readme.txt"
  rm -rf "$QB_PACKAGE_DIR/unpacked"
  python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])' "$zip" "$QB_PACKAGE_DIR/unpacked"
  for f in Quillbright.scr Quillbright.dll; do
    qb_expect_same_file "$arch archive: $f is the $arch build's" "$QB_PACKAGE_DIR/unpacked/$f" "$dir/$f"
  done
  qb_expect_same_file "$arch archive: the read-me" \
    "$QB_PACKAGE_DIR/unpacked/readme.txt" "$QB_SOURCE_DIR/installer/readme.txt"
done
rm -rf "$QB_PACKAGE_DIR/unpacked"

(cd "$QB_PACKAGE_DIR" && sha256sum --quiet -c SHA256SUMS) && qb_pass "SHA256SUMS verifies" ||
  qb_fail "SHA256SUMS does not verify"

for file in "$QB_PACKAGE_DIR/Quillbright-$version-setup.exe" \
            "$QB_WIN32_DIR/Quillbright.scr" "$QB_WIN32_DIR/Quillbright.dll" \
            "$QB_WIN64_DIR/Quillbright.scr" "$QB_WIN64_DIR/Quillbright.dll"; do
  qb_expect_eq "version of $(basename "$(dirname "$file")")/$(basename "$file")" \
    "$(python3 "$QB_SOURCE_DIR/tools/pe_version.py" "$file" | cut -d' ' -f2)" "$version"
done

qb_checks_end
