#!/usr/bin/env bash
# The installer and its uninstaller, silent, on the prefix of the build the
# tests run: files, the current user's screen saver and its earlier value,
# the Add/Remove Programs entry, the permissions set on a folder for every
# user, the installed saver running, settings that the user saved kept,
# installing over an installation, an installation for the user alone; a
# running Quillbright (each of its three windows, and the real saver) and
# either program file held open make both fail and change nothing, and a
# .dll whose rename is refused after the .scr was swapped leaves the old
# pair; folders setup must refuse (planted, writable by others, a link);
# planted files never written over in place; a '..' path resolved; an HKCU
# value, or a _?= on the command line, that steers no uninstall; a folder
# above the installation that others could rename refused; a folder another
# user makes meanwhile kept; per-user uninstalls at the user's rights (the
# limited token); the elevated copy run in place, its exit code returned. The 32-bit build's
# prefix runs the release's installer (x86); the 64-bit one runs the same
# script built for NSIS's amd64 target, so the round trip also runs where
# 32-bit programs cannot.
set -uo pipefail
source "$(dirname "$0")/lib.sh"
: "${QB_PACKAGE_DIR:?}"
qb_scenario_begin installer

version=$(sed -n 's/^#define QB_VERSION_TEXT "\([0-9.]*\)"$/\1/p' "$QB_SOURCE_DIR/src/resources/version.h")
case $QB_BUILD in
  win32)
    setup=$QB_PACKAGE_DIR/Quillbright-$version-setup.exe
    [[ -f $setup ]] || qb_die "$setup is missing (the package.contents test makes it)"
    ;;
  win64)
    setup=$QB_OUT/Quillbright-$version-setup-amd64.exe
    makensis -V2 -X"Target amd64-unicode" -DVERSION="$version" -DBUILD32="$QB_WIN32_DIR" \
      -DBUILD64="$QB_WIN64_DIR" -DOUTFILE="$setup" "$QB_SOURCE_DIR/installer/quillbright.nsi" \
      >"$QB_OUT/makensis.log" 2>&1 || qb_die "makensis failed (see $QB_OUT/makensis.log)"
    ;;
esac
cp "$setup" "$WINEPREFIX/drive_c/qb-setup.exe"
echo "installer: $(basename "$setup")"

