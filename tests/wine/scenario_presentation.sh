#!/usr/bin/env bash
# The saver with the real presentation program beside it: its window covers
# the desktop, shows glowing points on a dark field, hides the cursor, and
# ends like a screen saver (a real mouse move, a key, a click, another
# window taking the activation), after which the saver ends too.
set -uo pipefail
source "$(dirname "$0")/lib.sh"
qb_scenario_begin presentation

dir=$(qb_saver_folder qb_presentation)
cp "$QB_BUILD_DIR/Quillbright.dll" "$dir/"
scr="$(qb_winpath "$dir")\\Quillbright.scr"
# The registry's virtual desktop (lib.sh) starts at 0,0.
desktop_rect=0,0,1024,768
desktop_size=1024x768

now_ms() { echo $(($(date +%s%N) / 1000000)); }

# Starts the saver under the driver in the background (DRIVER_PID), with
# the pointer resting inside the desktop, and waits for the presentation.
start_saver() {
  local name=$1
  xdotool mousemove 500 400
  qb_driver "$name" run --timeout 20000 "$scr" /s &
  DRIVER_PID=$!
  if ! qb_driver "$name.wait" wait-window "$QB_COMPANION_TITLE" 10000; then
    qb_fail "$name: the presentation window did not appear"
    return 1
  fi
  # Let it draw a while, and let the window's first mouse move come and go.
  sleep 1
}

# Milliseconds until the presentation window is gone, or "" after 3 s.
ms_until_gone() {
  local from=$1 i
  for i in $(seq 60); do
    qb_driver gone_poll window-info "$QB_COMPANION_TITLE" >/dev/null
    if [[ $(qb_get exists "$QB_OUT/gone_poll") == 0 ]]; then
      echo $(($(now_ms) - from))
      return 0
    fi
    sleep 0.05
  done
}

still_there() { qb_driver "$1" window-info "$QB_COMPANION_TITLE" >/dev/null; qb_get exists "$QB_OUT/$1"; }

# Waits for the background driver; checks the saver followed the window.
finish_saver() {
  local name=$1
  wait "$DRIVER_PID" || qb_fail "$name: driver: $(tr -d '\r' <"$QB_OUT/$name")"
  qb_expect_eq "$name: saver exit code" "$(qb_get exit_code "$QB_OUT/$name")" 0
  qb_expect_le "$name: saver end after the presentation window went (ms)" \
    "$(qb_get vc_gone_to_end_ms "$QB_OUT/$name")" 1000
}

# Ends the run (IT ended) and checks how fast the window went.
expect_ended_by() {
  local name=$1 what=$2 from=$3 gone
  gone=$(ms_until_gone "$from")
  qb_expect_le "$name: presentation gone after $what (ms, polled)" "${gone:-never}" 1000
  finish_saver "$name"
}

echo "# the picture"
start_saver look
qb_driver look_info window-info "$QB_COMPANION_TITLE" >/dev/null
info=$QB_OUT/look_info
qb_expect_eq "window covers the desktop" "$(qb_get rect "$info")" "$desktop_rect"
qb_expect_eq "window visible" "$(qb_get visible "$info")" 1
qb_expect_eq "window class" "$(qb_get class "$info")" Quillbright_VC
style=$(qb_get style "$info")
exstyle=$(qb_get exstyle "$info")
qb_expect_eq "popup without caption or frame (WS_POPUP, no WS_CAPTION/WS_THICKFRAME)" \
  "$(( (0x$style & 0x80000000) != 0 && (0x$style & 0x00C40000) == 0 ))" 1
qb_expect_eq "topmost (WS_EX_TOPMOST)" "$(( (0x$exstyle & 0x8) != 0 ))" 1
qb_wine "$QB_OUT/cursor" 20 "$QB_HELPERS_DIR/activator.exe" cursor-info
qb_expect_eq "cursor hidden (GetCursorInfo of the foreground thread: not showing)" \
  "$(qb_get cursor_showing "$QB_OUT/cursor")" 0
qb_expect_eq "cursor hidden (no cursor image)" "$(qb_get cursor_handle "$QB_OUT/cursor")" 0
# Past the show's fade-in.
sleep 1.5
# Eight shots over 3.5 s, judged once the saver is gone (that takes a while).
for i in 1 2 3 4 5 6 7 8; do
  qb_screenshot "$QB_OUT/look$i.png" || qb_fail "screenshot failed"
  ((i == 8)) || sleep 0.4
