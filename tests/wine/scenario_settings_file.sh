#!/usr/bin/env bash
# Quillbright.ini as the saver reads it under Wine: code page 932 key names,
# CRLF lines, Japanese paths, cut values, bad numbers, paths that are not
# files. settings_probe runs the program's own LoadSettings.
set -uo pipefail
source "$(dirname "$0")/lib.sh"
qb_scenario_begin settings_file

root="$WINEPREFIX/drive_c/qb_settings"
rm -rf "$root"
mkdir -p "$root/ソフト"
touch "$root/ソフト/曲.wav"

# Code page 932 bytes: "ソフト" (ソ ends in 5C, a backslash) and "曲".
soft=$'\x83\x5c\x83\x74\x83\x67'
song=$'\x8b\xc8'
music_folder="C:\\qb_settings\\$soft"
music_file="$music_folder\\$song.wav"

# A file whose full path is exactly 255 bytes.
long_dir=$(printf 'a%.0s' $(seq 100))
long_name=$(printf 'b%.0s' $(seq 130)).wav
mkdir -p "$root/long/$long_dir"
touch "$root/long/$long_dir/$long_name"
long_path="C:\\qb_settings\\long\\$long_dir\\$long_name"
[[ ${#long_path} -eq 255 ]] || qb_die "long path is ${#long_path} bytes"

# write_ini CASE KIND REPEAT FILE: the three keys, as the settings dialog
# writes them ("BGM区分", "BGMﾘﾋﾟｰﾄ", "BGMﾌｧｲﾙ").
write_ini() {
  mkdir -p "$root/$1"
  printf '[Section]\r\nBGM\x8b\xe6\x95\xaa=%s\r\nBGM\xd8\xcb\xdf\xb0\xc4=%s\r\nBGM\xcc\xa7\xb2\xd9=%s\r\n' \
    "$2" "$3" "$4" >"$root/$1/Quillbright.ini"
}

# expect CASE KIND REPEAT FILE FOLDER: runs the probe on C:\qb_settings\CASE.
expect() {
  local name=$1 out=$QB_OUT/$1
  qb_wine "$out" 30 "$QB_HELPERS_DIR/settings_probe.exe" "C:\\qb_settings\\$name" ||
    qb_fail "$name: settings_probe failed"
  qb_expect_eq "$name: MusicKind" "$(qb_get MusicKind "$out")" "$2"
  qb_expect_eq "$name: RepeatTrack" "$(qb_get RepeatTrack "$out")" "$3"
  qb_expect_eq "$name: MusicFile" "$(qb_get MusicFile "$out")" "$(qb_hex "$4")"
  qb_expect_eq "$name: MusicFolder" "$(qb_get MusicFolder "$out")" "$(qb_hex "$5")"
}

write_ini good 2 3 "$music_file"
expect good 2 3 "$music_file" "$music_folder"

write_ini cd_track 1 12 ""
expect cd_track 1 12 "" 'C:\qb_settings\cd_track'

write_ini fraction_and_too_big 2.7 40000 "$music_file"
expect fraction_and_too_big 2 0 "$music_file" "$music_folder"

write_ini not_numbers abc xyz "$music_file"
expect not_numbers 0 0 "$music_file" "$music_folder"

mkdir -p "$root/other_keys"
printf '[Section]\r\nSomething=1\r\n[Other]\r\nBGM\x8b\xe6\x95\xaa=2\r\n' >"$root/other_keys/Quillbright.ini"
expect other_keys 0 0 "" 'C:\qb_settings\other_keys'

mkdir -p "$root/no_file"
expect no_file 0 0 "" 'C:\qb_settings\no_file'

write_ini exactly_255 2 0 "$long_path"
expect exactly_255 2 0 "$long_path" "C:\\qb_settings\\long\\$long_dir"

# Only the first 255 bytes count: they name the existing file.
write_ini cut_to_255 2 0 "${long_path}_and_more_bytes_that_are_cut_off"
expect cut_to_255 2 0 "$long_path" "C:\\qb_settings\\long\\$long_dir"

write_ini folder_as_file 2 0 "$music_folder"
expect folder_as_file 0 0 "" 'C:\qb_settings\folder_as_file'

write_ini folder_as_file_slash 2 0 "$music_folder\\"
expect folder_as_file_slash 0 0 "" 'C:\qb_settings\folder_as_file_slash'

write_ini missing_file 2 5 "$music_folder\\none.mp3"
expect missing_file 0 5 "" 'C:\qb_settings\missing_file'

write_ini cd_with_missing_file 1 0 "$music_folder\\none.mp3"
expect cd_with_missing_file 1 0 "" 'C:\qb_settings\cd_with_missing_file'

qb_scenario_end