# The build's own loader runs the installer and reg.exe, so that a 64-bit
# prefix shows its 64-bit registry.
run_setup() { local out=$1; shift; qb_wine "$QB_OUT/$out" 180 "$@"; }
desktop='HKCU\Control Panel\Desktop'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillbright'
user_uninstall_key=HKCU${uninstall_key#HKLM}
# reg_value KEY NAME: the value's data, empty when it is not there.
reg_value() {
  qb_wine "$QB_OUT/reg" 60 reg query "$1" /v "$2" >/dev/null 2>&1
  tr -d '\r' <"$QB_OUT/reg" | awk -v n="$2" '$1 == n && $2 ~ /^REG_/ { $1 = ""; $2 = ""; sub(/^ +/, ""); print }'
}
reg_key_exists() { qb_wine "$QB_OUT/regkey" 60 reg query "$1" >/dev/null 2>&1; }

# Waits up to 30 s for the uninstaller, which runs on from a copy of itself.
wait_uninstalled() {  # DIR [ENTRY-KEY]
  local dir=$1 i
  for i in $(seq 300); do
    [[ ! -e $dir/uninstall.exe ]] && ! reg_key_exists "${2:-$uninstall_key}" && return 0
    sleep 0.1
  done
  return 1
}

# run_install NAME [ARGS...]: the installer, silent; it must succeed.
# Wine keeps no ACL that a program sets on a file, so its trace of the
# calls shows what setup asked for.
run_install() {
  WINEDEBUG=trace+security,trace+advapi run_setup "$1" 'C:\qb-setup.exe' /S "${@:2}" ||
    qb_fail "$1: the installer failed ($?)"
}
# set_permissions NAME: how often install NAME set a folder's permissions.
set_permissions() { grep -c 'SetNamedSecurityInfoW' "$QB_OUT/$1.err"; }
# run_uninstall NAME DIR [ENTRY-KEY [ARGS...]]: DIR's uninstaller, silent;
# it must succeed and be done (its entry gone) within 30 s.
run_uninstall() {
  run_setup "$1" "$(qb_winpath "$2")\\uninstall.exe" /S "${@:4}" || qb_fail "$1: the uninstaller failed ($?)"
  wait_uninstalled "$2" "${3:-}" || qb_fail "$1: the uninstaller did not finish within 30 s"
}
# Wine starts every program elevated; the driver runs a per-user
# installation's uninstaller with the limited token, at the user's rights.
run_uninstall_limited() {  # NAME DIR ENTRY-KEY [ARGS...]
  qb_driver "$1" limited "\"$(qb_winpath "$2")\\uninstall.exe\" /S ${*:4}"
  qb_expect_eq "$1: the uninstaller's exit code" "$(qb_get exit_code "$QB_OUT/$1")" 0
  wait_uninstalled "$2" "$3" || qb_fail "$1: the uninstaller did not finish within 30 s"
}
# Waits up to 30 s until no uninstaller, nor a copy one started, runs.
wait_no_uninstaller() {
  local i pid busy
  for i in $(seq 300); do
    busy=0
    for pid in $(pgrep -f -i 'uninstall\.exe|~nsu' || true); do
      tr '\0' '\n' 2>/dev/null <"/proc/$pid/environ" | grep -qx "WINEPREFIX=$WINEPREFIX" && busy=1
    done
    ((busy)) || return 0
    sleep 0.1
  done
  return 1
}
# The installer over the installation in $win_dir, and its uninstaller (in
# its own folder, _?=, the way that reports its exit code): each must
# refuse, with exit code 2.
setup_refused() { run_setup "$1.setup" 'C:\qb-setup.exe' /S "/D=$win_dir"; qb_expect_eq "$1: setup's exit code" "$?" 2; }
uninstall_refused() {
  run_setup "$1.uninstall" "$win_dir\\uninstall.exe" /S "_?=$win_dir"
  qb_expect_eq "$1: the uninstaller's exit code" "$?" 2
}

case $QB_BUILD in
  win32) format=pei-i386 objdump=i686-w64-mingw32-objdump ;;
  win64) format=pei-x86-64 objdump=x86_64-w64-mingw32-objdump ;;
esac

echo "# a screen saver chosen before"
qb_wine "$QB_OUT/reg_add" 60 reg add "$desktop" /v SCRNSAVE.EXE /t REG_SZ /d 'C:\windows\system32\old.scr' /f
qb_wine "$QB_OUT/reg_add" 60 reg add "$desktop" /v ScreenSaveActive /t REG_SZ /d 0 /f
qb_expect_eq "before: SCRNSAVE.EXE" "$(reg_value "$desktop" SCRNSAVE.EXE)" 'C:\windows\system32\old.scr'

echo "# folders refused, left as they were"
# A space without a short name: a copy of setup whose GetShortPathNameW is
# GetLongPathNameW sees what a volume without 8.3 names gives (Wine makes
# short names always). /NCRC: the copy's checksum no longer matches.
python3 - "$WINEPREFIX/drive_c/qb-setup.exe" "$WINEPREFIX/drive_c/qb-setup-no83.exe" <<'PY'
import sys
data = open(sys.argv[1], "rb").read()
open(sys.argv[2], "wb").write(data.replace(b"GetShortPathNameW\0", b"GetLongPathNameW\0\0", 1))
PY
mkdir -p "$WINEPREFIX/drive_c/Shared" && : >"$WINEPREFIX/drive_c/Shared/other.txt"
# Another user's folder dressed as Quillbright's: its own names and more.
plant=$WINEPREFIX/drive_c/QBplant
mkdir -p "$plant/Quillbright_x" && : >"$plant/Quillbright.dll" && : >"$plant/uninstall.exe" && : >"$plant/QuillbrightHelper.exe"
# Wine shows mode 0777 as Everyone: write, and a symbolic link as a
# reparse point.
mkdir -p "$WINEPREFIX/drive_c/QBuser" && : >"$WINEPREFIX/drive_c/QBuser/other.txt" && chmod 0777 "$WINEPREFIX/drive_c/QBuser"
mkdir -p "$WINEPREFIX/drive_c/QBopen" "$WINEPREFIX/drive_c/Open/in" && chmod 0777 "$WINEPREFIX/drive_c/QBopen" "$WINEPREFIX/drive_c/Open"
mkdir -p "$WINEPREFIX/drive_c/QBtarget" && ln -sfn "$WINEPREFIX/drive_c/QBtarget" "$WINEPREFIX/drive_c/QBlink"
for row in 'qb-setup-no83|Quill bright|' 'qb-setup|Shared|' 'qb-setup|QBplant|' 'qb-setup|QBuser|/CurrentUser' 'qb-setup|QBopen|' \
  'qb-setup|QBlink|' 'qb-setup|QBlink\mine|/CurrentUser' 'qb-setup|Open\QB|' 'qb-setup|Open\QBu|/CurrentUser' \
  'qb-setup|Open\in\QB|'; do
  IFS='|' read -r setup_copy folder mode <<<"$row"
  run_setup "refused.${folder// /_}" "C:\\$setup_copy.exe" /S /NCRC $mode "/D=C:\\$folder"
  qb_expect_eq "C:\\$folder $mode: refused (exit code)" "$?" 2
  qb_expect_no_file "C:\\$folder: no saver in it" "$WINEPREFIX/drive_c/${folder//\\//}/Quillbright.scr"
