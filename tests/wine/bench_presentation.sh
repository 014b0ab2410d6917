#!/usr/bin/env bash
# Benchmark, not a test: CPU time of the presentation program, started by
# the saver (/s), against the floor: blit_floor.exe, a bare window copying
# one full frame of the screen's size 60 times a second. Both run in the same
# Wine desktop on an Xvfb of each size, turn about, ROUNDS times; the figure
# to watch is the presentation's share over the floor's (at most 1.0). The
# floor copying a 64 x 64 square instead shows what a frame costs besides
# its pixels. After each presentation run, shots 1.5 s apart give the light
# on screen: pixels whose brightest channel is above 160, per megapixel
# (median of all shots), and the hues they show.
#
# Usage: tests/wine/bench_presentation.sh [SECONDS [ROUNDS]]   (10 and 3)
#   QB_BENCH_SIZES   screens to measure (default "1920x1080 3840x2160")
#   QB_BENCH_PROGRAM another Quillbright.dll to measure, e.g. an older build's
#   QB_BENCH_ENV     state folder; QB_BENCH_SHOTS: keep the shots there
#   QB_BENCH_MUSIC   a WAV the saver plays meanwhile (to a null sink), which the light follows
set -euo pipefail
source "$(dirname "$0")/lib.sh"

seconds=${1:-10}
rounds=${2:-3}
sizes=${QB_BENCH_SIZES:-1920x1080 3840x2160}
state=${QB_BENCH_ENV:-$QB_SOURCE_DIR/build/host/wine-bench-presentation}
qb_select_build
qb_describe_build | sed 's/^Wine tests run/Benchmarking/'
qb_require_build
program=${QB_BENCH_PROGRAM:-$QB_BUILD_DIR/Quillbright.dll}
[[ -f $program ]] || qb_die "no presentation program at $program"
echo "presentation program: $program"

share() { awk -v t="$1" -v hz="$QB_CLOCK_TICKS" -v s="$seconds" 'BEGIN {printf "%.1f", 100 * t / hz / s}'; }
median() { sort -g | awk '{v[NR] = $1} END {if (NR) print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2)}'; }
range() { sort -g | awk 'NR == 1 {lo = $1} {hi = $1} END {if (NR) printf "%s-%s", lo, hi}'; }

# Starts the saver (/s) in the background (saver_pid) and, once the
# presentation's window is up, sets show_pid to the presentation program.
start_presentation() {
  xdotool mousemove 10 10
  "$QB_WINE_LOADER" "$(qb_winpath "$dir")\\Quillbright.scr" /s </dev/null >"$out/saver.log" 2>&1 &
  saver_pid=$!
  qb_driver wait_vc wait-window "$QB_COMPANION_TITLE" 20000 >/dev/null || qb_die "the presentation window did not appear"
  show_pid=$(qb_prefix_pid Quillbright.dll) || qb_die "no presentation process"
}

# Ends the presentation as a user would, so that the saver ends too.
end_presentation() {
  xdotool key Escape 2>/dev/null || true
  qb_wait_gone "$saver_pid" 10 || kill "$show_pid" 2>/dev/null || true
  saver_pid=""
}

# CPU ticks of PID over `seconds`, from now.
ticks_over_run() {
  local pid=$1 before
  before=$(qb_cpu_ticks "$pid")
  sleep "$seconds"
  kill -0 "$pid" 2>/dev/null || qb_die "process $pid ended during the run"
  echo $(($(qb_cpu_ticks "$pid") - before))
}

# CPU ticks of blit_floor.exe, run with ARGS, over `seconds`.
floor_run() {
  local pid
  "$QB_WINE_LOADER" "$QB_HELPERS_DIR/blit_floor.exe" $((seconds + 10)) "$@" </dev/null >"$out/floor.log" 2>&1 &
  qb_driver wait_floor wait-window qb_blit_floor 20000 >/dev/null || qb_die "blit_floor did not start"
  pid=$(qb_prefix_pid blit_floor.exe) || qb_die "no blit_floor process"
  sleep 2
  ticks_over_run "$pid"
  kill "$pid" 2>/dev/null || true
  wait 2>/dev/null || true
}

# Bright pixels (brightest channel above 160) per megapixel of a shot, and
# the 30-degree hue sectors holding at least 1% of its bright coloured ones.
light_of() {
  convert "$1" -depth 8 \( +clone -separate -evaluate-sequence Max -threshold 41248 \) \
    -compose multiply -composite -format %c histogram:info:- | awk -F'[(),:]+' -v mp="$2" '
    {
      n = $1; r = $3; g = $4; b = $5
      hi = r; if (g > hi) hi = g; if (b > hi) hi = b
      lo = r; if (g < lo) lo = g; if (b < lo) lo = b
      if (hi <= 160) next
      bright += n
      if (hi - lo < 60) next
      c = hi - lo
      if (hi == r) h = (g - b) / c; else if (hi == g) h = 2 + (b - r) / c; else h = 4 + (r - g) / c
      if (h < 0) h += 6
      sector[int(h * 2) % 12] += n; coloured += n
    }
    END {
      for (s in sector) if (sector[s] >= 0.01 * coloured) hues++
      printf "%d %d\n", bright / mp, hues
    }'
}

