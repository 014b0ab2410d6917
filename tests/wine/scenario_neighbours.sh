#!/usr/bin/env bash
# Other programs on the same desktop: a window titled like the companion's
# that the saver did not start neither stands in for the presentation nor
# keeps the saver alive.
set -uo pipefail
source "$(dirname "$0")/lib.sh"
qb_scenario_begin neighbours

ticks_between() { [[ -n $1 && -n $2 ]] && echo $(( $2 - $1 )); }

# stray_case NAME STAND-IN-CONFIG...: the saver beside the stand-in while the
# driver holds a hidden window of the companion's title.
stray_case() {
  local name=$1
  shift
  dir=$(qb_saver_folder "qb_stray_$name")
  qb_add_standin "$dir" "$@"
  out=$QB_OUT/$name
  log=$dir/Quillbright.dll.log
  qb_driver "$name" run --timeout 10000 --hold "$QB_COMPANION_TITLE" "$(qb_winpath "$dir")\\Quillbright.scr" /s ||
    qb_fail "$name: driver: $(tr -d '\r' <"$out")"
  qb_expect_eq "$name: saver exit code" "$(qb_get exit_code "$out")" 0
}

echo "# a stray window of the companion's title, the companion's own up from 1 s to 3 s"
stray_case window_goes window=1 delay_ms=1000 lifetime_ms=2000
qb_expect_eq "the companion's window appeared" "$(qb_get vc_seen "$out")" 1
gone_to_end=$(ticks_between "$(qb_get window_gone_tick "$log")" "$(qb_get end_tick "$out")")
qb_expect_ge "saver ran until the companion's window went (ms)" "$gone_to_end" 0
qb_expect_le "saver end after the companion's window went, the stray one still there (ms)" "$gone_to_end" 1000

echo "# a stray window of the companion's title, a companion that ends after 1.5 s without one"
stray_case no_window window=0 exit_ms=1500
qb_expect_le "saver end after the companion ended (ms)" \
  "$(ticks_between "$(qb_get exit_tick "$log")" "$(qb_get end_tick "$out")")" 1000

qb_scenario_end