done
xdotool key Escape
expect_ended_by look "a key (Escape)" "$(now_ms)"
shot=$QB_OUT/look1.png
qb_pixel_census "$shot" "$desktop_size+0+0" >"$QB_OUT/census"
echo "screenshot census: $(tr '\n' ' ' <"$QB_OUT/census")"
qb_expect_ge "dark field (dark pixels, per mille)" "$(qb_get dark_permille "$QB_OUT/census")" 600
qb_expect_ge "glowing points (bright coloured pixels)" "$(qb_get bright "$QB_OUT/census")" 300
qb_expect_ge "hues of the points (30-degree sectors)" "$(qb_get hues "$QB_OUT/census")" 3
# Drawn on: the next shot, half a second later, differs.
changed=$(compare -metric AE -crop "$desktop_size+0+0" "$shot" "$QB_OUT/look2.png" null: 2>&1 >/dev/null | cut -d' ' -f1)
qb_expect_ge "pixels changed in 0.5 s (animated)" "${changed%%.*}" 1000
# Light in each sixteenth: a part the program failed to copy would stay black.
# One shot in fifteen of 1,000 simulated shows has a sixteenth without light
# (a sparse mood); over 3.5 s the least lit had 19 bright pixels.
convert "$QB_OUT"/look[1-8].png -evaluate-sequence Max "$QB_OUT/look_max.png"
lightless=""
for y in 0 192 384 576; do
  for x in 0 256 512 768; do
    qb_pixel_census "$QB_OUT/look_max.png" "256x192+$x+$y" >"$QB_OUT/census_part"
    (($(qb_get bright "$QB_OUT/census_part") >= 10)) || lightless+=" 256x192+$x+$y"
  done
done
qb_expect_eq "sixteenths of the screen without glowing points in 3.5 s" "${lightless:- none}" " none"

echo "# a mouse move of 2 px does not end it; a key press does"
start_saver small_move
xdotool mousemove 502 400
sleep 0.7
qb_expect_eq "still running after a 2 px move" "$(still_there small_move_check)" 1
xdotool mousemove 500 402
sleep 0.5
qb_expect_eq "still running after moving back and 2 px down" "$(still_there small_move_check2)" 1
from=$(now_ms)
xdotool key space
expect_ended_by small_move "a key (space)" "$from"

echo "# a mouse move of 20 px ends it"
start_saver big_move
from=$(now_ms)
xdotool mousemove 520 400
expect_ended_by big_move "a 20 px move" "$from"

echo "# a click ends it"
start_saver click
from=$(now_ms)
xdotool click 1
expect_ended_by click "a click" "$from"

echo "# another window taking the activation ends it"
start_saver activation
from=$(now_ms)
qb_wine "$QB_OUT/activator" 20 "$QB_HELPERS_DIR/activator.exe" activate 1500 &
activator_pid=$!
expect_ended_by activation "another window's activation" "$from"
wait "$activator_pid"
qb_expect_eq "the other window became the foreground" "$(qb_get foreground "$QB_OUT/activator")" 1

# The frames a second the X server saw while NAME's saver ran: FPS within 0.75%.
expect_cadence() {  # NAME FPS WHAT
  /usr/bin/python3 "$QB_TESTS_DIR/frame_times.py" 12 >"$QB_OUT/$1.frames" 2>&1
  echo "$1: $(tr '\n' ' ' <"$QB_OUT/$1.frames")"
  qb_expect_le "frames a second $3: off $2 by (per mille)" \
    "$(awk -F= -v e="$2" '$1 == "fps" { d = $2 / e - 1; printf "%d", (d < 0 ? -d : d) * 1000 }' "$QB_OUT/$1.frames")" 7
}

echo "# two monitors: 1920 x 1080 at 75 Hz, the primary, and 3840 x 2160 at 144 Hz to its right"
two_monitors() {
  qb_use_two_monitors "$QB_OUT/monitors" 1920x1080@75 3840x2160@144 144 60 61
  start_saver two
  sleep 1.5
  shot=$QB_OUT/two.ppm
  qb_screenshot "$shot" || qb_fail "screenshot failed"
  from=$(now_ms)
  xdotool mousemove 3000 1000
  expect_ended_by two "a move on the second monitor" "$from"
  # Light in every quarter of each; as on screens of their sizes alone, the 4K
  # one as many lights as the 1080p one on 4 times the pixels (one grain: alike).
  lightless="" hd=0 uhd=0
  for part in 960x540+{0,960}+{0,540} 1920x1080+{1920,3840}+{0,1080}; do
    lights=$(qb_light_count "$shot" "$part")
    ((lights > 0)) || lightless+=" $part"
    if [[ $part == 960x* ]]; then hd=$((hd + lights)); else uhd=$((uhd + lights)); fi
  done
  qb_expect_eq "quarters of either monitor without glowing points (it covers both)" "${lightless:- none}" " none"
  qb_expect_le "lights per megapixel on the 4K monitor, in percent of the 1080p one's" $((uhd * 100 / (4 * hd + 1))) 45
  qb_expect_ge "lights per megapixel on the 4K monitor, in percent of the 1080p one's" $((uhd * 100 / (4 * hd + 1))) 12
  # Each frame lasts whole refreshes of the primary (three at 75 Hz), alone so
  # that a busy machine keeps up; Wine restarted, or the next saver ends at once.
  xrandr --output DUMMY1 --off
  qb_stop_wine
  qb_start_wineserver
  for rate in 75:25 144:28.8 60:30 61:30.5; do
    qb_primary_rate "${rate%:*}"
    start_saver "rate${rate%:*}"
    expect_cadence "rate${rate%:*}" "${rate#*:}" "at ${rate%:*} Hz"
    xdotool key Escape
    expect_ended_by "rate${rate%:*}" "a key (Escape)" "$(now_ms)"
  done
  qb_stop_wine
  qb_stop_xvfb "$QB_OUT/monitors"
  rm -rf "$QB_OUT/monitors/prefix"
  qb_load_env
}
two_monitors

qb_scenario_end
