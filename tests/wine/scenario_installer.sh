#!/usr/bin/env bash
# The installer and its uninstaller, silent, on the prefix of the build the
# tests run: files, the current user's screen saver and its earlier value,
# the Add/Remove Programs entry, the installed saver running, settings that
# the user saved kept, installing over an installation. The installer is a
# 32-bit program: on a machine that cannot run those the scenario reports
# itself skipped.
set -uo pipefail
source "$(dirname "$0")/lib.sh"
: "${QB_PACKAGE_DIR:?}"

if ! probe=$(qb_probe_32bit); then
  echo "skipped: the installer is a 32-bit program and this machine cannot run those ($probe)"
  exit 77
fi
qb_scenario_begin installer

version=$(sed -n 's/^#define QB_VERSION_TEXT "\([0-9.]*\)"$/\1/p' "$QB_SOURCE_DIR/src/resources/version.h")
setup=$QB_PACKAGE_DIR/Quillbright-$version-setup.exe
[[ -f $setup ]] || qb_die "$setup is missing (the package.contents test makes it)"
cp "$setup" "$WINEPREFIX/drive_c/qb-setup.exe"

# The 32-bit loader runs the installer, in either prefix; the build's own
# loader runs reg.exe, so that a 64-bit prefix shows its 64-bit registry.
run32() { local out=$1; shift; qb_run "$QB_OUT/$out" 180 "$QB_WINE_DIR/wine" "$@"; }
desktop='HKCU\Control Panel\Desktop'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillbright'
# reg_value KEY NAME: the value's data, empty when it is not there.
reg_value() {
  qb_wine "$QB_OUT/reg" 60 reg query "$1" /v "$2" >/dev/null 2>&1
  tr -d '\r' <"$QB_OUT/reg" | awk -v n="$2" '$1 == n && $2 ~ /^REG_/ { $1 = ""; $2 = ""; sub(/^ +/, ""); print }'
}
reg_key_exists() { qb_wine "$QB_OUT/regkey" 60 reg query "$1" >/dev/null 2>&1; }

# Waits up to 30 s for the uninstaller, which runs on from a copy of itself.
wait_uninstalled() {
  local dir=$1 i
  for i in $(seq 300); do
    [[ ! -e $dir/uninstall.exe ]] && ! reg_key_exists "$uninstall_key" && return 0
    sleep 0.1
  done
  return 1
}

case $QB_BUILD in
  win32) format=pei-i386 objdump=i686-w64-mingw32-objdump ;;
  win64) format=pei-x86-64 objdump=x86_64-w64-mingw32-objdump ;;
esac

echo "# a screen saver chosen before"
qb_wine "$QB_OUT/reg_add" 60 reg add "$desktop" /v SCRNSAVE.EXE /t REG_SZ /d 'C:\windows\system32\old.scr' /f
qb_wine "$QB_OUT/reg_add" 60 reg add "$desktop" /v ScreenSaveActive /t REG_SZ /d 0 /f
qb_expect_eq "before: SCRNSAVE.EXE" "$(reg_value "$desktop" SCRNSAVE.EXE)" 'C:\windows\system32\old.scr'

echo "# silent install into a chosen folder"
win_dir='C:\QuillbrightInstalled'
dir=$WINEPREFIX/drive_c/QuillbrightInstalled
rm -rf "$dir"
run32 install1 'C:\qb-setup.exe' /S "/D=$win_dir" || qb_fail "the installer failed ($?)"
for f in Quillbright.scr Quillbright.dll uninstall.exe; do qb_expect_file "installed: $f" "$dir/$f"; done
qb_expect_eq "installed: the $QB_BUILD build" \
  "$(LC_ALL=C "$objdump" -f "$dir/Quillbright.scr" 2>/dev/null | sed -n 's/.*file format //p')" "$format"
cmp -s "$dir/Quillbright.scr" "$QB_BUILD_DIR/Quillbright.scr" && qb_pass "installed: the built program" ||
  qb_fail "installed: Quillbright.scr is not $QB_BUILD_DIR's"
qb_expect_eq "installed: nothing under the Windows folder" \
  "$(find "$WINEPREFIX/drive_c/windows" -iname 'quillbright*' | wc -l)" 0

