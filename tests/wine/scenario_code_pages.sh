#!/usr/bin/env bash
# The program on Japanese (932), English (1252) and Chinese (936) systems
# alike: the settings dialog the same to the pixel with a stored path in
# C:\音楽\, a save the same to the byte, the message box's text exactly,
# program folders named in other scripts starting the companion, a WAV in
# C:\音楽\ heard; and on the English system a file with accented letters,
# chosen through the dialog, heard after 設定.
set -uo pipefail
source "$(dirname "$0")/lib.sh"
qb_scenario_begin code_pages
locales=(ja_JP en_US zh_CN)
qb_on_exit "qb_use_locale ja_JP"

qb_use_pulse

# C:\音楽\tone.wav, and its path as the settings file holds it.
rm -rf "$WINEPREFIX/drive_c/音楽" "$WINEPREFIX/drive_c/Musique"
mkdir -p "$WINEPREFIX/drive_c/音楽" "$WINEPREFIX/drive_c/Musique"
qb_make_tone "$WINEPREFIX/drive_c/音楽/tone.wav"
cp "$WINEPREFIX/drive_c/音楽/tone.wav" "$WINEPREFIX/drive_c/Musique/Été à Noël.wav"
stored=$(printf 'C:\\音楽\\tone.wav' | iconv -f UTF-8 -t CP932)

dialog_dir=$(qb_saver_folder qb_cp_dialog window=1)
nodll_dir=$(qb_saver_folder qb_cp_nodll)
for name in qb_Café qb_Скрины qb_音楽; do
  dir=$(qb_saver_folder "$name" window=1)
  qb_write_ini "$dir" 2 0 "$stored"
done
# "Quillbright.dll が同じﾌｫﾙﾀﾞに見つかりません！" as UTF-16
missing_utf16=5100750069006c006c006200720069006700680074002e0064006c006c0020004c300c5458308cff6bff99ff80ff9eff6b308b8964304b308a307e305b30933001ff

for locale in "${locales[@]}"; do
  echo "# $locale"
  qb_use_locale "$locale"

  qb_write_ini "$dialog_dir" 2 3 "$stored"
  qb_open_dialog "dialog_$locale" "$dialog_dir"
  qb_shot_client "dialog_$locale"
  [[ $locale == ja_JP ]] || qb_expect_eq "$locale: dialog pixels that differ from the Japanese system's" \
    "$(qb_pixels_off "$QB_OUT/dialog_$locale.client.png" 496x246+0+0 "$QB_OUT/dialog_ja_JP.client.png")" 0
  qb_click $((PX + 50)) $((PY + 82))  # "なし"
  qb_dialog_probe "repeat_$locale" set-repeat 7
  qb_click_save
  qb_expect_dialog_ended "dialog_$locale"
  cp "$dialog_dir/Quillbright.ini" "$QB_OUT/saved_$locale.ini"
  [[ $locale == ja_JP ]] || qb_expect_same_file "$locale: the save wrote the Japanese system's bytes" \
    "$QB_OUT/saved_$locale.ini" "$QB_OUT/saved_ja_JP.ini"

  qb_driver "box_$locale" run --timeout 10000 --msgbox "$QB_APP_CAPTION" "$(qb_winpath "$nodll_dir")\\Quillbright.scr" /s
  qb_expect_eq "$locale: the message as UTF-16" "$(qb_get msgbox_text_utf16 "$QB_OUT/box_$locale")" "$missing_utf16"

  for name in qb_Café qb_Скрины; do
    qb_run_saver "start_${locale}_$name" --timeout 10000 --close-vc-after 1000 \
      "$(qb_winpath "$WINEPREFIX/drive_c/$name")\\Quillbright.scr" /s
    qb_expect_followed "start_${locale}_$name" "$locale: $name"
  done
  qb_saver_heard "heard_$locale" 'C:\qb_音楽\Quillbright.scr'
  qb_expect_eq "$locale: qb_音楽 starts the companion" "$(qb_get vc_seen "$QB_OUT/heard_$locale")" 1
  qb_expect_heard "$locale: the WAV in C:\\音楽\\"
done

echo "# en_US: \"Été à Noël.wav\" chosen through the dialog, then heard"
qb_use_locale en_US
dir=$(qb_saver_folder qb_cp_pick window=1)
qb_open_dialog pick "$dir"
qb_click $((PX + 54)) $((PY + 102))  # "MP3、WAV"
qb_click $((CX + 60)) $((CY + 142))  # "..."
qb_dialog_probe pick.chooser wait-title "ﾌｧｲﾙを開く" 10000 || qb_fail "the file-open dialog did not open"
qb_dialog_probe pick.choose choose-file "ﾌｧｲﾙを開く" 'C:\Musique\Été à Noël.wav'
qb_dialog_probe pick.gone wait-title "ﾌｧｲﾙを開く" 10000 gone || qb_fail "the file-open dialog stayed open"
qb_click_save
qb_expect_dialog_ended pick
echo "stored: $(qb_get "BGM$(printf '\xcc\xa7\xb2\xd9')" "$dir/Quillbright.ini" | iconv -f CP932 -t UTF-8)"
qb_saver_heard picked "$(qb_winpath "$dir")\\Quillbright.scr"
qb_expect_heard "the file chosen on the English system"

qb_scenario_end
