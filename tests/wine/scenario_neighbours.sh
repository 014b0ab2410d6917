#!/usr/bin/env bash
# Other programs on the same desktop: a window titled like the companion's
# that the saver did not start neither stands in for the presentation nor
# keeps the saver alive; and WM_NCCREATE sent to the saver's and to the
# presentation's windows from another process, with creation data pointing
# next to their objects, changes neither window, and the saver still ends
# with its presentation.
set -uo pipefail
source "$(dirname "$0")/lib.sh"
qb_scenario_begin neighbours

# stray_case NAME STAND-IN-CONFIG...: the saver beside the stand-in while the
# driver holds a hidden window of the companion's title.
stray_case() {
  local name=$1
  shift
  dir=$(qb_saver_folder "qb_stray_$name" "$@")
  out=$QB_OUT/$name
  log=$dir/Quillbright.dll.log
  qb_run_saver "$name" --timeout 10000 --hold "$QB_COMPANION_TITLE" "$(qb_winpath "$dir")\\Quillbright.scr" /s
  qb_expect_eq "$name: saver exit code" "$(qb_get exit_code "$out")" 0
}

echo "# a stray window of the companion's title, the companion's own up from 1 s to 3 s"
stray_case window_goes window=1 delay_ms=1000 lifetime_ms=2000
qb_expect_eq "the companion's window appeared" "$(qb_get vc_seen "$out")" 1
gone_to_end=$(qb_tick_to_end window_gone_tick "$log" window_goes)
qb_expect_ge "saver ran until the companion's window went (ms)" "$gone_to_end" 0
qb_expect_le "saver end after the companion's window went, the stray one still there (ms)" "$gone_to_end" 1000

echo "# a stray window of the companion's title, a companion that ends after 1.5 s without one"
stray_case no_window window=0 exit_ms=1500
qb_expect_le "saver end after the companion ended (ms)" "$(qb_tick_to_end exit_tick "$log" no_window)" 1000

echo "# WM_NCCREATE from another process to both programs' windows"
dir=$(qb_saver_folder qb_forged_create)
cp "$QB_BUILD_DIR/Quillbright.dll" "$dir/"
out=$QB_OUT/forged
xdotool mousemove 500 400
qb_driver forged run --timeout 20000 "$(qb_winpath "$dir")\\Quillbright.scr" /s &
driver=$!
qb_driver forged_wait wait-window "$QB_COMPANION_TITLE" 10000 || qb_fail "the presentation did not appear"
sleep 1
# 16 bytes past the object: inside it, but not where it (or a base of it)
# starts on either build, so a thunk that took the pointer would call into
# a misplaced object.
for title in "$QB_SAVER_TITLE" "$QB_COMPANION_TITLE"; do
  qb_driver forged_send send-nccreate "$title" 16 >/dev/null
  sent=$QB_OUT/forged_send
  qb_expect_eq "$title: sent" "$(qb_get found "$sent"),$(qb_get sent "$sent")" 1,1
  qb_expect_eq "$title: its user data (the object) unchanged" "$(qb_get user_data_kept "$sent")" 1
  qb_expect_eq "$title: its title unchanged" "$(qb_get title_kept "$sent")" 1
done
sleep 0.5
xdotool key Escape
wait "$driver" || qb_fail "forged: driver: $(tr -d '\r' <"$out")"
qb_expect_followed forged "the presentation ended on a key"

qb_scenario_end
