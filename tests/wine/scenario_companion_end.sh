#!/usr/bin/env bash
# The saver ends on its own whenever the companion's window can no longer
# appear or has gone, and on WM_CLOSE from outside; it keeps running while
# the companion runs without a window yet.
set -uo pipefail
source "$(dirname "$0")/lib.sh"
qb_scenario_begin companion_end

# folder NAME STAND-IN-CONFIG...: the saver in C:\qb_end_NAME beside the
# stand-in so configured.
folder() { name=$1 dir=$(qb_saver_folder "qb_end_$1" "${@:2}"); }

# run_case DRIVER-OPTIONS...: /s in that folder, output $QB_OUT/NAME.
run_case() {
  qb_run_saver "$name" --timeout 15000 "$@" "$(qb_winpath "$dir")\\Quillbright.scr" /s
  out=$QB_OUT/$name
  log="$dir/Quillbright.dll.log"
}

# Milliseconds from the stand-in's logged tick KEY to the saver's end.
to_end() { qb_tick_to_end "$1" "$log" "$name"; }

echo "# the companion ends at once without a window"
folder exit_at_once window=0 exit_ms=0
run_case
qb_expect_eq "saver window appeared" "$(qb_get main_seen "$out")" 1
qb_expect_le "saver ended on its own within (ms)" "$(qb_get elapsed_ms "$out")" 2000
qb_expect_le "after the companion ended (ms)" "$(to_end exit_tick)" 1000

echo "# the companion cannot be started (not a program)"
name=not_a_program dir=$(qb_saver_folder qb_end_bad)
printf 'not a program\r\n' >"$dir/Quillbright.dll"
run_case
qb_expect_eq "saver window appeared" "$(qb_get main_seen "$out")" 1
qb_expect_le "saver ended on its own within (ms)" "$(qb_get elapsed_ms "$out")" 2000

echo "# the companion runs 2.5 s without a window, then ends"
folder no_window_then_exit window=0 exit_ms=2500
run_case
qb_expect_ge "saver waited for the companion (ms after its start)" "$(to_end start_tick)" 2500
qb_expect_le "saver end after the companion ended (ms)" "$(to_end exit_tick)" 1000

echo "# the companion's window shows late (1.2 s) and closes itself after 0.8 s"
folder late_window window=1 delay_ms=1200 lifetime_ms=800
run_case
qb_expect_eq "companion window appeared" "$(qb_get vc_seen "$out")" 1
qb_expect_ge "saver still there when the window went (ms)" "$(to_end window_gone_tick)" 0
qb_expect_le "saver end after the window went (ms)" "$(to_end window_gone_tick)" 1000

echo "# the companion's window closes after 1 s, its process lingers 3 s"
folder window_gone_process_lingers window=1 lifetime_ms=1000 linger_ms=3000
run_case
qb_expect_le "saver end after the window went (ms)" "$(to_end window_gone_tick)" 1000
# Checked at once: the stand-in logs its end only 3 s after its window went.
qb_expect_eq "saver did not wait for the process (its end not logged yet)" "$(qb_get exit_tick "$log")" ""

echo "# WM_CLOSE to Quillbright_Main while the companion's window is up"
folder close_saver_window window=1
run_case --close-main-after 800
qb_expect_eq "companion window appeared" "$(qb_get vc_seen "$out")" 1
qb_expect_eq "saver exit code" "$(qb_get exit_code "$out")" 0
qb_expect_le "saver end after WM_CLOSE (ms)" "$(qb_get main_close_to_end_ms "$out")" 1000
# The saver leaves the companion alone; the sweep at the end closes it.
qb_driver companion_after_close window-info "$QB_COMPANION_TITLE" >/dev/null
echo "companion window after the saver ended: exists=$(qb_get exists "$QB_OUT/companion_after_close")"

qb_scenario_end
