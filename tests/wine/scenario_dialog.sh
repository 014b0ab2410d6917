#!/usr/bin/env bash
# The settings dialog (/c) on the real executable: its frame, size and
# placement; its painting on screenshots (gradient rows, the texture's
# period and cut, the choice marks, the file button's enabled look, the
# Japanese labels); covering and uncovering; the music choice by any mouse
# button; a file chosen through the real file-open dialog; the exact bytes
# the save writes; cancel and the close box writing nothing; releases over
# the buttons of presses that began elsewhere clicking nothing; a hand-written
# kind of 7; the saved choice heard in the next saver run; and the layout
# and picture at 144 dpi, on start and on a move from a monitor of 96 dpi.
set -uo pipefail
source "$(dirname "$0")/lib.sh"
qb_scenario_begin dialog

texture=$QB_SOURCE_DIR/src/resources/dialog_texture.bmp
dir=$(qb_saver_folder qb_dialog window=1)
win=$(qb_winpath "$dir")
scr="$win\\Quillbright.scr"
qb_make_tone "$dir/tone.wav"
cp "$dir/tone.wav" "$dir/pick.wav"

# Pixels that differ between a region WxH+X+Y of screenshot SHOT and another
# picture's region (default: the same region).
differing() { qb_pixels_off "$QB_OUT/$1.png" "${@:2}"; }  # SHOT GEOMETRY OTHER [OTHER-GEOMETRY]

# The top edge of the "..." button: the Normal and Disable pictures' borders.
file_button_look() {
  case $(qb_pixel "$1" $((CX + 60)) $((CY + 133))) in
    0,60,116) echo enabled ;;
    201,199,186) echo disabled ;;
    *) echo "unknown ($(qb_pixel "$1" $((CX + 60)) $((CY + 133))))" ;;
  esac
}

