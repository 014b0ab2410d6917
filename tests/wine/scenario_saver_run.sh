#!/usr/bin/env bash
# Saver mode from start to end beside the stand-in companion: the hidden
# saver window, how the companion is started, and how soon the saver ends
# once the companion's window is gone.
set -uo pipefail
source "$(dirname "$0")/lib.sh"
qb_scenario_begin saver_run

dir=$(qb_saver_folder qb_run window=1)
scr="$(qb_winpath "$dir")\\Quillbright.scr"

echo "# /s: full run, the stand-in's window closed from outside after 1.5 s"
qb_run_saver run --timeout 15000 --close-vc-after 1500 "$scr" /s
out=$QB_OUT/run
log="$dir/Quillbright.dll.log"
qb_expect_eq "saver window appeared" "$(qb_get main_seen "$out")" 1
qb_expect_eq "saver window class" "$(qb_get main_class "$out")" Quillbright_S
qb_expect_eq "saver window never visible" "$(qb_get main_visible_ever "$out")" 0
qb_expect_followed run "/s"
# The saver must still be there when the companion's window is closed.
qb_expect_ge "saver lifetime past the close (ms)" \
  "$(( $(qb_get elapsed_ms "$out") - $(qb_get vc_close_ms "$out") ))" 0
echo "saver_end_latency_ms=$(qb_get vc_gone_to_end_ms "$out") (from WM_CLOSE: $(qb_get vc_close_to_end_ms "$out"))"

qb_expect_eq "companion started once" "$(grep -ac '^start_tick=' "$log")" 1
qb_expect_eq "companion command line" "$(qb_get cmdline "$log")" "\"$(qb_winpath "$dir")\\Quillbright.dll\""
qb_expect_eq "companion show state (SW_SHOWNORMAL)" "$(qb_get show "$log")" 1
qb_expect_eq "companion STARTF_USESHOWWINDOW" "$(qb_get startf_useshowwindow "$log")" 1

# Every spelling of saver mode runs the saver; no argument at all too.
for args in /S -s /s:123 ""; do
  echo "# saver mode with arguments '$args'"
  rm -f "$log"
  name="args_${args//[^a-zA-Z0-9]/_}"
  qb_run_saver "$name" --timeout 15000 --close-vc-after 300 "$scr" $args
  qb_expect_eq "'$args': saver window appeared" "$(qb_get main_seen "$QB_OUT/$name")" 1
  qb_expect_eq "'$args': saver window never visible" "$(qb_get main_visible_ever "$QB_OUT/$name")" 0
  qb_expect_followed "$name" "'$args'"
  qb_expect_eq "'$args': companion command line has no arguments" \
    "$(qb_get cmdline "$log")" "\"$(qb_winpath "$dir")\\Quillbright.dll\""
done

qb_scenario_end
