#!/usr/bin/env bash
# The saver in a folder whose path has a blank (and, in the second case,
# Japanese characters, one with a backslash-valued second byte). Windows
# would run "C:\qb.exe" for an unquoted "C:\qb test\Quillbright.dll" without
# an application name: a trap there must never run.
set -uo pipefail
source "$(dirname "$0")/lib.sh"
qb_scenario_begin blank_folder

trap_exe="$WINEPREFIX/drive_c/qb.exe"
trap_log="$trap_exe.log"
cp "$QB_HELPERS_DIR/standin.exe" "$trap_exe"

# "qb ソフト": ソ is 83 5C in code page 932.
for folder in "qb test" "qb ソフト"; do
  echo "# saver in C:\\$folder"
  rm -f "$trap_log"
  dir=$(qb_saver_folder "$folder" window=1)
  name=run_$(qb_hex "$folder")
  qb_run_saver "$name" --timeout 15000 --close-vc-after 500 "$(qb_winpath "$dir")\\Quillbright.scr" /s
  qb_expect_eq "saver window appeared" "$(qb_get main_seen "$QB_OUT/$name")" 1
  qb_expect_followed "$name" "C:\\$folder"
  qb_expect_file "the stand-in ran" "$dir/Quillbright.dll.log"
  folder_cp932=$(printf '%s' "$folder" | iconv -f UTF-8 -t CP932)
  qb_expect_eq "companion command line (CP932 bytes)" \
    "$(qb_hex "$(qb_get cmdline "$dir/Quillbright.dll.log")")" \
    "$(qb_hex "\"C:\\$folder_cp932\\Quillbright.dll\"")"
  sleep 0.3  # a wrongly started trap would have logged by now
  qb_expect_no_file "the trap C:\\qb.exe never ran" "$trap_log"
done

# The trap does log when it runs: without this the check above proves nothing.
qb_driver trap_itself run --timeout 10000 "$(qb_winpath "$trap_exe")" >/dev/null
qb_expect_file "the trap logs when run" "$trap_log"
rm -f "$trap_exe" "$trap_log"

qb_scenario_end
