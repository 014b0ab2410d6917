#!/usr/bin/env bash
# Where the settings dialog saves, and what it does when it cannot:
# - the program folder cannot be written (Program Files for a standard
#   user): the user's own file takes the save, byte for byte, the program
#   folder's file stays as it was, and /s then plays the WAV chosen there;
# - neither place can be written: the dialog says so, stays open as the
#   user left it, and no file changes;
# - a stored music file on a drive that is not there: shown as stored, and
#   written back unchanged.
set -uo pipefail
source "$(dirname "$0")/lib.sh"
qb_scenario_begin settings_save

local_dir="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local"
[[ -d $local_dir ]] || qb_die "no local application data folder at $local_dir"
user_dir=$local_dir/Quillbright
rm -rf "$user_dir"

dir=$(qb_saver_folder qb_save_locked window=1)
win=$(qb_winpath "$dir")
qb_make_tone "$dir/tone.wav"
preset() { printf '; preset by the administrator\r\n'; qb_ini_bytes "$@"; }
preset 0 0 "" >"$dir/Quillbright.ini"
cp "$dir/Quillbright.ini" "$QB_OUT/program.before"
qb_immutable "$dir/Quillbright.ini" "$dir"

echo "# the program folder cannot be written: the user's own file takes the save"
qb_open_dialog locked "$dir"
qb_click $((PX + 54)) $((PY + 102))  # "MP3、WAV"
qb_choose_file locked "$win\\tone.wav"
qb_dialog_probe locked.repeat set-repeat 7
qb_click_save
qb_expect_dialog_ended locked
preset 2 7 "$win\\tone.wav" >"$QB_OUT/user.expected"
qb_expect_same_file "the user's own file holds the save" "$user_dir/Quillbright.ini" "$QB_OUT/user.expected"
qb_expect_same_file "the program folder's file is as it was" "$dir/Quillbright.ini" "$QB_OUT/program.before"
qb_expect_eq "files in the user's folder" "$(ls "$user_dir" | tr '\n' ' ')" "Quillbright.ini "

echo "# /s reads the user's own file"
qb_use_pulse
qb_saver_heard heard "$win\\Quillbright.scr"
qb_expect_eq "saver exit code" "$(qb_get exit_code "$QB_OUT/heard")" 0
qb_expect_heard "the WAV chosen in the dialog"

echo "# neither place can be written: the dialog says so and stays open"
rm "$user_dir/Quillbright.ini"
qb_immutable "$user_dir"
qb_open_dialog both "$dir"
qb_click $((PX + 50)) $((PY + 62))  # "音楽CD"
qb_click_save
qb_driver both.box msgbox "$QB_APP_CAPTION" 5000
# "設定を保存できませんでした。"
qb_expect_eq "the message" "$(qb_get msgbox_text_hex "$QB_OUT/both.box")" \
  90dd92e882f095db91b682c582ab82dc82b982f182c582b582bd8142
qb_expect_eq "its caption" "$(qb_get msgbox_caption_hex "$QB_OUT/both.box")" "$(qb_hex "$QB_APP_CAPTION")"
qb_dialog_probe both.open wait 2000 && qb_pass "the dialog stays open" || qb_fail "the dialog closed"
qb_shot both
qb_expect_marks "the choice is as the user left it (marks)" both 1
qb_click_cancel
qb_expect_dialog_ended both
qb_expect_same_file "the program folder's file is unchanged" "$dir/Quillbright.ini" "$QB_OUT/program.before"
qb_expect_eq "files in the user's folder" "$(ls -A "$user_dir")" ""
chattr -i "$user_dir"

echo "# a stored music file on a drive that is not there"
dir=$(qb_saver_folder qb_save_away window=1)
qb_write_ini "$dir" 2 3 "$(printf 'Q:\\音楽\\away.wav' | iconv -f UTF-8 -t CP932)"
cp "$dir/Quillbright.ini" "$QB_OUT/away.before"
qb_open_dialog away "$dir"
qb_shot away
qb_expect_marks "the file choice is shown (marks)" away 2
qb_expect_ge "the path is shown (text width inside the frame)" "$(qb_text_width away "365x25+$((PX + 76))+$((PY + 120))")" 60
qb_click_save
qb_expect_dialog_ended away
qb_expect_same_file "the stored choice is written back unchanged" "$dir/Quillbright.ini" "$QB_OUT/away.before"

qb_scenario_end
