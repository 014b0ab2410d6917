#!/usr/bin/env bash
# DLLs planted beside both programs under the names of the system DLLs
# that are not known DLLs (winmm, msimg32), with Wine told to prefer a DLL
# beside the program as Windows does for those: neither program ever loads
# them (each planted DLL records every process that does), and the saver's
# music still plays, the presentation shows and the settings dialog paints
# its skinned buttons.
set -uo pipefail
source "$(dirname "$0")/lib.sh"
qb_scenario_begin planted_dlls

planted=$QB_HELPERS_DIR/planted
overrides="$WINEDLLOVERRIDES;winmm,msimg32=n,b"

# A folder with the program pair, the planted DLLs and the music file EXT.
plant() {
  local name=$1 ext=$2
  dir=$(qb_saver_folder "$name")
  cp "$QB_BUILD_DIR/Quillbright.dll" "$planted/winmm.dll" "$planted/msimg32.dll" "$dir/"
  cp "$QB_OUT/tone.$ext" "$dir/"
  qb_write_ini "$dir" 2 0 "$(qb_winpath "$dir")\\tone.$ext"
  scr="$(qb_winpath "$dir")\\Quillbright.scr"
}

# Which processes loaded a planted DLL in DIR ("none" when none did).
loaded_by() {
  local loads
  loads=$(cat "$1"/*.loaded 2>/dev/null | tr -d '\r' | sort | uniq -c | paste -sd';')
  echo "${loads:-none}"
}

qb_use_pulse
qb_make_tone "$QB_OUT/tone.wav"
qb_make_tone "$QB_OUT/tone.mp3"

for ext in wav mp3; do
  echo "# the saver with $ext music and the real presentation"
  plant "qb_planted_$ext" "$ext"
  xdotool mousemove 500 400
  qb_listen "run_$ext"
  WINEDLLOVERRIDES=$overrides qb_driver "run_$ext" run --timeout 20000 --close-vc-after 5000 "$scr" /s &
  driver=$!
  if qb_driver "wait_$ext" wait-window "$QB_COMPANION_TITLE" 10000; then
    sleep 2.5
    qb_snap "shown_$ext"
    qb_pixel_census "$QB_OUT/shown_$ext.png" 1024x768+0+0 >"$QB_OUT/census_$ext"
    qb_expect_ge "$ext: the presentation shows glowing points (bright pixels)" \
      "$(qb_get bright "$QB_OUT/census_$ext")" 300
  else
    qb_fail "$ext: the presentation window did not appear"
  fi
  wait "$driver" || qb_fail "run_$ext: driver: $(tr -d '\r' <"$QB_OUT/run_$ext")"
  qb_heard "run_$ext" 1
  qb_expect_followed "run_$ext" "$ext"
  qb_expect_heard "the $ext music" 0
  qb_expect_eq "$ext: processes that loaded a planted DLL" "$(loaded_by "$dir")" none
done

echo "# the settings dialog, without and with the planted DLLs"
# The 設定 button's face: its gradient runs down the column left of the
# caption, one colour a row; without GradientFill the face is one grey.
face_colours() {
  convert "$QB_OUT/$1.png" -crop "1x17+$((CX + 332))+$((CY + 204))" +repage \
    -unique-colors txt:- | grep -vc '^#'
}
for run in clean planted; do
  plant qb_planted_dialog wav
  [[ $run == clean ]] && rm -f "$dir/winmm.dll" "$dir/msimg32.dll"
  qb_park_pointer
  WINEDLLOVERRIDES=$overrides qb_open_dialog "dialog_$run" "$dir"
  sleep 0.2
  qb_shot_client "dialog_$run"
  qb_expect_ge "$run: colours down the 設定 button's gradient" "$(face_colours "dialog_$run")" 8
  qb_driver "close_$run" close-window "$QB_DIALOG_TITLE" >/dev/null
  qb_expect_dialog_ended "$run: WM_CLOSE to the dialog"
  qb_expect_eq "$run: processes that loaded a planted DLL" "$(loaded_by "$dir")" none
done
qb_expect_eq "the dialog beside the planted DLLs paints as without them (pixels off)" \
  "$(qb_pixels_off "$QB_OUT/dialog_clean.client.png" 496x246+0+0 "$QB_OUT/dialog_planted.client.png")" 0

qb_scenario_end
