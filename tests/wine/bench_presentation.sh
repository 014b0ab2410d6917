#!/usr/bin/env bash
# Benchmark, not a test: CPU time of the presentation program drawing at
# 1920 x 1080 under Wine (its own Xvfb and virtual desktop of that size),
# paced at the display's 60 Hz, over a run of 20 s. Target: under 15% of
# one core for the program itself.
# Usage: tests/wine/bench_presentation.sh [seconds]   (QB_BENCH_ENV: state folder)
set -euo pipefail
source "$(dirname "$0")/lib.sh"

seconds=${1:-20}
width=1920
height=1080
state=${QB_BENCH_ENV:-$QB_SOURCE_DIR/build/host/wine-bench-presentation}
qb_select_build
qb_describe_build | sed 's/^Wine tests run/Benchmarking/'
qb_require_build

percent_of() { awk -v t="$1" -v hz="$QB_CLOCK_TICKS" -v s="$seconds" 'BEGIN {printf "%.1f", 100 * t / hz / s}'; }

# An Xvfb of the benchmark's size (lib.sh's is smaller).
start_big_xvfb() {
  local n pid i
  n=$(qb_free_display_number) || qb_die "no free X display number"
  setsid Xvfb ":$n" -screen 0 "${width}x${height}x24" -nolisten tcp </dev/null >"$state/xvfb.log" 2>&1 &
  pid=$!
  for i in $(seq 100); do
    [[ -S /tmp/.X11-unix/X$n ]] && break
    sleep 0.05
  done
  kill -0 "$pid" 2>/dev/null || qb_die "Xvfb did not start (see $state/xvfb.log)"
  echo "$pid" >"$state/xvfb.pid"
  export DISPLAY=":$n"
}

# The Unix pid of the program NAME of this prefix (Wine names the process
# after the executable; the explorer that starts it only mentions it).
find_wine_pid() {
  local name=$1 i pid
  for i in $(seq 200); do
    for pid in $(pgrep -x "$name" || true); do
      if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then
        echo "$pid"
        return 0
      fi
    done
    sleep 0.05
  done
  return 1
}

cleanup() {
  [[ -n ${show_pid:-} ]] && kill "$show_pid" 2>/dev/null || true
  # The persistent server of the prefix, which no env.sh records here.
  qb_stop_wine
  qb_teardown_env "$state"
}
trap cleanup EXIT

qb_teardown_env "$state"
mkdir -p "$state/out"
start_big_xvfb
qb_make_or_reuse_prefix "$state/prefix"

dir=$(qb_saver_folder qb_bench_presentation)
cp "$QB_BUILD_DIR/Quillbright.dll" "$dir/"
# A desktop of its own at the benchmark's size; the program fills it.
setsid "$QB_WINE_LOADER" explorer "/desktop=qbbench,${width}x${height}" \
  "$(qb_winpath "$dir")\\Quillbright.dll" </dev/null >"$state/out/show.log" 2>&1 &
show_pid=$(find_wine_pid 'Quillbright.dll') || qb_die "the presentation did not start"
server_pid=""
for pid in $(pgrep -x 'wineserver(64|32)?' || true); do
  if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then
    server_pid=$pid
  fi
done
xvfb_pid=$(<"$state/xvfb.pid")
# Past start-up and the first frames.
sleep 3
kill -0 "$show_pid" 2>/dev/null || qb_die "the presentation ended before the run"

show_start=$(qb_cpu_ticks "$show_pid")
server_start=$([[ -n $server_pid ]] && qb_cpu_ticks "$server_pid" || echo 0)
xvfb_start=$(qb_cpu_ticks "$xvfb_pid")
sleep "$seconds"
kill -0 "$show_pid" 2>/dev/null || qb_die "the presentation ended during the run"
show_cpu=$(($(qb_cpu_ticks "$show_pid") - show_start))
server_cpu=$(($([[ -n $server_pid ]] && qb_cpu_ticks "$server_pid" || echo 0) - server_start))
xvfb_cpu=$(($(qb_cpu_ticks "$xvfb_pid") - xvfb_start))

timeout 20 import -window root "$state/out/shot.png" || true
bright=$(convert "$state/out/shot.png" -depth 8 txt:- 2>/dev/null |
  awk -F'[(),]+' '!/^#/ { m = $4; if ($5 > m) m = $5; if ($6 > m) m = $6; if (m >= 150) n++ } END { print n + 0 }')

echo "screen=${width}x${height} run_seconds=$seconds"
echo "presentation_cpu_seconds=$(qb_ticks_to_seconds "$show_cpu") ($(percent_of "$show_cpu")% of one core; target < 15%)"
echo "wineserver_cpu_seconds=$(qb_ticks_to_seconds "$server_cpu") ($(percent_of "$server_cpu")%)"
echo "xvfb_cpu_seconds=$(qb_ticks_to_seconds "$xvfb_cpu") ($(percent_of "$xvfb_cpu")%, the X server taking the frames)"
echo "bright_pixels_at_end=$bright"
echo "clock_tick_seconds=$(qb_ticks_to_seconds 1)"
