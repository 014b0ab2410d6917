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

pulse_dir=$QB_OUT/pulse
qb_start_pulse "$pulse_dir" || qb_die "PulseAudio did not start (see $pulse_dir/pulse.log)"
qb_on_exit "qb_stop_pulse $(printf '%q' "$pulse_dir")"
sox -n -r 44100 -c 2 "$QB_OUT/tone.wav" synth 0.4 sine 440 vol 0.5 pad 0 0.6
sox -n -r 44100 -c 2 "$QB_OUT/tone.mp3" synth 0.6 sine 660 vol 0.5 pad 0 0.4

for ext in wav mp3; do
  echo "# the saver with $ext music and the real presentation"
  plant "qb_planted_$ext" "$ext"
  out=$QB_OUT/run_$ext
  xdotool mousemove 500 400
  qb_start_recording "$QB_OUT/heard_$ext.wav"
  sleep 0.5
  t_start=$(date +%s.%N)
  WINEDLLOVERRIDES=$overrides qb_driver "run_$ext" run --timeout 20000 --close-vc-after 5000 "$scr" /s &
  driver=$!
  if qb_driver "wait_$ext" wait-window "$QB_COMPANION_TITLE" 10000; then
    sleep 2.5
    qb_screenshot "$QB_OUT/shown_$ext.png" || qb_fail "$ext: screenshot failed"
    qb_pixel_census "$QB_OUT/shown_$ext.png" 1024x768+0+0 >"$QB_OUT/census_$ext"
    qb_expect_ge "$ext: the presentation shows glowing points (bright pixels)" \
      "$(qb_get bright "$QB_OUT/census_$ext")" 300
  else
    qb_fail "$ext: the presentation window did not appear"
  fi
  wait "$driver" || qb_fail "$ext: driver: $(tr -d '\r' <"$out")"
  sleep 1
  qb_stop_recording
  qb_levels "$QB_OUT/heard_$ext.wav" >"$QB_OUT/levels_$ext.txt"
  qb_expect_eq "$ext: saver exit code" "$(qb_get exit_code "$out")" 0
  qb_expect_le "$ext: saver end after the presentation went (ms)" "$(qb_get vc_gone_to_end_ms "$out")" 1000
  start=$(qb_recording_time "$t_start")
  close=$(awk -v s="$start" -v c="$(qb_get vc_close_ms "$out")" 'BEGIN { printf "%.1f", s + c / 1000 }')
  peak=$(qb_peak_level "$QB_OUT/levels_$ext.txt" "$(awk -v s="$start" 'BEGIN { print s + 1.5 }')" "$close")
  awk -v p="$peak" 'BEGIN { exit !(p > 0.1) }' && qb_pass "$ext: the music was heard (peak $peak)" ||
    qb_fail "$ext: no music while the presentation was up (peak $peak)"
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
  xdotool mousemove 1010 750
  WINEDLLOVERRIDES=$overrides qb_open_dialog "dialog_$run" "$dir"
  sleep 0.5
  qb_screenshot "$QB_OUT/dialog_$run.png" || qb_fail "$run: screenshot failed"
  convert "$QB_OUT/dialog_$run.png" -crop "496x246+$CX+$CY" +repage "$QB_OUT/client_$run.png"
  qb_expect_ge "$run: colours down the 設定 button's gradient" "$(face_colours "dialog_$run")" 8
  qb_driver "close_$run" close-window "$QB_DIALOG_TITLE" >/dev/null
  if qb_wait_gone "$QB_DIALOG_PID" 10; then
    wait "$QB_DIALOG_PID" 2>/dev/null
  else
    qb_fail "$run: the dialog did not end on WM_CLOSE"
  fi
  qb_expect_eq "$run: processes that loaded a planted DLL" "$(loaded_by "$dir")" none
done
qb_expect_eq "the dialog beside the planted DLLs paints as without them (pixels off)" \
  "$(compare -metric AE "$QB_OUT/client_clean.png" "$QB_OUT/client_planted.png" null: 2>&1 | cut -d' ' -f1)" 0

qb_scenario_end
