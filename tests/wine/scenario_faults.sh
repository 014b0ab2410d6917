#!/usr/bin/env bash
# Faults a user's machine can throw at the saver, on the real build. Each
# case must end cleanly: the saver's process gone within 1.5 s of the
# triggering event, exit code 0, no window of ours left, and no message box
# but the program's own. (Saves that cannot be written: scenario
# settings_save.)
set -uo pipefail
source "$(dirname "$0")/lib.sh"
qb_scenario_begin faults

limit=1500

# saver_run NAME DIR DRIVER-OPTIONS...: /s in DIR, then the checks every
# case keeps: the companion's window appeared, the saver followed it within
# the limit (exit code 0), with no message box and no window of its left.
saver_run() {
  local name=$1 dir=$2
  shift 2
  qb_run_saver "$name" --timeout 20000 "$@" "$(qb_winpath "$dir")\\Quillbright.scr" /s
  qb_expect_followed "$name" "$name" "$limit"
  qb_expect_eq "$name: no message box" "$(qb_get appbox_seen "$QB_OUT/$name")" 0
  qb_driver "$name.left" window-info "$QB_SAVER_TITLE" >/dev/null
  qb_expect_eq "$name: no saver window left" "$(qb_get exists "$QB_OUT/$name.left")" 0
}

echo "# the companion crashes after its window appeared"
dir=$(qb_saver_folder qb_fault_crash window=1 crash_ms=1000)
saver_run crash "$dir"
qb_expect_le "crash: saver gone after the crash (ms)" \
  "$(qb_tick_to_end crash_tick "$dir/Quillbright.dll.log" crash)" "$limit"

echo "# the companion's window is destroyed while its process lives on"
dir=$(qb_saver_folder qb_fault_linger window=1 lifetime_ms=1000 linger_ms=4000)
saver_run linger "$dir"
log=$dir/Quillbright.dll.log
qb_expect_le "linger: saver gone after the window (ms)" "$(qb_tick_to_end window_gone_tick "$log" linger)" "$limit"
qb_expect_eq "linger: the companion's process still ran then" "$(qb_get exit_tick "$log")" ""

# music_case NAME FILE-NAME: a music file that is not what its name says.
music_case() {
  local name=$1 file=$2 dir
  dir=$(qb_saver_folder "qb_fault_$name" window=1)
  cp "$QB_OUT/$file" "$dir/$file"
  qb_write_ini "$dir" 2 0 "$(qb_winpath "$dir")\\$file"
  saver_run "$name" "$dir" --close-vc-after 1500
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
}

echo "# settings files that are not what the program writes"
dir=$(qb_saver_folder qb_fault_random_ini)
head -c 1048576 /dev/urandom >"$dir/Quillbright.ini"
settings_case random_ini "$dir"
dir=$(qb_saver_folder qb_fault_long_path)
qb_write_ini "$dir" 2 3 "C:\\$(printf 'x%.0s' $(seq 3990)).mp3"
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
dir=$(qb_saver_folder "$long" window=1)
qb_expect_eq "the long folder's path (characters)" "$(( ${#long} + 3 ))" 243
saver_run long_folder "$dir" --close-vc-after 1500
rm -rf "$dir"

# "表示" (95 5C, 8E A6): the first character's trail byte is a backslash.
dir=$(qb_saver_folder "qb_表示" window=1)
saver_run japanese_folder "$dir" --close-vc-after 1500

qb_scenario_end