# The size of the virtual desktop that the prefix's programs join.
set_desktop_size() {
  {
    printf '\xff\xfe'
    printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]\r\n"Default"="%s"\r\n' "$1" |
      iconv -f UTF-8 -t UTF-16LE
  } >"$state/desktop.reg"
  qb_wine "$out/regedit" 60 regedit /S "$(qb_winpath "$state/desktop.reg")" || qb_die "registry import failed"
  qb_stop_wine
  qb_start_wineserver || true
}

cleanup() {
  [[ -n ${saver_pid:-} ]] && kill "$saver_pid" 2>/dev/null || true
  [[ -n ${QB_BENCH_MUSIC:-} ]] && qb_stop_pulse "$state/pulse"
  qb_stop_wine
  qb_stop_xvfb "$state"
}
trap cleanup EXIT

mkdir -p "$state"
qb_stop_xvfb "$state"
[[ -z ${QB_BENCH_MUSIC:-} ]] || qb_start_pulse "$state/pulse" || qb_die "PulseAudio did not start"
out=$state/out
for size in $sizes; do
  [[ $size =~ ^([0-9]+)x([0-9]+)$ ]] || qb_die "a size is WIDTHxHEIGHT, not '$size'"
  megapixels=$(awk -v w="${BASH_REMATCH[1]}" -v h="${BASH_REMATCH[2]}" 'BEGIN {print w * h / 1e6}')
  rm -rf "$out"
  mkdir -p "$out"
  QB_OUT=$out
  qb_start_xvfb "$state" "$size" 2>/dev/null
  qb_make_or_reuse_prefix "$state/prefix" 2>/dev/null
  # The prefix's programs join the desktop "Default" (lib.sh), made this
  # size, and kept open between them.
  set_desktop_size "$size"
  setsid "$QB_WINE_LOADER" "$QB_HELPERS_DIR/qbdriver.exe" hold-window qb_bench_keeper 3600000 \
    </dev/null >"$out/keeper.log" 2>&1 &
  qb_driver keeper wait-window qb_bench_keeper 60000 >/dev/null || qb_die "the virtual desktop did not start"
  dir=$(qb_saver_folder qb_bench_presentation)
  cp "$program" "$dir/Quillbright.dll"
  if [[ -n ${QB_BENCH_MUSIC:-} ]]; then
    cp "$QB_BENCH_MUSIC" "$dir/"
    qb_write_ini "$dir" 2 0 "$(qb_winpath "$dir")\\$(basename "$QB_BENCH_MUSIC")"
  fi
  xvfb_pid=$(<"$state/xvfb.pid")

  echo "# $size"
  echo "a 64 x 64 square a frame instead: $(share "$(floor_run 64)")% (what a frame costs besides its pixels)"

  shows=() floors=() ratios=() servers=() xvfbs=() lights=()
  for round in $(seq "$rounds"); do
    floor_ticks=$(floor_run)

    start_presentation
    server=$(qb_prefix_pid 'wineserver(64|32)?' || true)
    sleep 3  # past the start and the fade-in
    server_before=$([[ -n $server ]] && qb_cpu_ticks "$server" || echo 0)
    xvfb_before=$(qb_cpu_ticks "$xvfb_pid")
    show_ticks=$(ticks_over_run "$show_pid")
    servers+=("$(share $(($([[ -n $server ]] && qb_cpu_ticks "$server" || echo 0) - server_before)))")
    xvfbs+=("$(share $(($(qb_cpu_ticks "$xvfb_pid") - xvfb_before)))")
    for i in $(seq 8); do
      qb_screenshot "$out/shot$round.$i.ppm" || qb_die "screenshot failed"
      lights+=("$(light_of "$out/shot$round.$i.ppm" "$megapixels")")
      [[ -n ${QB_BENCH_SHOTS:-} ]] || rm -f "$out/shot$round.$i.ppm"
      sleep 1.5
    done
    end_presentation

    shows+=("$(share "$show_ticks")")
    floors+=("$(share "$floor_ticks")")
    ratios+=("$(awk -v a="$show_ticks" -v b="$floor_ticks" 'BEGIN {printf "%.2f", b ? a / b : 0}')")
    echo "round $round: presentation ${shows[-1]}%, floor ${floors[-1]}%, ratio ${ratios[-1]}"
  done
  echo "presentation_share=$(printf '%s\n' "${shows[@]}" | median)% of one core (rounds $(printf '%s\n' "${shows[@]}" | range))"
  echo "floor_share=$(printf '%s\n' "${floors[@]}" | median)% (rounds $(printf '%s\n' "${floors[@]}" | range))"
  echo "ratio=$(printf '%s\n' "${ratios[@]}" | median) (presentation / floor; rounds $(printf '%s\n' "${ratios[@]}" | range); goal <= 1.0)"
  echo "beside the presentation: wineserver $(printf '%s\n' "${servers[@]}" | median)%, Xvfb $(printf '%s\n' "${xvfbs[@]}" | median)%"
  bright=$(printf '%s\n' "${lights[@]}" | cut -d' ' -f1)
  hues=$(printf '%s\n' "${lights[@]}" | cut -d' ' -f2)
  echo "bright_pixels_per_megapixel=$(median <<<"$bright") (shots $(range <<<"$bright"))"
  echo "hues=$(range <<<"$hues") (30-degree sectors with 1% or more of the bright coloured pixels)"

  qb_stop_wine
  qb_stop_xvfb "$state"
done
echo "clock_tick_seconds=$(qb_ticks_to_seconds 1) run_seconds=$seconds rounds=$rounds"
