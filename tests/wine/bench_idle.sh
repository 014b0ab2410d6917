#!/usr/bin/env bash
# Benchmark, not a test: CPU time of the saver waiting beside the stand-in
# companion (its window up the whole time) against idle_waiter.exe, a bare
# program with one 500 ms timer, both run for the same 30 s under Wine.
# Usage: tests/wine/bench_idle.sh [seconds]   (QB_BENCH_ENV: state folder)
set -euo pipefail
source "$(dirname "$0")/lib.sh"

seconds=${1:-30}
state=${QB_BENCH_ENV:-$QB_SOURCE_DIR/build/host/wine-bench}
qb_select_build
qb_describe_build | sed 's/^Wine tests run/Benchmarking/'
qb_require_build


# The Unix pid of the Wine process started as $1 (the `wine` script execs
# into it, so $! is it); checked by its command line, which Wine sets to the
# Windows one.
check_wine_pid() {
  local pid=$1 name=$2 i
  for i in $(seq 100); do
    tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null | grep -qi "$name" && return 0
    sleep 0.05
  done
  qb_die "process $pid is not $name"
}


cleanup() {
  [[ -n ${idle_pid:-} ]] && kill "$idle_pid" 2>/dev/null || true
  qb_stop_wine  # the server qb_make_or_reuse_prefix started
  qb_teardown_env "$state"
}
trap cleanup EXIT

qb_teardown_env "$state"
mkdir -p "$state"
qb_start_xvfb "$state"
qb_make_or_reuse_prefix "$state/prefix"
qb_start_desktop "$state/desktop.log"

dir=$(qb_saver_folder qb_bench)
qb_add_standin "$dir" window=1
out="$state/out"
mkdir -p "$out"

"$QB_WINE_LOADER" "$(qb_winpath "$dir")\\Quillbright.scr" /s </dev/null >"$out/saver.log" 2>&1 &
saver_pid=$!
"$QB_WINE_LOADER" "$QB_HELPERS_DIR/idle_waiter.exe" </dev/null >"$out/idle.log" 2>&1 &
idle_pid=$!
check_wine_pid "$saver_pid" Quillbright.scr
check_wine_pid "$idle_pid" idle_waiter.exe
QB_OUT=$out
qb_driver wait_vc wait-window "$QB_COMPANION_TITLE" 20000 || qb_die "the companion window did not appear"
qb_driver wait_idle wait-window QbIdleWaiter 20000 || qb_die "idle_waiter did not start"
server_pid=$(qb_prefix_pid 'wineserver(64|32)?' || true)

saver_start=$(qb_cpu_ticks "$saver_pid")
idle_start=$(qb_cpu_ticks "$idle_pid")
server_start=$([[ -n $server_pid ]] && qb_cpu_ticks "$server_pid" || echo 0)
sleep "$seconds"
kill -0 "$saver_pid" 2>/dev/null || qb_die "the saver ended during the run"
saver_end=$(qb_cpu_ticks "$saver_pid")
idle_end=$(qb_cpu_ticks "$idle_pid")
server_end=$([[ -n $server_pid ]] && qb_cpu_ticks "$server_pid" || echo 0)

saver_cpu=$((saver_end - saver_start))
idle_cpu=$((idle_end - idle_start))
echo "run_seconds=$seconds"
echo "saver_cpu_seconds=$(qb_ticks_to_seconds "$saver_cpu") (since start: $(qb_ticks_to_seconds "$saver_end"))"
echo "idle_waiter_cpu_seconds=$(qb_ticks_to_seconds "$idle_cpu") (since start: $(qb_ticks_to_seconds "$idle_end"))"
echo "wineserver_cpu_seconds=$(qb_ticks_to_seconds $((server_end - server_start))) (shared by all processes)"
if ((idle_cpu > 0)); then
  echo "ratio_saver_to_idle=$(awk -v a="$saver_cpu" -v b="$idle_cpu" 'BEGIN {printf "%.2f", a / b}')"
else
  echo "ratio_saver_to_idle=n/a (idle_waiter used under one clock tick; saver used $saver_cpu ticks)"
fi
echo "clock_tick_seconds=$(qb_ticks_to_seconds 1)"
echo "scr_size_bytes=$(stat -c %s "$QB_BUILD_DIR/Quillbright.scr")"

# The saver ends by itself once the companion's window is gone.
qb_driver close_vc close-window "$QB_COMPANION_TITLE" || true
for _ in $(seq 60); do kill -0 "$saver_pid" 2>/dev/null || break; sleep 0.05; done
