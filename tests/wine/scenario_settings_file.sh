#!/usr/bin/env bash
# Quillbright.ini as the saver reads it under Wine: code page 932 key names,
# CRLF lines, Japanese paths, cut values, bad numbers, paths that are not
# files (settings_probe runs the program's own LoadSettings); then the
# program's reader and writer against the system's profile functions.
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
  qb_write_ini "$root/$1" "$2" "$3" "$4"
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

echo "# the program's reader against GetPrivateProfileStringA, file by file"
reads=$QB_OUT/reads
mkdir -p "$reads"
K='BGM\x8b\xe6\x95\xaa' R='BGM\xd8\xcb\xdf\xb0\xc4' F='BGM\xcc\xa7\xb2\xd9'
n=0
# The file as an editor saves it in UTF-16 ("Unicode"): UTF-16LE with its
# mark, first a line of characters code page 932 lacks. A filter, which
# read_case and write_case apply when `filter` names it.
as_utf16() {
  printf '\xff\xfe'
  { printf '; \xe2\x82\xac \xf0\x9f\x8e\xb5\r\n'; iconv -f CP932 -t UTF-8; } | iconv -f UTF-8 -t UTF-16LE
}
read_case() {  # a printf format: the file's bytes
  n=$((n + 1))
  # shellcheck disable=SC2059
  printf "$1" | ${filter:-cat} >"$reads/$n.ini"
}
read_case "[Section]\r\n$K=2\r\n$R=3\r\n$F=C:\\\\a.wav\r\n"
read_case "[Section]\n$K=2\n$R=3\n$F=C:\\\\a.wav"
read_case "[Section]\r$K=2\r$R=3\r"
read_case "\r\n\n\x1a [ Section ] x\n\n \t$K \t=\t 2 \t\n\n\x1a$R\x1a=\x1a3\x0b\x0c\n"
read_case "[SECTION]\nbgm\x8b\xe6\x95\xaa=2\nBgm\xd8\xcb\xdf\xb0\xc4=3\n"
read_case "[Section]\n$K\n$K=1\n$R=3\n$R=4\n"
read_case ";$K=1\n[A]\n$K=7\n[Section]\n;$K=8\n$R=5\n[B]\n$K=9\n[section]\n$K=2\n"
read_case "[Section\n$K=2\n"
read_case "[Section]\n$K=\"2 \"\n$R='3'\n$F=\"x'\n"
read_case "[Section]\n$K=\"\n$R=\"\"\n$F=''\n"
read_case "[Section]\n$K=\x81\x40 2\n$R=3\x81\x40\n"
read_case "[Sect\x81]ion]\n$K=2\n"
read_case "[Section]\n$K=2\x81\n$R=3\n$F=\x9f"
read_case "[Section]\n$K=2\x00 3\n$R\x00x=4\n$F=a\x81\x00b\n"
read_case ""
read_case "[Section]\n$F=$(printf 'x%.0s' $(seq 300))\n$R=\"$(printf 'q%.0s' $(seq 255))\"\n"
read_case "[Section]\n$F=$(printf '\\x89\\xb9%.0s' $(seq 200))\n$R=\"$(printf 'q%.0s' $(seq 254))\"\n"
read_case "[Section]\n$K=\x81\x20\x85\x40\xed\x40\x87\x90\xa0\xfd\x80\n"
filter=as_utf16 read_case "[section]\r\n$K=2\r\n$R= \"3\" \r\n$F=C:\\\\\x89\xb9\x8a\x79\\\\a.wav\r\n"
filter=as_utf16 read_case "[A]\n$K=1\n"
# Random bytes, after a line that keeps them from reading as UTF-16.
{ printf 'x\n[Section]\n'; head -c 4000 /dev/urandom; printf '\n%s\n' "$(printf "$K")=1"; } >"$reads/random.ini"
cp "$QB_SOURCE_DIR"/fuzz/corpus/settings/* "$reads/"
files=()
for f in "$reads"/*; do files+=("$(qb_winpath "$f")"); done
qb_wine "$QB_OUT/reads.out" 60 "$QB_HELPERS_DIR/settings_probe.exe" read "${files[@]}" ||
  qb_fail "settings_probe read failed"
qb_expect_eq "files read both ways" "$(qb_get read_files "$QB_OUT/reads.out")" "${#files[@]}"
differing=$(qb_get read_differing "$QB_OUT/reads.out")
qb_expect_eq "values that read differently" "$differing" 0
[[ $differing == 0 ]] || grep -a '^differ' "$QB_OUT/reads.out"
echo "values whose bytes differ (a pair that is no character, or a twin code): $(qb_get read_bytes_differing "$QB_OUT/reads.out")"

echo "# the program's save against WritePrivateProfileStringA three times"
writes=$QB_OUT/writes
mkdir -p "$writes"
write_case() {  # NAME FORMAT [KIND REPEAT FILE]: a file in the system's own form
  local name=$1 out=$QB_OUT/write_$1
  # shellcheck disable=SC2059
  printf "$2" | ${filter:-cat} >"$writes/$name.ini"
  qb_wine "$out" 30 "$QB_HELPERS_DIR/settings_probe.exe" write "$(qb_winpath "$writes/$name.ini")" \
    "${3:-2}" "${4:-12}" "${5:-C:\\音楽\\a b.wav}" || qb_fail "$name: settings_probe write failed"
  qb_expect_eq "$name: the same bytes" "$(qb_get write "$out")" same
  [[ $(qb_get write "$out") == same ]] || qb_show "$out"
}
write_case no_file ""
write_case own "[Section]\r\n$K=0\r\n$R=0\r\n$F=\r\n"
write_case around ";top\r\nx=1\r\n[A]\r\n$K=7\r\n[Section]\r\n;c\r\nbgm\x8b\xe6\x95\xaa=1\r\nother=x\r\n$K=5\r\n[B]\r\ny=2\r\n[section]\r\n$R=9\r\n"
write_case no_section "[Other]\r\nx=1\r\n"
write_case some_keys "[section]\r\n$F=C:\\\\old.mp3\r\nz=0\r\n[Z]\r\n" -3 0 'C:\a.mp3'
filter=as_utf16 write_case utf16 "[Section]\r\n$K=0\r\n$R=0\r\n$F=C:\\\\old.mp3\r\n[B]\r\ny=2\r\n"
filter=as_utf16 write_case utf16_no_section "[Other]\r\nx=1\r\n"

qb_scenario_end