qb_driver forms path-forms "$win_dir\\Quillbright.scr" >/dev/null
short=$(qb_get short "$QB_OUT/forms")
saver=$(reg_value "$desktop" SCRNSAVE.EXE)
qb_expect_eq "SCRNSAVE.EXE: the short path of the installed saver" "$saver" "$short"
long="$win_dir\\Quillbright.scr"
[[ $saver != *' '* && ${#saver} -lt ${#long} ]] && qb_pass "SCRNSAVE.EXE is shorter than '$long'" ||
  qb_fail "SCRNSAVE.EXE '$saver' is not a short path"
qb_expect_eq "ScreenSaveActive" "$(reg_value "$desktop" ScreenSaveActive)" 1
qb_expect_eq "uninstall entry: DisplayName" "$(reg_value "$uninstall_key" DisplayName)" Quillbright
qb_expect_eq "uninstall entry: DisplayVersion" "$(reg_value "$uninstall_key" DisplayVersion)" "$version"
qb_expect_eq "uninstall entry: Publisher" "$(reg_value "$uninstall_key" Publisher)" Quillbright
qb_expect_eq "uninstall entry: DisplayIcon" "$(reg_value "$uninstall_key" DisplayIcon)" "$win_dir\\Quillbright.scr,0"
qb_expect_eq "uninstall entry: UninstallString" "$(reg_value "$uninstall_key" UninstallString)" "\"$win_dir\\uninstall.exe\""
size=$(reg_value "$uninstall_key" EstimatedSize)
qb_expect_ge "uninstall entry: EstimatedSize (KB)" "$((size))" 50
echo "registry read back: SCRNSAVE.EXE=$saver EstimatedSize=$((size)) KB"

echo "# the installed saver runs beside the stand-in"
cp "$dir/Quillbright.dll" "$QB_OUT/real_companion"
qb_add_standin "$dir" window=1
qb_driver run_installed run --timeout 15000 --close-vc-after 500 "$win_dir\\Quillbright.scr" /s ||
  qb_fail "driver: $(tr -d '\r' <"$QB_OUT/run_installed")"
qb_expect_eq "installed saver: companion window appeared" "$(qb_get vc_seen "$QB_OUT/run_installed")" 1
qb_expect_le "installed saver: end after the companion window went (ms)" \
  "$(qb_get vc_gone_to_end_ms "$QB_OUT/run_installed")" 1000
cp "$QB_OUT/real_companion" "$dir/Quillbright.dll"
rm -f "$dir/Quillbright.dll.cfg" "$dir/Quillbright.dll.log"

echo "# settings saved by the user survive the uninstall"
printf '[Section]\r\nBGM\x8b\xe6\x95\xaa=1\r\n' >"$dir/Quillbright.ini"
cp "$dir/Quillbright.ini" "$QB_OUT/ini.saved"
run32 uninstall1 "$win_dir\\uninstall.exe" /S || qb_fail "the uninstaller failed ($?)"
wait_uninstalled "$dir" || qb_fail "the uninstaller did not finish within 30 s"
for f in Quillbright.scr Quillbright.dll uninstall.exe; do qb_expect_no_file "uninstalled: $f" "$dir/$f"; done
cmp -s "$dir/Quillbright.ini" "$QB_OUT/ini.saved" && qb_pass "the saved settings file is kept as it was" ||
  qb_fail "the saved settings file was removed or changed"
qb_expect_eq "SCRNSAVE.EXE restored" "$(reg_value "$desktop" SCRNSAVE.EXE)" 'C:\windows\system32\old.scr'
qb_expect_eq "ScreenSaveActive restored" "$(reg_value "$desktop" ScreenSaveActive)" 0
reg_key_exists "$uninstall_key" && qb_fail "the uninstall entry is still there" || qb_pass "the uninstall entry is gone"
reg_key_exists 'HKCU\Software\Quillbright' && qb_fail "HKCU\\Software\\Quillbright is still there" ||
  qb_pass "the installer's own key is gone"

echo "# installed there again, then removed with its settings"
run32 install2 'C:\qb-setup.exe' /S "/D=$win_dir" || qb_fail "the installer failed ($?)"
cmp -s "$dir/Quillbright.ini" "$QB_OUT/ini.saved" && qb_pass "a new installation keeps the settings" ||
  qb_fail "a new installation changed the settings file"
run32 uninstall2 "$win_dir\\uninstall.exe" /S /RemoveSettings || qb_fail "the uninstaller failed ($?)"
wait_uninstalled "$dir" || qb_fail "the uninstaller did not finish within 30 s"
sleep 0.5
qb_expect_no_file "/RemoveSettings: the folder is gone" "$dir"

echo "# installed twice into Program Files, then uninstalled"
pf="$WINEPREFIX/drive_c/Program Files/Quillbright"
run32 install3 'C:\qb-setup.exe' /S || qb_fail "the installer failed ($?)"
qb_expect_file "default folder: Program Files\\Quillbright" "$pf/Quillbright.scr"
cmp -s "$pf/Quillbright.scr" "$QB_BUILD_DIR/Quillbright.scr" && qb_pass "default folder: the $QB_BUILD build" ||
  qb_fail "default folder: not the $QB_BUILD build"
run32 install4 'C:\qb-setup.exe' /S || qb_fail "the second installer run failed ($?)"
qb_driver forms2 path-forms 'C:\Program Files\Quillbright\Quillbright.scr' >/dev/null
qb_expect_eq "over the first: SCRNSAVE.EXE" "$(reg_value "$desktop" SCRNSAVE.EXE)" "$(qb_get short "$QB_OUT/forms2")"
run32 uninstall3 'C:\Program Files\Quillbright\uninstall.exe' /S || qb_fail "the uninstaller failed ($?)"
wait_uninstalled "$pf" || qb_fail "the uninstaller did not finish within 30 s"
sleep 0.5
qb_expect_no_file "uninstalled: the folder, with the never-saved settings file" "$pf"
qb_expect_eq "SCRNSAVE.EXE back to the one before the first install" \
  "$(reg_value "$desktop" SCRNSAVE.EXE)" 'C:\windows\system32\old.scr'
qb_expect_eq "ScreenSaveActive back as well" "$(reg_value "$desktop" ScreenSaveActive)" 0
rm -f "$WINEPREFIX/drive_c/qb-setup.exe"

qb_scenario_end