done
qb_expect_no_file "the folder it made for the space is gone" "$WINEPREFIX/drive_c/Quill bright"
# Another user makes C:\QBrace\in as soon as setup has made C:\QBrace,
# while strace holds Wine's server at setup's own mkdir of it: setup fails
# and removes only what it made.
race=$WINEPREFIX/drive_c/QBrace
wineserver_pid=$(qb_prefix_pid 'wineserver(32|64)?') || qb_die "no wineserver"
strace -q -p "$wineserver_pid" -o "$QB_OUT/race.strace" -e trace=mkdir,mkdirat \
  -e inject=mkdir,mkdirat:delay_enter=2000000 -P "$race/in" -P "$WINEPREFIX/dosdevices/c:/QBrace/in" &
tracer=$!
for _ in $(seq 100); do grep -q '^TracerPid:[[:space:]]*[1-9]' "/proc/$wineserver_pid/status" && break; sleep 0.05; done
(for _ in $(seq 600); do [[ -d $race ]] && { mkdir "$race/in"; break; }; sleep 0.02; done) &
racer=$!
WINEDEBUG=trace+file run_setup race 'C:\qb-setup.exe' /S '/D=C:\QBrace\in\deep'
qb_expect_eq "a folder made meanwhile: refused (exit code)" "$?" 2
qb_expect_eq "a folder made meanwhile: setup removes only the one it made" \
  "$(sed -n 's/.*RemoveDirectoryW L"\([^"]*\)".*/\1/p' "$QB_OUT/race.err" | grep -i qbrace | tr '\n' ' ')" 'C:\\QBrace\\ '
kill "$tracer"
wait "$tracer" "$racer" 2>/dev/null
qb_expect_file "a folder made meanwhile: another user's, kept" "$race/in"
qb_expect_file "another program's folder keeps its files" "$WINEPREFIX/drive_c/Shared/other.txt"
qb_expect_eq "refused: SCRNSAVE.EXE as it was" "$(reg_value "$desktop" SCRNSAVE.EXE)" 'C:\windows\system32\old.scr'
reg_key_exists "$uninstall_key" && qb_fail "refused: an uninstall entry" || qb_pass "refused: no uninstall entry"

echo "# silent install into a chosen folder, over files someone left there"
win_dir='C:\QuillbrightInstalled'
dir=$WINEPREFIX/drive_c/QuillbrightInstalled
rm -rf "$dir" && mkdir -p "$dir"
# Hard links keep the planted files: one written over in place shows there.
for f in Quillbright.scr Quillbright.dll uninstall.exe; do printf planted >"$dir/$f" && ln -f "$dir/$f" "$QB_OUT/planted.$f"; done
run_install install1 "/D=$win_dir"
for f in Quillbright.scr Quillbright.dll uninstall.exe; do
  qb_expect_eq "installed: $f written new, the planted one not written over" \
    "$(cmp -s "$QB_OUT/planted.$f" <(printf planted) && echo kept || echo 'written over')" kept
done
qb_expect_eq "the uninstaller asks for no elevation" "$(grep -c 'level="asInvoker"' "$dir/uninstall.exe")" 1
for f in Quillbright.scr Quillbright.dll uninstall.exe; do qb_expect_file "installed: $f" "$dir/$f"; done
qb_expect_eq "installed: the $QB_BUILD build" \
  "$(LC_ALL=C "$objdump" -f "$dir/Quillbright.scr" 2>/dev/null | sed -n 's/.*file format //p')" "$format"
qb_expect_same_file "installed: the built program" "$dir/Quillbright.scr" "$QB_BUILD_DIR/Quillbright.scr"
qb_expect_eq "installed: nothing under the Windows folder" \
  "$(find "$WINEPREFIX/drive_c/windows" -iname 'quillbright*' | wc -l)" 0
qb_expect_no_file "installed: no settings file made for the users to write" "$dir/Quillbright.ini"
qb_expect_eq "C:\\ folder: its permissions set once, with owner and DACL, inheritance off" \
  "$(grep -c 'SetNamedSecurityInfoW L"C:\\\\QuillbrightInstalled" 1 -2147483643' "$QB_OUT/install1.err")" 1
qb_driver sd security \
  "$(sed -n 's/.*ConvertStringSecurityDescriptorToSecurityDescriptorW L"\([^"]*\)".*/\1/p' "$QB_OUT/install1.err")" >/dev/null
qb_expect_eq "C:\\ folder: owned by Administrators" "$(qb_get owner "$QB_OUT/sd")" S-1-5-32-544
qb_expect_eq "C:\\ folder: Administrators and SYSTEM full control, Users read and run, inherited within" \
  "$(qb_get protected "$QB_OUT/sd") $(qb_get aces "$QB_OUT/sd")" \
  "1 0:3:001f01ff:S-1-5-32-544 0:3:001f01ff:S-1-5-18 0:3:001200a9:S-1-5-32-545"

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
qb_add_standin "$dir" window=1
qb_run_saver run_installed --timeout 15000 --close-vc-after 500 "$win_dir\\Quillbright.scr" /s
qb_expect_followed run_installed "installed saver"

echo "# a running Quillbright: setup and uninstall, silent, fail and change nothing"
# Marks that a run would change: the stand-in is the installed companion,
# the saver carries bytes past its end, and the entry's version is not the
# installer's.
qb_wine "$QB_OUT/reg_add" 60 reg add "$uninstall_key" /v DisplayVersion /t REG_SZ /d 0.0.0.1 /f
printf 'mark' >>"$dir/Quillbright.scr" && cp "$dir/Quillbright.scr" "$QB_OUT/marked.scr"
# unchanged NAME: the installation as the marks left it.
unchanged() {
  qb_expect_same_file "$1: the installed files kept" "$dir/Quillbright.dll" "$QB_HELPERS_DIR/standin.exe"
  qb_expect_same_file "$1: the installed saver kept" "$dir/Quillbright.scr" "$QB_OUT/marked.scr"
  qb_expect_file "$1: the uninstaller kept" "$dir/uninstall.exe"
  qb_expect_eq "$1: the uninstall entry kept as it was" "$(reg_value "$uninstall_key" DisplayVersion)" 0.0.0.1
}
# refused NAME: setup over the installation and the uninstaller refused.
refused() {
  setup_refused "$1"
  uninstall_refused "$1"
  unchanged "$1"
}
for title in "$QB_SAVER_TITLE" "$QB_DIALOG_TITLE" "$QB_COMPANION_TITLE"; do
  setsid "$QB_WINE_LOADER" "$QB_HELPERS_DIR/qbdriver.exe" hold-window "$title" 60000 \
    </dev/null >"$QB_OUT/hold.out" 2>&1 &
  holder=$!
  qb_driver hold_wait wait-window "$title" 10000 >/dev/null || qb_fail "the window $title did not appear"
  refused "window $title"
  kill "$holder"
  wait "$holder" 2>/dev/null
done
printf 'window=1\n' >"$dir/Quillbright.dll.cfg"
qb_driver running run --timeout 30000 "$win_dir\\Quillbright.scr" /s &
saver_driver=$!
qb_driver running_wait wait-window "$QB_COMPANION_TITLE" 10000 >/dev/null || qb_fail "the installed saver did not start"
refused "the installed saver running"
qb_driver running_close close-window "$QB_COMPANION_TITLE" >/dev/null
wait "$saver_driver" || qb_fail "the installed saver: driver: $(tr -d '\r' <"$QB_OUT/running")"
qb_expect_eq "the installed saver ran on to its end (exit code)" "$(qb_get exit_code "$QB_OUT/running")" 0

echo "# either program file held open: setup and uninstall fail and change nothing"
for held in Quillbright.scr Quillbright.dll; do
  setsid "$QB_WINE_LOADER" "$QB_HELPERS_DIR/qbdriver.exe" hold-file "$win_dir\\$held" 60000 \
    </dev/null >"$QB_OUT/hold_$held.out" 2>&1 &
  holder=$!
  qb_await holding "$QB_OUT/hold_$held.out"
  qb_expect_eq "$held held open" "$(qb_get holding "$QB_OUT/hold_$held.out")" 1
  refused "$held held"
  qb_expect_eq "$held held: the screen saver still Quillbright" "$(reg_value "$desktop" SCRNSAVE.EXE)" "$short"
  kill "$holder"
  wait "$holder" 2>/dev/null
done

echo "# the .dll held once the .scr is swapped: the old pair comes back"
rm -f "$dir/Quillbright.dll.cfg" "$dir/Quillbright.dll.log"
# Wine's server renames files; strace refuses its rename of the .dll, as
# Windows refuses to rename a file a program holds.
wineserver_pid=$(qb_prefix_pid 'wineserver(32|64)?') || qb_die "no wineserver"
strace -q -p "$wineserver_pid" -o "$QB_OUT/strace" -e trace=rename,renameat,renameat2 \
  -e inject=rename,renameat,renameat2:error=EACCES -P "$dir/Quillbright.dll" &
tracer=$!
for _ in $(seq 100); do grep -q '^TracerPid:[[:space:]]*[1-9]' "/proc/$wineserver_pid/status" && break; sleep 0.05; done
setup_refused "the .dll held at its swap"
kill "$tracer"
wait "$tracer" 2>/dev/null
qb_expect_eq "the .dll held at its swap: its rename refused" "$(grep -c INJECTED "$QB_OUT/strace")" 1
unchanged "the .dll held at its swap"
qb_expect_eq "the .dll held at its swap: nothing left under another name" "$(ls "$dir" | grep -c '\.new$\|\.old$')" 0

echo "# setup again over it, now that nothing holds it"
run_install install_again "/D=$win_dir"
qb_expect_eq "the entry's version is the installer's again" "$(reg_value "$uninstall_key" DisplayVersion)" "$version"
qb_expect_same_file "the companion is the build's again" "$dir/Quillbright.dll" "$QB_BUILD_DIR/Quillbright.dll"

echo "# the command line names no folder for an elevated uninstaller"
trap_dir=$WINEPREFIX/drive_c/trap
mkdir -p "$trap_dir" && for f in Quillbright.scr Quillbright.dll uninstall.exe; do printf planted >"$trap_dir/$f"; done
run_setup trap1 "$win_dir\\uninstall.exe" /S '_?=C:\trap'
qb_expect_eq "_?=C:\\trap, elevated: refused (exit code)" "$?" 2
# Not elevated: the elevated copy it starts runs in place in the entry's
# folder with the options it knows, not the first _?= (NSIS reads the
# last). Wine starts that copy limited too, so it refuses; its exit code is
# the first one's, and the user's own settings stay.
user_settings="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local/Quillbright"
mkdir -p "$user_settings" && printf x >"$user_settings/Quillbright.ini"
WINEDEBUG=trace+process qb_driver trap2 limited "\"$win_dir\\uninstall.exe\" /S /RemoveSettings _?=C:\trap _?=$win_dir" >/dev/null
qb_expect_eq "_?=C:\\trap, limited: the elevated copy's refusal returned (exit code)" "$(qb_get exit_code "$QB_OUT/trap2")" 2
qb_expect_ge "_?=C:\\trap, limited: the elevated copy runs in place" \
  "$(grep -c -F "/S /Elevated /RemoveSettings _?=${win_dir//\\/\\\\}\"" "$QB_OUT/trap2.err")" 1
qb_expect_file "/RemoveSettings, the elevated copy refused: the user's own settings kept" "$user_settings/Quillbright.ini"
wait_no_uninstaller || qb_fail "trap2: the uninstaller did not finish within 30 s"
for f in Quillbright.scr Quillbright.dll uninstall.exe; do
  qb_expect_eq "_?=C:\\trap: its $f kept" "$(cat "$trap_dir/$f" 2>&1)" planted
done
qb_expect_file "_?=C:\\trap: the installation kept" "$dir/uninstall.exe"

echo "# settings saved by the user survive the uninstall"
printf '[Section]\r\nBGM\x8b\xe6\x95\xaa=1\r\n' >"$dir/Quillbright.ini"
cp "$dir/Quillbright.ini" "$QB_OUT/ini.saved"
cp "$QB_OUT/ini.saved" "$user_settings/Quillbright.ini"
run_uninstall uninstall1 "$dir"
for f in Quillbright.scr Quillbright.dll uninstall.exe; do qb_expect_no_file "uninstalled: $f" "$dir/$f"; done
qb_expect_same_file "the saved settings file is kept as it was" "$dir/Quillbright.ini" "$QB_OUT/ini.saved"
qb_expect_file "the user's own settings file is kept" "$user_settings/Quillbright.ini"
qb_expect_eq "SCRNSAVE.EXE restored" "$(reg_value "$desktop" SCRNSAVE.EXE)" 'C:\windows\system32\old.scr'
qb_expect_eq "ScreenSaveActive restored" "$(reg_value "$desktop" ScreenSaveActive)" 0
reg_key_exists "$uninstall_key" && qb_fail "the uninstall entry is still there" || qb_pass "the uninstall entry is gone"
reg_key_exists 'HKCU\Software\Quillbright' && qb_fail "HKCU\\Software\\Quillbright is still there" ||
  qb_pass "the installer's own key is gone"

echo "# installed there again, then removed with its settings"
ln -f "$dir/Quillbright.ini" "$QB_OUT/ini.before"
run_install install2 "/D=$win_dir"
qb_expect_same_file "a new installation keeps the settings" "$dir/Quillbright.ini" "$QB_OUT/ini.saved"
[[ $dir/Quillbright.ini -ef $QB_OUT/ini.before ]] && qb_fail "the settings file from before stays as it was" ||
  qb_pass "the settings are in a file written new"
run_uninstall uninstall2 "$dir" "" /RemoveSettings
sleep 0.5
qb_expect_no_file "/RemoveSettings: the folder is gone" "$dir"
qb_expect_file "/RemoveSettings, elevated: the user's own settings kept (the user's programs can change their folder)" \
  "$user_settings/Quillbright.ini"

echo "# a path through '..' is resolved and secured; a value under HKCU steers no uninstall"
# cmd passes /D= unquoted, as setup needs it.
WINEDEBUG=trace+file,trace+security run_setup dots cmd /c 'C:\qb-setup.exe /S /D=C:\Program Files\..\QBdots' ||
  qb_fail "dots: the installer failed ($?)"
dots=$WINEPREFIX/drive_c/QBdots
qb_expect_file "'..' resolved: installed in C:\\QBdots" "$dots/Quillbright.scr"
qb_expect_eq "'..' resolved: the entry names C:\\QBdots" "$(reg_value "$uninstall_key" InstallLocation)" 'C:\QBdots'
qb_expect_eq "'..' resolved: the folder made with its permissions" \
  "$(grep -c 'NtCreateFile .*name=L"\\\\??\\\\C:\\\\QBdots" .*sec=0x[0-9a-f]* .*disp=2 options=0*21 ' "$QB_OUT/dots.err")" 1
qb_wine "$QB_OUT/reg_add" 60 reg add "$user_uninstall_key" /v InstallLocation /t REG_SZ /d 'C:\QBdots' /f
# In place, as the elevated copy runs: its running self goes at the next
# restart.
run_setup uninstall_dots "$(qb_winpath "$dots")\\uninstall.exe" /S '_?=C:\QBdots' || qb_fail "uninstall_dots: failed ($?)"
qb_expect_eq "in place: only the uninstaller left, for the next restart" "$(ls "$dots")" uninstall.exe
qb_expect_ge "in place: the uninstaller removed at the next restart" "$(reg_value \
  'HKLM\System\CurrentControlSet\Control\Session Manager' PendingFileRenameOperations | grep -c -F 'C:\QBdots\uninstall.exe')" 1
reg_key_exists "$user_uninstall_key" && qb_fail "HKCU's value: its entry stays" || qb_pass "HKCU's value: both entries gone"
run_setup dots_again 'C:\qb-setup.exe' /S '/D=C:\QBdots'
qb_expect_eq "before that restart, setup into C:\\QBdots: refused (exit code)" "$?" 2

echo "# installed twice into Program Files, then uninstalled"
pf="$WINEPREFIX/drive_c/Program Files/Quillbright"
run_install install3
qb_expect_file "default folder: Program Files\\Quillbright" "$pf/Quillbright.scr"
qb_expect_no_file "default folder: no settings file made" "$pf/Quillbright.ini"
qb_expect_same_file "default folder: the $QB_BUILD build" "$pf/Quillbright.scr" "$QB_BUILD_DIR/Quillbright.scr"
run_install install4
qb_driver forms2 path-forms 'C:\Program Files\Quillbright\Quillbright.scr' >/dev/null
qb_expect_eq "over the first: SCRNSAVE.EXE" "$(reg_value "$desktop" SCRNSAVE.EXE)" "$(qb_get short "$QB_OUT/forms2")"
# An earlier installer made an empty settings file; no save ever filled it.
: >"$pf/Quillbright.ini"
run_uninstall uninstall3 "$pf"
sleep 0.5
qb_expect_no_file "uninstalled: the folder, with an empty settings file an earlier installer made" "$pf"
qb_expect_eq "SCRNSAVE.EXE back to the one before the first install" \
  "$(reg_value "$desktop" SCRNSAVE.EXE)" 'C:\windows\system32\old.scr'
qb_expect_eq "ScreenSaveActive back as well" "$(reg_value "$desktop" ScreenSaveActive)" 0
qb_expect_eq "Program Files: its permissions left as they are" "$(set_permissions install3)" 0

echo "# for this user alone, silent: the user's Programs folder, entry and screen saver"
user_dir="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local/Programs/Quillbright"
run_install install_user /CurrentUser
for f in Quillbright.scr Quillbright.dll uninstall.exe; do qb_expect_file "for this user: $f" "$user_dir/$f"; done
qb_driver forms3 path-forms "$(qb_winpath "$user_dir")\\Quillbright.scr" >/dev/null
qb_expect_eq "for this user: SCRNSAVE.EXE" "$(reg_value "$desktop" SCRNSAVE.EXE)" "$(qb_get short "$QB_OUT/forms3")"
qb_expect_eq "for this user: the entry under HKCU" "$(reg_value "$user_uninstall_key" InstallLocation)" \
  "$(qb_winpath "$user_dir")"
reg_key_exists "$uninstall_key" && qb_fail "for this user: an entry under HKLM" || qb_pass "for this user: none under HKLM"
qb_expect_eq "for this user: no permissions set" "$(set_permissions install_user)" 0
run_uninstall_limited uninstall_user "$user_dir" "$user_uninstall_key" /RemoveSettings
sleep 0.5
qb_expect_no_file "for this user: uninstalled, the folder gone" "$user_dir"
qb_expect_no_file "for this user, /RemoveSettings: the user's own settings gone" "$user_settings"
qb_expect_eq "for this user: SCRNSAVE.EXE back" "$(reg_value "$desktop" SCRNSAVE.EXE)" 'C:\windows\system32\old.scr'
echo "# for this user alone outside the profile: a folder of the user's own"
run_install install_mine /CurrentUser '/D=C:\QBmine'
qb_driver sd_mine security \
  "$(sed -n 's/.*ConvertStringSecurityDescriptorToSecurityDescriptorW L"\([^"]*\)".*/\1/p' "$QB_OUT/install_mine.err")" >/dev/null
mine=$(qb_get owner "$QB_OUT/sd_mine")
[[ $mine == S-1-5-21-* ]] && qb_pass "outside the profile: owned by the user ($mine)" || qb_fail "outside the profile: owner '$mine'"
qb_expect_eq "outside the profile: the user, SYSTEM and Administrators full control, inheritance off" \
  "$(qb_get protected "$QB_OUT/sd_mine") $(qb_get aces "$QB_OUT/sd_mine")" \
  "1 0:3:001f01ff:$mine 0:3:001f01ff:S-1-5-18 0:3:001f01ff:S-1-5-32-544"
run_uninstall_limited uninstall_mine "$WINEPREFIX/drive_c/QBmine" "$user_uninstall_key"
rm -rf "$WINEPREFIX/drive_c/"{qb-setup.exe,qb-setup-no83.exe,Shared,QBplant,QBuser,QBopen,Open,QBlink,QBtarget,QBdots,QBmine,QBrace,trap}

qb_scenario_end
