#!/usr/bin/env bash
# Faults a user's machine can throw at the saver, on the real build. Each
# case must end cleanly: the saver's process gone within 1.5 s of the
# triggering event, exit code 0, no window of ours left, and no message box
# but the program's own.
set -uo pipefail
source "$(dirname "$0")/lib.sh"
qb_scenario_begin faults

limit=1500
ticks() { echo $(( $2 - $1 )); }

# ended_cleanly NAME: the driver output $QB_OUT/NAME of a finished run.
ended_cleanly() {
  local out=$QB_OUT/$1
  qb_expect_eq "$1: saver exit code" "$(qb_get exit_code "$out")" 0
  qb_expect_eq "$1: no message box" "$(qb_get appbox_seen "$out")" 0
  qb_driver "$1.left" window-info "$QB_SAVER_TITLE" >/dev/null
  qb_expect_eq "$1: no saver window left" "$(qb_get exists "$QB_OUT/$1.left")" 0
}

# saver_run NAME DIR DRIVER-OPTIONS...: /s in DIR, the companion's window
# closed after 1.5 s unless the options say otherwise.
saver_run() {
  local name=$1 dir=$2
  shift 2
  qb_driver "$name" run --timeout 20000 "$@" "$(qb_winpath "$dir")\\Quillbright.scr" /s ||
    qb_fail "$name: driver: $(tr -d '\r' <"$QB_OUT/$name")"
}

write_ini() {  # DIR KIND REPEAT FILE
  printf '[Section]\r\nBGM\x8b\xe6\x95\xaa=%s\r\nBGM\xd8\xcb\xdf\xb0\xc4=%s\r\nBGM\xcc\xa7\xb2\xd9=%s\r\n' \
    "$2" "$3" "$4" >"$1/Quillbright.ini"
}

echo "# the companion crashes after its window appeared"
dir=$(qb_saver_folder qb_fault_crash)
qb_add_standin "$dir" window=1 crash_ms=1000
saver_run crash "$dir"
log=$dir/Quillbright.dll.log
qb_expect_eq "crash: the companion's window appeared" "$(qb_get vc_seen "$QB_OUT/crash")" 1
qb_expect_le "crash: saver gone after the crash (ms)" \
  "$(ticks "$(qb_get crash_tick "$log")" "$(qb_get end_tick "$QB_OUT/crash")")" "$limit"
ended_cleanly crash

echo "# the companion's window is destroyed while its process lives on"
dir=$(qb_saver_folder qb_fault_linger)
qb_add_standin "$dir" window=1 lifetime_ms=1000 linger_ms=4000
saver_run linger "$dir"
log=$dir/Quillbright.dll.log
qb_expect_le "linger: saver gone after the window (ms)" \
  "$(ticks "$(qb_get window_gone_tick "$log")" "$(qb_get end_tick "$QB_OUT/linger")")" "$limit"
qb_expect_eq "linger: the companion's process still ran then" "$(qb_get exit_tick "$log")" ""
ended_cleanly linger

# music_case NAME FILE-NAME: a music file that is not what its name says.
music_case() {
  local name=$1 file=$2 dir
  dir=$(qb_saver_folder "qb_fault_$name")
  qb_add_standin "$dir" window=1
  cp "$QB_OUT/$file" "$dir/$file"
  write_ini "$dir" 2 0 "$(qb_winpath "$dir")\\$file"
  saver_run "$name" "$dir" --close-vc-after 1500
  qb_expect_eq "$name: the companion's window appeared" "$(qb_get vc_seen "$QB_OUT/$name")" 1
  qb_expect_le "$name: saver gone after the companion's window (ms)" \
    "$(qb_get vc_gone_to_end_ms "$QB_OUT/$name")" "$limit"
  ended_cleanly "$name"
}

echo "# music files that are not what their names say"
head -c 65536 /dev/urandom >"$QB_OUT/noise.mp3"
: >"$QB_OUT/empty.mp3"
printf 'RIFF\xff\xff\xff\x7fWAVEfmt \x10\x00\x00\x00\x01\x00' >"$QB_OUT/broken.wav"
head -c 4000 /dev/urandom >>"$QB_OUT/broken.wav"
music_case noise_mp3 noise.mp3
music_case empty_mp3 empty.mp3
music_case broken_wav broken.wav

# settings_case NAME: the settings file already in the folder; the values
# loaded must be valid, and the saver must run and end.
settings_case() {
  local name=$1 dir=$2
  qb_add_standin "$dir" window=1
  qb_wine "$QB_OUT/$name.values" 30 "$QB_HELPERS_DIR/settings_probe.exe" "$(qb_winpath "$dir")" ||
    qb_fail "$name: settings_probe failed"
  local kind file
  kind=$(qb_get MusicKind "$QB_OUT/$name.values")
  file=$(qb_get MusicFile "$QB_OUT/$name.values")
  [[ $kind =~ ^-?[0-9]+$ ]] && qb_pass "$name: loaded, MusicKind=$kind, RepeatTrack=$(qb_get RepeatTrack "$QB_OUT/$name.values")" ||
    qb_fail "$name: no values loaded"
  qb_expect_le "$name: music file bytes (hex digits)" "${#file}" 510
  saver_run "$name" "$dir" --close-vc-after 1500
  qb_expect_le "$name: saver gone after the companion's window (ms)" \
    "$(qb_get vc_gone_to_end_ms "$QB_OUT/$name")" "$limit"
  ended_cleanly "$name"
}

