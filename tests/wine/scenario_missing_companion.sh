#!/usr/bin/env bash
# Quillbright.dll missing beside the saver: the message box (exact caption
# and text, OK only, no icon), then the end, with no saver window. Other
# mode letters end at once when the companion is there, starting nothing.
set -uo pipefail
source "$(dirname "$0")/lib.sh"
qb_scenario_begin missing_companion

# "Quillbright.dll が同じﾌｫﾙﾀﾞに見つかりません！" in code page 932
want_text=5175696c6c6272696768742e646c6c2082aa93af82b6ccabd9c0de82c98ca982c282a982e882dc82b982f18149

dir=$(qb_saver_folder qb_nodll)
scr="$(qb_winpath "$dir")\\Quillbright.scr"
for args in /s "" /a /c; do
  echo "# '$args' without the companion"
  name=box_${args//[^a-z]/}
  qb_run_saver "$name" --timeout 10000 --msgbox "$QB_APP_CAPTION" "$scr" $args
  out=$QB_OUT/$name
  qb_expect_eq "'$args': message box shown" "$(qb_get msgbox_seen "$out")" 1
  qb_expect_eq "'$args': caption bytes" "$(qb_get msgbox_caption_hex "$out")" "$(qb_hex "$QB_APP_CAPTION")"
  qb_expect_eq "'$args': text bytes" "$(qb_get msgbox_text_hex "$out")" "$want_text"
  qb_expect_eq "'$args': buttons (IDs)" "$(qb_get msgbox_button_ids "$out")" 1
  qb_expect_eq "'$args': icons" "$(qb_get msgbox_icons "$out")" 0
  qb_expect_eq "'$args': exit code" "$(qb_get exit_code "$out")" 0
  qb_expect_le "'$args': end after OK (ms)" "$(qb_get msgbox_ok_to_end_ms "$out")" 1000
  qb_expect_eq "'$args': no saver window" "$(qb_get main_seen "$out")" 0
done

# The box waits for the user: nothing ends before OK.
qb_driver box_waits run --timeout 2000 "$scr" /s >/dev/null
qb_expect_eq "without OK the saver is still waiting after 2 s" "$(qb_get timed_out "$QB_OUT/box_waits")" 1
qb_expect_eq "... showing the box" "$(qb_get appbox_seen "$QB_OUT/box_waits")" 1
qb_expect_eq "... and no saver window" "$(qb_get main_seen "$QB_OUT/box_waits")" 0

dir=$(qb_saver_folder qb_other_modes window=1)
for args in /a S /x; do
  echo "# '$args' with the companion present"
  name=other_${args//[^a-zA-Z]/}
  qb_run_saver "$name" --timeout 5000 "$(qb_winpath "$dir")\\Quillbright.scr" "$args"
  qb_expect_quiet_end "$name" "'$args'"
done
sleep 0.5  # a companion started by mistake would have logged by now
qb_expect_no_file "the companion never started" "$dir/Quillbright.dll.log"

qb_scenario_end