# ------------------------------------------------------------------------
echo "# kind 1, repeat 5: the window, its painting and the choices"
qb_ini_bytes 1 5 "$win\\tone.wav" >"$dir/Quillbright.ini"
qb_open_dialog cd "$dir"
info=$QB_OUT/cd.info
qb_expect_eq "title" "$(qb_get title_hex "$info")" "$(qb_hex '<Quillbright>')"
qb_expect_eq "window class" "$(qb_get class "$info")" Quillbright_P
style=$((0x$(qb_get style "$info")))
qb_expect_eq "caption and close box" $((style & 0xC80000)) $((0xC80000))
qb_expect_eq "no sizing border, minimise or maximise box" $((style & 0x70000)) 0
qb_expect_eq "no owner window" "$(qb_get owner "$info")" 0
qb_expect_eq "client size" "$(qb_get client_size "$info")" 496x246
# The window in probe output INFO is centred across, with a third of the
# free height above it.
expect_placed() {  # INFO
  local size screen w h sw sh left top rect
  size=$(qb_get outer_size "$1") screen=$(qb_get screen "$1")
  w=${size%x*} h=${size#*x} sw=${screen%x*} sh=${screen#*x}
  left=$(awk -v t=$(((sw - w) * 15 / 2)) 'BEGIN { printf "%.0f", t / 15 }')
  top=$(awk -v t=$(((sh - h) * 15 / 3)) 'BEGIN { printf "%.0f", t / 15 }')
  rect=$(qb_get rect "$1")
  qb_expect_eq "placed centred, a third of the free height down (${size} on ${screen})" \
    "${rect%,*,*}" "$left,$top"
}
expect_placed "$info"
qb_expect_eq "panel" "$(qb_get panel_rect "$info")" 12,16,481,181
qb_expect_eq "save button" "$(qb_get command_1_rect "$info")" 324,200,401,225
qb_expect_eq "cancel button" "$(qb_get command_2_rect "$info")" 404,200,481,225
qb_expect_eq "file button" "$(qb_get command_3_rect "$info")" 40,132,81,153
combo=$(qb_get combo_rect "$info")
IFS=, read -r l t r b <<<"$combo"
qb_expect_eq "repeat box at" "$l,$t,$((r - l))" 124,68,41
qb_expect_le "repeat box height off the design's 20 by" "$(( (b - t - 20) * (b - t - 20) ))" 4
qb_expect_eq "repeat box enabled" "$(qb_get combo_enabled "$info")" 1
qb_expect_eq "repeat box text" "$(qb_get combo_text_hex "$info")" "$(qb_hex 5)"
qb_expect_eq "repeat list entries" "$(qb_get combo_count "$info")" 31
qb_expect_eq "repeat list: first, second, last" \
  "$(qb_get combo_first "$info")$(qb_get combo_second "$info")$(qb_get combo_last "$info")" "[][1][30]"

qb_shot_client cd
for row in 0:0,0,30 1:3,3,33 118:220,220,250 123:220,220,250 128:220,220,250 245:3,3,33; do
  qb_expect_eq "gradient row ${row%%:*} (left and right of the panel)" \
    "$(qb_pixel cd $((CX + 5)) $((CY + ${row%%:*}))) $(qb_pixel cd $((CX + 490)) $((CY + ${row%%:*})))" \
    "${row#*:} ${row#*:}"
done
qb_expect_eq "gradient rows 117 and 129" "$(qb_pixel cd $((CX + 5)) $((CY + 117))) $(qb_pixel cd $((CX + 5)) $((CY + 129)))" \
  "219,219,249 219,219,249"
for y in 0 20 40 60 80; do
  qb_expect_eq "panel rows $y-$((y + 19)), columns 240-468: the texture strip" \
    "$(differing cd "229x20+$((PX + 240))+$((PY + y))" "$texture" 229x20+240+0)" 0
done
# Cut at 469 pixels: the column beyond the panel is the window's gradient.
qb_expect_eq "panel column 468 is the strip's" "$(differing cd "1x20+$((PX + 468))+$PY" "$texture" 1x20+468+0)" 0
qb_expect_eq "column 469 is the gradient (rows 16, 40)" \
  "$(qb_pixel cd $((PX + 469)) $((PY + 0))) $(qb_pixel cd $((PX + 469)) $((PY + 24)))" "45,45,75 108,108,138"
qb_expect_marks "marks of kinds 0, 1, 2" cd 1
qb_expect_eq "\"...\" looks disabled" "$(file_button_look cd)" disabled
# The labels in the mapped Japanese face: "音楽CD" and "曲目をﾘﾋﾟｰﾄ" at about
# their design widths (43 and 66 pixels).
w1=$(qb_text_width cd "70x14+$((PX + 44))+$((PY + 56))")
w2=$(qb_text_width cd "90x14+$((PX + 156))+$((PY + 56))")
qb_expect_le "\"音楽CD\" width $w1 off 43 by" "$(( (w1 - 43) * (w1 - 43) ))" 9
qb_expect_le "\"曲目をﾘﾋﾟｰﾄ\" width $w2 off 66 by" "$(( (w2 - 66) * (w2 - 66) ))" 25

# Tab walks the panel, the repeat box and the three buttons, in that order.
tab_walk() {  # NAME COUNT: the focus now, then after each of COUNT tabs
  local name=$1 i walk
  qb_dialog_probe "$name.focus0" focus
  walk=$(qb_get focus "$QB_OUT/$name.focus0")
  for i in $(seq "$2"); do
    xdotool key Tab
    sleep 0.2
    qb_dialog_probe "$name.focus$i" focus
    walk="$walk $(qb_get focus "$QB_OUT/$name.focus$i")"
  done
  echo "$walk"
}
qb_expect_eq "tab order" "$(tab_walk cd 5)" \
  "Quillbright_P.Pic_C combo command_3 command_1 command_2 Quillbright_P.Pic_C"

echo "# covering and uncovering keeps the painting"
qb_shot cd_before_cover
qb_dialog_probe cover cover 800
qb_shot cd_uncovered
qb_expect_eq "client area pixels changed by covering" \
  "$(differing cd_uncovered "496x246+$CX+$CY" "$QB_OUT/cd_before_cover.png")" 0

echo "# moved to a monitor of 144 dpi and back (WM_DPICHANGED, the frame as Wine draws it)"
size=$(qb_get outer_size "$info")
qb_dialog_probe to144 dpi-changed 144 $((${size%x*} + 248)) $((${size#*x} + 123))
qb_dialog_probe moved.info info
qb_expect_eq "client, panel, repeat box, \"...\" and ｷｬﾝｾﾙ at 144 dpi" \
  "$(for key in client_size panel_rect combo_rect command_3_rect command_2_rect; do qb_get $key "$QB_OUT/moved.info"; done | paste -sd' ')" \
  "744x369 18,24,722,272 186,102,248,134 60,198,122,230 606,300,722,338"
qb_dialog_probe to96 dpi-changed 96 "${size%x*}" "${size#*x}"
qb_shot cd_back
qb_expect_eq "back at 96 dpi: client area pixels changed" \
  "$(differing cd_back "496x246+$CX+$CY" "$QB_OUT/cd_before_cover.png")" 0

echo "# any mouse button on a mark or its label chooses"
qb_click $((PX + 50)) $((PY + 82)) 3  # right button on "なし"
qb_shot none
qb_dialog_probe none.info info
qb_expect_marks "right press on \"なし\": marks" none 0
qb_expect_eq "repeat box disabled, text kept" \
  "$(qb_get combo_enabled "$QB_OUT/none.info") $(qb_get combo_text_hex "$QB_OUT/none.info")" "0 $(qb_hex 5)"
qb_click $((PX + 54)) $((PY + 102))  # "MP3、WAV"
qb_shot file
qb_expect_marks "press on \"MP3、WAV\": marks" file 2
qb_expect_eq "\"...\" enabled" "$(file_button_look file)" enabled
qb_click $((PX + 34)) $((PY + 62))  # the CD mark itself
qb_shot cd_again
qb_expect_marks "press on the CD mark: marks" cd_again 1
qb_expect_eq "\"...\" disabled again" "$(file_button_look cd_again)" disabled
qb_click $((PX + 34)) $((PY + 102))

echo "# a file chosen through the file-open dialog"
qb_choose_file chosen "$win\\pick.wav"
qb_expect_eq "it is owned by the settings dialog" "$(qb_get owner_is_dialog "$QB_OUT/chosen.chooser")" 1
qb_shot chosen
qb_expect_ge "the path label changed (pixels)" \
  "$(differing chosen "373x33+$((PX + 72))+$((PY + 116))" "$QB_OUT/file.png")" 20

echo "# save: the three keys, in order, exact bytes"
qb_dialog_probe repeat set-repeat 12
qb_click_save
qb_expect_dialog_ended save
qb_ini_bytes 2 12 "$win\\pick.wav" >"$QB_OUT/expected.ini"
qb_expect_same_file "the settings file holds kind 2, repeat 12 and the chosen file, byte for byte" \
  "$dir/Quillbright.ini" "$QB_OUT/expected.ini"
cp "$dir/Quillbright.ini" "$QB_OUT/saved.ini"

# ------------------------------------------------------------------------
echo "# cancel and the close box write nothing"
for how in cancel closebox; do
  qb_ini_bytes 1 3 "$win\\tone.wav" >"$dir/Quillbright.ini"
  cp "$dir/Quillbright.ini" "$QB_OUT/before.ini"
  qb_open_dialog "$how" "$dir"
  qb_click $((PX + 54)) $((PY + 102))
  qb_dialog_probe "$how.repeat" set-repeat 9
  if [[ $how == cancel ]]; then
    qb_click_cancel
  else
    qb_dialog_probe closebox.point close-box
    point=$(qb_get close_box "$QB_OUT/closebox.point")
    qb_click "${point%,*}" "${point#*,}"
  fi
  qb_expect_dialog_ended "$how"
  qb_expect_same_file "$how: the settings file is unchanged" "$dir/Quillbright.ini" "$QB_OUT/before.ini"
done

# ------------------------------------------------------------------------
echo "# a release over 設定 or ｷｬﾝｾﾙ clicks only when the press began on it"
qb_ini_bytes 1 3 "$win\\tone.wav" >"$dir/Quillbright.ini"
cp "$dir/Quillbright.ini" "$QB_OUT/before.ini"
qb_open_dialog press "$dir"
qb_dialog_probe press.repeat set-repeat 9  # what a save would write
qb_shot press_start
save_x=$((CX + 362)) cancel_x=$((CX + 442)) buttons_y=$((CY + 212))
save_face="77x25+$((CX + 324))+$((CY + 200))"
# drag MOUSE-BUTTON FROM-X FROM-Y TO-X TO-Y SECONDS [SHOT]: a press at one
# point released at the other SECONDS after getting there (SHOT: a
# screenshot just before the release).
drag() {
  xdotool mousemove "$2" "$3" mousedown "$1"
  sleep 0.2
  xdotool mousemove "$4" "$5"
  sleep "$6"
  [[ -n ${7:-} ]] && qb_snap "$7"
  xdotool mouseup "$1"
  sleep 0.5
}
nothing_clicked() {
  kill -0 "$QB_DIALOG_PID" 2>/dev/null && qb_pass "$1: the dialog is still open" || qb_fail "$1: the dialog closed"
  qb_expect_same_file "$1: nothing saved" "$dir/Quillbright.ini" "$QB_OUT/before.ini"
}
drag 1 $((CX + 200)) "$buttons_y" "$save_x" "$buttons_y" 0.4 press_held
qb_expect_eq "a press from the background held over 設定 does not light it up (pixels off)" \
  "$(differing press_held "$save_face" "$QB_OUT/press_start.png")" 0
nothing_clicked "left press on the background, released over 設定"
drag 3 $((CX + 200)) "$buttons_y" "$save_x" "$buttons_y" 0.4
nothing_clicked "right press on the background, released over 設定"
drag 1 $((PX + 50)) $((PY + 82)) "$save_x" "$buttons_y" 0.4 press_none_held
qb_expect_eq "a press from \"なし\" held over 設定 does not light it up (pixels off)" \
  "$(differing press_none_held "$save_face" "$QB_OUT/press_start.png")" 0
nothing_clicked "press on \"なし\", released over 設定"
qb_shot press_none
qb_expect_marks "that press chose \"なし\": marks" press_none 0
drag 1 "$save_x" "$buttons_y" "$cancel_x" "$buttons_y" 0.4
nothing_clicked "press on 設定, released over ｷｬﾝｾﾙ"
drag 1 "$cancel_x" "$buttons_y" "$save_x" "$buttons_y" 0.05
nothing_clicked "press on ｷｬﾝｾﾙ, released over 設定 within a pointer tick"
qb_click "$cancel_x" "$buttons_y"
qb_expect_dialog_ended "a click on ｷｬﾝｾﾙ after them"
qb_expect_same_file "and nothing was saved" "$dir/Quillbright.ini" "$QB_OUT/before.ini"

# ------------------------------------------------------------------------
echo "# a kind of 7: no mark, saved back as 7; a repeat beyond 16 bits saves 0"
qb_ini_bytes 7 0 "$win\\tone.wav" >"$dir/Quillbright.ini"
qb_open_dialog seven "$dir"
qb_shot seven
qb_expect_marks "marks of kinds 0, 1, 2" seven none
qb_expect_eq "repeat box disabled and empty" \
  "$(qb_get combo_enabled "$QB_OUT/seven.info") $(qb_get combo_text_hex "$QB_OUT/seven.info")" "0 "
qb_expect_eq "\"...\" looks disabled" "$(file_button_look seven)" disabled
qb_expect_eq "tab order skips the disabled repeat box" "$(tab_walk seven 2)" \
  "Quillbright_P.Pic_C command_3 command_1"
qb_dialog_probe seven.repeat set-repeat 40000
qb_click_save
qb_expect_dialog_ended seven
qb_ini_bytes 7 0 "$win\\tone.wav" >"$QB_OUT/expected7.ini"
qb_expect_same_file "all three keys written: 7, 0 and the file" "$dir/Quillbright.ini" "$QB_OUT/expected7.ini"

# ------------------------------------------------------------------------
echo "# end to end: the file saved through the dialog is what /s plays"
cp "$QB_OUT/saved.ini" "$dir/Quillbright.ini"
qb_use_pulse
qb_saver_heard saver "$scr"
qb_expect_eq "saver exit code" "$(qb_get exit_code "$QB_OUT/saver")" 0
qb_expect_heard "the chosen WAV"

# ------------------------------------------------------------------------
echo "# at 144 dpi: half as large again, centred, and the picture of 96 dpi"
qb_ini_bytes 1 5 "$win\\tone.wav" >"$dir/Quillbright.ini"
qb_use_dpi 144
qb_on_exit "qb_use_dpi 96"  # for the scenarios after this one
qb_open_dialog dpi144 "$dir"
size=$(qb_get client_size "$QB_OUT/dpi144.info")
w=$((${size%x*} - 744)) h=$((${size#*x} - 369))
qb_expect_le "client size $size off 744x369 by (larger axis, squared)" $((w * w > h * h ? w * w : h * h)) 4
expect_placed "$QB_OUT/dpi144.info"
qb_shot dpi144
# Shrunk back and softened, as the eye sees it: text and one-pixel lines
# differ a little (0.016 measured), a layout fixed at 96 dpi a lot (0.042).
convert "$QB_OUT/dpi144.png" -crop "$size+$CX+$CY" +repage -resize '496x246!' -blur 0x2 "$QB_OUT/dpi144.back.png"
convert "$QB_OUT/cd.client.png" -blur 0x2 "$QB_OUT/cd.soft.png"
qb_expect_le "its picture shrunk back off the 96-dpi one (RMSE, per mille)" \
  "$(qb_rmse_permille "$QB_OUT/dpi144.back.png" "$QB_OUT/cd.soft.png")" 30
qb_click $((CX + 664)) $((CY + 319))  # ｷｬﾝｾﾙ, where 144 dpi puts it
qb_expect_dialog_ended dpi144

qb_scenario_end