echo "# settings files that are not what the program writes"
dir=$(qb_saver_folder qb_fault_random_ini)
head -c 1048576 /dev/urandom >"$dir/Quillbright.ini"
settings_case random_ini "$dir"
dir=$(qb_saver_folder qb_fault_long_path)
write_ini "$dir" 2 3 "C:\\$(printf 'x%.0s' $(seq 3990)).mp3"
settings_case long_path "$dir"
dir=$(qb_saver_folder qb_fault_bad_sjis)
# Lead bytes without trail bytes, a lead byte before the line end, 0x80/0xA0.
printf '[Section]\r\nBGM\x8b\xe6\x95\xaa=2\x81\r\nBGM\xd8\xcb\xdf\xb0\xc4=\x82\r\nBGM\xcc\xa7\xb2\xd9=C:\\\x81\\\x80\xa0\xfd.wav\x9f\r\nBGM\x8b\r\n' \
  >"$dir/Quillbright.ini"
settings_case bad_sjis "$dir"

echo "# the program folder on long and Japanese paths"
# The longest folder whose programs' paths fit MAX_PATH (259 characters
# with "\Quillbright.scr"): 243 characters. A 250-character folder cannot
# hold a program that the system's ANSI calls start at all.
long=qb_$(printf 'L%.0s' $(seq 237))  # C:\ + 240 characters
dir=$(qb_saver_folder "$long")
qb_add_standin "$dir" window=1
qb_expect_eq "the long folder's path (characters)" "$(( ${#long} + 3 ))" 243
saver_run long_folder "$dir" --close-vc-after 1500
out=$QB_OUT/long_folder
qb_expect_eq "long folder: the companion's window appeared" "$(qb_get vc_seen "$out")" 1
qb_expect_le "long folder: saver gone after the companion's window (ms)" "$(qb_get vc_gone_to_end_ms "$out")" "$limit"
ended_cleanly long_folder
rm -rf "$dir"

# "表示" (95 5C, 8E A6): the first character's trail byte is a backslash.
dir=$(qb_saver_folder "qb_表示")
qb_add_standin "$dir" window=1
saver_run sjis_folder "$dir" --close-vc-after 1500
qb_expect_eq "Japanese folder: the companion's window appeared" "$(qb_get vc_seen "$QB_OUT/sjis_folder")" 1
qb_expect_le "Japanese folder: saver gone after the companion's window (ms)" \
  "$(qb_get vc_gone_to_end_ms "$QB_OUT/sjis_folder")" "$limit"
ended_cleanly sjis_folder

echo "# saving from the settings dialog while the settings file is read-only"
dir=$(qb_saver_folder qb_fault_readonly)
qb_add_standin "$dir" window=1
write_ini "$dir" 1 5 ""
cp "$dir/Quillbright.ini" "$QB_OUT/readonly.before"
# Read-only for root too (Wine as root writes past the mode bits); where the
# file system cannot, the mode bits are the best there is.
# Undone however the scenario ends, or the prefix could not be deleted.
trap "chattr -i $(printf %q "$dir/Quillbright.ini") 2>/dev/null" EXIT
chattr +i "$dir/Quillbright.ini" 2>/dev/null || chmod a-w "$dir/Quillbright.ini"
probe=$QB_HELPERS_DIR/dialog_probe.exe
qb_wine "$QB_OUT/readonly.run" 60 "$dir/Quillbright.scr" /c &
dialog=$!
qb_wine "$QB_OUT/readonly.wait" 30 "$probe" wait 15000 || qb_fail "readonly: the dialog did not appear"
qb_wine "$QB_OUT/readonly.info" 30 "$probe" info
origin=$(qb_get client_origin "$QB_OUT/readonly.info")
cx=${origin%,*} cy=${origin#*,}
qb_wine "$QB_OUT/readonly.repeat" 30 "$probe" set-repeat 12
xdotool mousemove $((cx + 362)) $((cy + 212)) click 1  # 設定
sleep 1
cmp -s "$dir/Quillbright.ini" "$QB_OUT/readonly.before" && qb_pass "read-only: the settings file is unchanged" ||
  qb_fail "read-only: the settings file was changed"
if kill -0 "$dialog" 2>/dev/null; then
  echo "read-only: after 設定 the dialog stays open; closing it with ｷｬﾝｾﾙ"
  xdotool mousemove $((cx + 442)) $((cy + 212)) click 1  # ｷｬﾝｾﾙ
else
  echo "read-only: after 設定 the dialog closed"
fi
if qb_wait_gone "$dialog" 5; then
  qb_pass "read-only: the dialog's process ended"
  wait "$dialog" 2>/dev/null
else
  qb_fail "read-only: the dialog's process did not end"
fi
qb_driver readonly.box window-info "$QB_APP_CAPTION" >/dev/null
qb_expect_eq "read-only: no message box" "$(qb_get exists "$QB_OUT/readonly.box")" 0
chattr -i "$dir/Quillbright.ini" 2>/dev/null
chmod u+w "$dir/Quillbright.ini"

qb_scenario_end
