# shellcheck shell=bash
# Helpers for running Quillbright under Wine: the choice of the build this
# machine can run, a private Xvfb, a throw-away Japanese prefix of that
# build's architecture, programs run with timeouts, and small checks.
# Sourced by the scenario scripts, the benchmark and scripts/run.
#
# Programs' output always goes to files, never to a pipe: Wine's long-lived
# helpers (wineserver, the desktop's explorer.exe) inherit the descriptors
# of whoever started them first, and would keep a pipe open for ever.

QB_TESTS_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
QB_SOURCE_DIR=$(cd "$QB_TESTS_DIR/../.." && pwd)
: "${QB_WIN32_DIR:=$QB_SOURCE_DIR/build/win32}"
: "${QB_WIN64_DIR:=$QB_SOURCE_DIR/build/win64}"
# Wine's own loaders. /usr/bin/wine always tries the 32-bit one when it is
# installed, so the loader of the chosen build is called directly.
: "${QB_WINE_DIR:=/usr/lib/wine}"

QB_SAVER_TITLE=Quillbright_Main
QB_DIALOG_TITLE='<Quillbright>'
QB_COMPANION_TITLE=Quillbright_VC
QB_APP_CAPTION='Quillbright (ScreenSaver)'

qb_log() { printf '[%s] %s\n' "$(date +%T.%3N)" "$*" >&2; }
qb_die() { printf 'FATAL: %s\n' "$*" >&2; exit 1; }

# ---------------------------------------------------------------- build

# Prints the 32-bit loader's answer to --version; fails, printing why, when
# this machine cannot run it. Some kernels run 64-bit programs only: there
# every i386 program fails with "Exec format error", whatever is installed.
qb_probe_32bit() {
  local answer
  answer=$(timeout 20 "$QB_WINE_DIR/wine" --version </dev/null 2>&1)
  local status=$?
  answer=$(head -n1 <<<"$answer")
  printf '%s\n' "${answer:-no answer}"
  return "$status"
}

# Makes NAME (win32 or win64) the build that runs: exports QB_BUILD,
# QB_BUILD_DIR, QB_HELPERS_DIR, QB_WINE_LOADER and QB_BUILD_REASON.
qb_use_build() {
  export QB_BUILD=$1 QB_BUILD_REASON=$2
  case $QB_BUILD in
    win32) QB_BUILD_DIR=$QB_WIN32_DIR QB_WINE_LOADER=$QB_WINE_DIR/wine ;;
    win64) QB_BUILD_DIR=$QB_WIN64_DIR QB_WINE_LOADER=$QB_WINE_DIR/wine64 ;;
    *) qb_die "unknown build '$QB_BUILD'" ;;
  esac
  export QB_BUILD_DIR QB_WINE_LOADER QB_HELPERS_DIR=$QB_BUILD_DIR/tests/wine
}

# Chooses the build the Wine tests run: the 32-bit one, which the program is
# defined for, when the machine can run 32-bit programs, else the 64-bit one.
# QB_WINE_BUILD=win32 or win64 forces a build (auto, or unset, chooses).
qb_select_build() {
  local wanted=${QB_WINE_BUILD:-auto} probe
  case $wanted in
    auto | win32 | win64) ;;
    *) qb_die "QB_WINE_BUILD is '$wanted'; it takes win32, win64 or auto" ;;
  esac
  if [[ $wanted == win64 ]]; then
    qb_use_build win64 "forced by QB_WINE_BUILD=win64"
  elif probe=$(qb_probe_32bit); then
    if [[ $wanted == win32 ]]; then
      qb_use_build win32 "forced by QB_WINE_BUILD=win32"
    else
      qb_use_build win32 "this machine runs 32-bit programs ($QB_WINE_DIR/wine: $probe)"
    fi
  elif [[ $wanted == win32 ]]; then
    qb_die "QB_WINE_BUILD=win32, but this machine cannot run 32-bit programs ($QB_WINE_DIR/wine: $probe)"
  else
    qb_use_build win64 "this machine cannot run 32-bit programs ($QB_WINE_DIR/wine: $probe)"
  fi
}

qb_describe_build() {
  printf 'Wine tests run the %s build (%s): %s\n' "$QB_BUILD" "$QB_BUILD_DIR" "$QB_BUILD_REASON"
}

# True when DIR, a Ninja build folder, has nothing left to build: every
# program in it is newer than the sources and build files it comes from.
qb_build_is_current() {
  local dir=$1 plan
  [[ -f $dir/build.ninja ]] || return 1
  plan=$(timeout 60 ninja -C "$dir" -n </dev/null 2>&1) || return 1
  [[ $plan == *"ninja: no work to do."* ]]
}

# The Win32 helpers of the tests, built in the Windows build's tests/wine.
QB_HELPERS=(qbdriver standin idle_waiter settings_probe resource_probe activator command_host dialog_probe blit_floor
            decode_probe)
# The DLLs wine.planted_dlls puts beside the programs, under the helpers' folder.
QB_PLANTED_DLLS=(planted/winmm.dll planted/msimg32.dll)

# Dies unless the chosen build has every program the tests use, and is
# current: a test of an old build would prove nothing about the sources.
qb_require_build() {
  local f helper
  for f in "$QB_BUILD_DIR/Quillbright.scr" "$QB_BUILD_DIR/Quillbright.dll" \
           $(for helper in "${QB_HELPERS[@]}"; do echo "$QB_HELPERS_DIR/$helper.exe"; done) \
           $(for dll in "${QB_PLANTED_DLLS[@]}"; do echo "$QB_HELPERS_DIR/$dll"; done); do
    [[ -f $f ]] || qb_die "$f is missing: build the $QB_BUILD preset first (scripts/build)"
  done
  qb_build_is_current "$QB_BUILD_DIR" ||
    qb_die "$QB_BUILD_DIR is older than its sources: build it again first (scripts/build)"
}

# True when process PID (a child of this shell) ends within SECONDS;
# otherwise it is killed, and false.
qb_wait_gone() {
  local pid=$1 seconds=$2 i
  for i in $(seq "$((seconds * 10))"); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    return 1
  fi
  return 0
}

# ---------------------------------------------------------------- display

qb_free_display_number() {
  local n
  for n in $(seq 91 250); do
    if [[ ! -e /tmp/.X$n-lock && ! -e /tmp/.X11-unix/X$n ]]; then
      echo "$n"
      return 0
    fi
  done
  return 1
}

# Starts Xvfb on a free display, with a screen of SIZE (WIDTHxHEIGHT,
# 1280x1024 unless given), records its pid in STATE_DIR/xvfb.pid and
# exports DISPLAY.
qb_start_xvfb() {
  local state_dir=$1 size=${2:-1280x1024} attempt n pid i
  mkdir -p "$state_dir"
  for attempt in 1 2 3; do
    n=$(qb_free_display_number) || qb_die "no free X display number"
    setsid Xvfb ":$n" -screen 0 "${size}x24" -nolisten tcp \
      </dev/null >"$state_dir/xvfb.log" 2>&1 &
    pid=$!
    for i in $(seq 100); do
      [[ -S /tmp/.X11-unix/X$n ]] && break
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.05
    done
    if kill -0 "$pid" 2>/dev/null && [[ -S /tmp/.X11-unix/X$n ]]; then
      echo "$pid" >"$state_dir/xvfb.pid"
      export DISPLAY=":$n"
      qb_log "Xvfb pid $pid on $DISPLAY"
      return 0
    fi
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  qb_die "Xvfb did not start (see $state_dir/xvfb.log)"
}

# Runs the next programs on monitors SIZE0@RATE0 (the primary) and SIZE1@RATE1
# side by side: RandR outputs of one Xorg dummy screen, which either Wine reads,
# and a copy of the prefix without a virtual desktop, where "Managed"="N" spares
# the 2 s Wine waits on each destroyed window for a window manager there is
# not. Further RATEs become modes of the primary, for qb_primary_rate.
qb_use_two_monitors() {  # DIR SIZE0@RATE0 SIZE1@RATE1 [RATE...]
  local n i conf=$1/xorg.conf size0=${2%@*} size1=${3%@*} rate
  QB_PRIMARY_SIZE=$size0
  mkdir -p "$1"
  n=$(qb_free_display_number) || qb_die "no free X display number"
  {
    printf 'Section "Device"\nIdentifier "d"\nDriver "dummy"\nVideoRam 131072\n'
    printf 'Option "Monitor-DUMMY%s" "m%s"\n' 0 0 1 1
    printf 'EndSection\nSection "Monitor"\nIdentifier "m0"\n'
    for rate in "${2#*@}" "${@:4}"; do qb_modeline "$size0" "$rate"; done
    printf 'Option "PreferredMode" "%s_%s"\nEndSection\n' "$size0" "${2#*@}"
    printf 'Section "Monitor"\nIdentifier "m1"\n%s\n' "$(qb_modeline "$size1" "${3#*@}")"
    printf 'Option "PreferredMode" "%s_%s"\nOption "RightOf" "m0"\nOption "Enable" "true"\nEndSection\n' "$size1" "${3#*@}"
    printf 'Section "Screen"\nIdentifier "s"\nDevice "d"\nMonitor "m0"\nSubSection "Display"\nDepth 24\nVirtual %s %s\nEndSubSection\nEndSection\n' \
      $((${size0%x*} + ${size1%x*})) $((${size0#*x} > ${size1#*x} ? ${size0#*x} : ${size1#*x}))
  } >"$conf"
  # Stopped as an Xvfb is; not a child of this shell, so no zombie once stopped.
  (setsid /usr/lib/xorg/Xorg ":$n" -noreset -config "$conf" -logfile "$1/xorg.log" -nolisten tcp </dev/null >/dev/null 2>&1 &
   echo $! >"$1/xvfb.pid")
  for i in $(seq 200); do [[ -S /tmp/.X11-unix/X$n ]] && break; sleep 0.05; done
  qb_on_exit "WINEPREFIX=$(printf %q "$1/prefix") wineserver -k 2>/dev/null; qb_stop_xvfb $(printf %q "$1")"
  [[ -S /tmp/.X11-unix/X$n ]] || qb_die "Xorg did not start (see $1/xorg.log)"
  export DISPLAY=":$n"
  cp -a "$WINEPREFIX" "$1/prefix"
  qb_wine_env "$1/prefix"
  sed -i '/^"Desktop"="Default"/d' "$WINEPREFIX/user.reg"
  printf '\n[Software\\\\Wine\\\\X11 Driver] 0\n"Managed"="N"\n' >>"$WINEPREFIX/user.reg"
  qb_start_wineserver
}

# An Xorg modeline SIZE_RATE: CEA 1080p's blanking, a clock for exactly RATE Hz.
qb_modeline() {  # WIDTHxHEIGHT RATE
  local w=${1%x*} h=${1#*x}
  printf 'Modeline "%s_%s" %s %s %s %s %s %s %s %s %s +hsync +vsync\n' "$1" "$2" \
    "$(awk -v p=$(((w + 280) * (h + 45))) -v r="$2" 'BEGIN { printf "%.4f", p * r / 1e6 }')" \
    "$w" $((w + 88)) $((w + 132)) $((w + 280)) "$h" $((h + 4)) $((h + 9)) $((h + 45))
}

# Switches the primary monitor of qb_use_two_monitors to another of its rates.
qb_primary_rate() { xrandr --output DUMMY0 --mode "${QB_PRIMARY_SIZE}_$1"; }  # RATE

qb_stop_xvfb() {
  local state_dir=$1 pid
  [[ -f $state_dir/xvfb.pid ]] || return 0
  pid=$(<"$state_dir/xvfb.pid")
  if [[ $(cat "/proc/$pid/comm" 2>/dev/null) == @(Xvfb|Xorg) ]]; then
    kill "$pid" 2>/dev/null || true
    for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
    kill -9 "$pid" 2>/dev/null || true
  fi
  rm -f "$state_dir/xvfb.pid"
}

qb_screenshot() {
  timeout 20 import -window root "$1"
}

# ---------------------------------------------------------------- prefix

qb_wine_env() {
  export WINEPREFIX=$1
  export WINEARCH=$QB_BUILD
  export WINEDEBUG=-all
  export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
  # No Mono or Gecko install dialogs while the prefix is made.
  export WINEDLLOVERRIDES="mscoree,mshtml="
}

# A Unix path as Wine's programs see it: C:\ inside the prefix, Z:\ elsewhere.
qb_winpath() {
  local path=$1 drive_c="$WINEPREFIX/drive_c"
  if [[ $path == "$drive_c" || $path == "$drive_c"/* ]]; then
    path="C:${path#"$drive_c"}"
    [[ $path == C: ]] && path='C:/'
  else
    path="Z:$path"
  fi
  printf '%s\n' "${path//\//\\}"
}

# Runs CMD with a timeout, stdout to OUT and stderr to OUT.err.
qb_run() {
  local out=$1 seconds=$2
  shift 2
  timeout -k 5 "$seconds" "$@" </dev/null >"$out" 2>"$out.err"
}

qb_wine() {
  local out=$1 seconds=$2
  shift 2
  qb_run "$out" "$seconds" "$QB_WINE_LOADER" "$@"
}

qb_write_registry_file() {
  local file=$1
  # regedit wants UTF-16LE with a byte order mark.
  {
    printf '\xff\xfe'
    iconv -f UTF-8 -t UTF-16LE <<'EOF'
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"ＭＳ Ｐゴシック"="IPAPGothic"
"ＭＳ ゴシック"="IPAGothic"

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"Default"="1024x768"

EOF
  } >"$file"
}

qb_install_fonts() {
  cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
}

# Makes a fresh prefix in PREFIX (with the environment from qb_wine_env);
# no server is left running.
qb_make_prefix() {
  local prefix=$1 logs
  qb_wine_env "$prefix"
  logs=$(dirname "$prefix")
  qb_stop_wine
  # A run killed outright leaves any immutable test file in place.
  rm -rf "$prefix" 2>/dev/null || { chattr -R -i "$prefix" 2>/dev/null; rm -rf "$prefix"; }
  mkdir -p "$prefix"
  qb_log "creating prefix $prefix"
  qb_start_wineserver || qb_die "wineserver did not start"
  qb_run "$logs/wineboot.log" 180 "$QB_WINE_LOADER" wineboot -i || qb_die "wineboot failed (see $logs/wineboot.log.err)"
  qb_install_fonts
  qb_write_registry_file "$logs/qb-settings.reg"
  qb_wine "$logs/regedit.log" 60 regedit /S "$(qb_winpath "$logs/qb-settings.reg")" ||
    qb_die "registry import failed"
  # The desktop wineboot opened is not the virtual one just configured:
  # start the next programs in a new session.
  qb_stop_wine
  printf '%s\n' "$QB_BUILD" >"$prefix/.qb-ready"
}

# A prefix made for the chosen build's architecture.
qb_prefix_ready() { [[ -f $1/.qb-ready && -f $1/system.reg && $(<"$1/.qb-ready") == "$QB_BUILD" ]]; }

qb_make_or_reuse_prefix() {
  local prefix=$1
  if qb_prefix_ready "$prefix"; then
    qb_wine_env "$prefix"
    qb_log "reusing prefix $prefix"
  else
    qb_make_prefix "$prefix"
  fi
  qb_start_wineserver || true
}

# Keeps the server (and with it the desktop) up between programs, so each
# start costs tens of milliseconds instead of half a second. Fails when a
# server for the prefix is already running.
qb_start_wineserver() {
  timeout 20 wineserver -p </dev/null >/dev/null 2>&1
}

qb_stop_wine() {
  [[ -n ${WINEPREFIX:-} && -d $WINEPREFIX ]] || return 0
  timeout 20 wineserver -k </dev/null >/dev/null 2>&1 || true
  timeout 20 wineserver -w </dev/null >/dev/null 2>&1 || true
  return 0
}

# Starts the virtual desktop now and keeps it up for HOLD_S seconds. Wine
# closes a desktop a second after its last program ends, and starting it
# again costs seconds; the hidden window of a lingering driver prevents that.
qb_start_desktop() {
  local log=$1 hold_s=${2:-3600}
  setsid "$QB_WINE_LOADER" "$QB_HELPERS_DIR/qbdriver.exe" hold-window qb_desktop_keeper "$((hold_s * 1000))" \
    </dev/null >"$log" 2>"$log.err" &
  qb_wine "$log.wait" 60 "$QB_HELPERS_DIR/qbdriver.exe" wait-window qb_desktop_keeper 50000
}

# ---------------------------------------------------------------- shared test environment

# Stops what a previous run in ENV_DIR left running.
qb_teardown_env() {
  local env_dir=$1
  if [[ -f $env_dir/env.sh ]]; then
    (
      # shellcheck disable=SC1091
      source "$env_dir/env.sh"
      qb_stop_wine
    )
  fi
  qb_stop_xvfb "$env_dir"
  rm -f "$env_dir/env.sh"
}

# Creates Xvfb, prefix, server and desktop in ENV_DIR and records them in
# ENV_DIR/env.sh for the scenarios.
qb_setup_env() {
  local env_dir=$1
  qb_teardown_env "$env_dir"
  mkdir -p "$env_dir"
  qb_start_xvfb "$env_dir"
  qb_make_prefix "$env_dir/prefix"
  qb_start_wineserver || qb_die "wineserver did not start"
  qb_start_desktop "$env_dir/desktop.log" || qb_die "the virtual desktop did not start"
  {
    printf 'export DISPLAY=%q\n' "$DISPLAY"
    printf 'qb_use_build %q %q\n' "$QB_BUILD" "$QB_BUILD_REASON"
    printf 'qb_wine_env %q\n' "$WINEPREFIX"
  } >"$env_dir/env.sh"
}

qb_load_env() {
  local env_dir=${1:-${QB_WINE_ENV:-}}
  [[ -n $env_dir && -f $env_dir/env.sh ]] || qb_die "no Wine test environment in '$env_dir' (run the env_setup test)"
  # shellcheck disable=SC1091
  source "$env_dir/env.sh"
  local pid
  pid=$(cat "$env_dir/xvfb.pid" 2>/dev/null)
  [[ -n $pid ]] && kill -0 "$pid" 2>/dev/null || qb_die "the test Xvfb is not running"
}

# ---------------------------------------------------------------- scenarios

# The scratch folder of the running scenario, for driver output files.
qb_scenario_begin() {
  qb_load_env
  QB_OUT=$(dirname "$WINEPREFIX")/out/$1
  rm -rf "$QB_OUT"
  mkdir -p "$QB_OUT"
  QB_FAILURES=0
  qb_describe_build
  qb_driver sweep sweep 5000 >/dev/null || qb_log "windows left over from before: $(qb_get remaining "$QB_OUT/sweep")"
}

# A fresh folder NAME under C:\ holding a copy of Quillbright.scr; given
# stand-in configuration lines, the stand-in beside it (qb_add_standin).
qb_saver_folder() {  # NAME [STAND-IN-CONFIG...]
  local dir="$WINEPREFIX/drive_c/$1"
  rm -rf "$dir"
  mkdir -p "$dir"
  cp "$QB_BUILD_DIR/Quillbright.scr" "$dir/"
  (($# > 1)) && qb_add_standin "$dir" "${@:2}"
  printf '%s\n' "$dir"
}

# Puts the stand-in beside the saver in DIR as Quillbright.dll; the other
# arguments are its configuration lines (see standin.cpp).
qb_add_standin() {
  local dir=$1
  shift
  cp "$QB_HELPERS_DIR/standin.exe" "$dir/Quillbright.dll"
  printf '%s\n' "$@" >"$dir/Quillbright.dll.cfg"
}

# Runs the driver with output to $QB_OUT/NAME.
qb_driver() {
  local name=$1
  shift
  qb_wine "$QB_OUT/$name" 60 "$QB_HELPERS_DIR/qbdriver.exe" "$@"
}

# Waits up to 15 s for KEY in FILE, the output of a helper that runs on.
qb_await() {  # KEY FILE
  local i
  for i in $(seq 150); do
    [[ -n $(qb_get "$1" "$2") ]] && return 0
    sleep 0.1
  done
  return 1
}

# Runs the saver under the driver (`qbdriver run DRIVER-ARGS...`) with
# output to $QB_OUT/NAME; fails when the driver could not do its job.
qb_run_saver() {  # NAME DRIVER-ARGS...
  local name=$1
  shift
  qb_driver "$name" run "$@" || qb_fail "$name: driver: $(tr -d '\r' <"$QB_OUT/$name")"
}

# The value of KEY in a key=value file (driver output, stand-in log).
qb_get() {
  local key=$1 file=$2
  [[ -f $file ]] || return 0
  grep -a -m1 "^$key=" "$file" | cut -d= -f2- | tr -d '\r'
}

# The bytes of a string as lower-case hex, as the driver prints them.
qb_hex() { printf '%s' "$1" | od -An -v -tx1 | tr -d ' \n'; }

qb_pass() { printf 'ok     %s\n' "$*"; }
qb_fail() {
  printf 'FAILED %s\n' "$*"
  QB_FAILURES=$((QB_FAILURES + 1))
}

qb_expect_eq() {
  local what=$1 actual=$2 expected=$3
  if [[ $actual == "$expected" ]]; then
    qb_pass "$what = $actual"
  else
    qb_fail "$what: got '$actual', want '$expected'"
  fi
}

# Integer ACTUAL <= MAX, or >= MIN (an empty ACTUAL fails).
qb_expect_le() { qb_expect_bound "$1" "$2" -le '<=' "$3"; }
qb_expect_ge() { qb_expect_bound "$1" "$2" -ge '>=' "$3"; }
qb_expect_bound() {  # WHAT ACTUAL TEST-OPERATOR SHOWN-AS LIMIT
  if [[ $2 =~ ^-?[0-9]+$ ]] && test "$2" "$3" "$5"; then
    qb_pass "$1 = $2 ($4 $5)"
  else
    qb_fail "$1: got '$2', want $4 $5"
  fi
}

qb_expect_file() {
  if [[ -e $2 ]]; then qb_pass "$1"; else qb_fail "$1: $2 does not exist"; fi
}

qb_expect_no_file() {
  if [[ ! -e $2 ]]; then qb_pass "$1"; else qb_fail "$1: $2 exists"; fi
}

# FILE holds exactly the bytes of the file EXPECTED.
qb_expect_same_file() {  # WHAT FILE EXPECTED
  if cmp -s "$2" "$3"; then
    qb_pass "$1"
  else
    qb_fail "$1: $(cmp "$2" "$3" 2>&1 | head -n1)"
    [[ -f $2 ]] && (($(stat -c %s "$2") <= 4096)) && od -c "$2" | head -20
  fi
}

# The run NAME ended at once, showing nothing: exit code 0 within 1.5 s,
# no saver window, no message box of the program's.
qb_expect_quiet_end() {  # NAME WHAT
  local out=$QB_OUT/$1
  qb_expect_eq "$2: exit code" "$(qb_get exit_code "$out")" 0
  qb_expect_le "$2: ended within (ms)" "$(qb_get elapsed_ms "$out")" 1500
  qb_expect_eq "$2: no saver window" "$(qb_get main_seen "$out")" 0
  qb_expect_eq "$2: no message box" "$(qb_get appbox_seen "$out")" 0
}

# The run NAME followed its companion: the companion's window appeared, and
# the saver ended, exit code 0, within MAX ms (1000 unless given) of the
# window going.
qb_expect_followed() {  # NAME WHAT [MAX]
  local out=$QB_OUT/$1
  qb_expect_eq "$2: companion window appeared" "$(qb_get vc_seen "$out")" 1
  qb_expect_eq "$2: saver exit code" "$(qb_get exit_code "$out")" 0
  qb_expect_le "$2: saver end after the companion window went (ms)" \
    "$(qb_get vc_gone_to_end_ms "$out")" "${3:-1000}"
}

# Milliseconds from the tick KEY in the stand-in's LOG to the end of the
# run NAME (GetTickCount is one clock for the prefix); empty when either
# is missing.
qb_tick_to_end() {  # KEY LOG NAME
  local from to
  from=$(qb_get "$1" "$2")
  to=$(qb_get end_tick "$QB_OUT/$3")
  [[ -n $from && -n $to ]] && echo $((to - from))
}

# Shows a file's content when a check on it failed.
qb_show() {
  local file
  for file in "$@"; do
    printf -- '--- %s\n' "$file"
    tr -d '\r' <"$file" 2>/dev/null
  done
}

# The settings file as the program writes it: code page 932 keys, CRLF.
qb_ini_bytes() {  # KIND REPEAT FILE
  printf '[Section]\r\nBGM\x8b\xe6\x95\xaa=%s\r\nBGM\xd8\xcb\xdf\xb0\xc4=%s\r\nBGM\xcc\xa7\xb2\xd9=%s\r\n' "$@"
}

qb_write_ini() {  # DIR KIND REPEAT FILE
  qb_ini_bytes "$2" "$3" "$4" >"$1/Quillbright.ini"
}

# Commands to run when the scenario exits, however it exits.
QB_EXIT_COMMANDS=()
qb_run_exit_commands() {
  local i
  for ((i = ${#QB_EXIT_COMMANDS[@]} - 1; i >= 0; i--)); do eval "${QB_EXIT_COMMANDS[i]}"; done
}
qb_on_exit() {
  QB_EXIT_COMMANDS+=("$1")
  trap qb_run_exit_commands EXIT
}

# Makes PATHs unwritable for the run, root included (Wine as root writes
# past the mode bits); undone on exit, or the prefix could not be deleted.
qb_immutable() {
  local path
  for path in "$@"; do
    chattr +i "$path" || qb_die "cannot make $path immutable"
    qb_on_exit "chattr -i $(printf '%q' "$path") 2>/dev/null"
  done
}

# Exits 1 when a check failed, saying how many (and NOTE); else says that
# all passed.
qb_checks_end() {  # [NOTE]
  if ((QB_FAILURES > 0)); then
    printf '%d check(s) failed%s\n' "$QB_FAILURES" "${1:+; $1}"
    exit 1
  fi
  printf 'all checks passed\n'
}

qb_scenario_end() {
  qb_driver sweep_end sweep 5000 >/dev/null
  qb_checks_end "driver output is in $QB_OUT"
}

# Runs the next programs with the system code page of LOCALE (ja_JP 932,
# en_US 1252, zh_CN 936; Wine takes it from the locale): the prefix's
# server and desktop start again under it.
qb_use_locale() {
  qb_stop_wine
  export LANG=$1.UTF-8 LC_ALL=$1.UTF-8
  qb_start_wineserver || qb_die "wineserver did not start under $1"
  qb_start_desktop "$QB_OUT/desktop.$1.log" || qb_die "the virtual desktop did not start under $1"
}

# Runs the next programs on a screen of DPI dots per inch (96, 120, 144,
# 192): both LogPixels values, then the server and desktop start again.
qb_use_dpi() {  # DPI
  local reg=$QB_OUT/dpi$1.reg value
  value=$(printf 'dword:%08x' "$1")
  { printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE <<EOF
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\\Control Panel\\Desktop]
"LogPixels"=$value

[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts]
"LogPixels"=$value

EOF
  } >"$reg"
  qb_wine "$reg.log" 60 regedit /S "$(qb_winpath "$reg")" || qb_die "LogPixels $1 was not imported"
  qb_stop_wine
  qb_start_wineserver || qb_die "wineserver did not start at $1 dpi"
  qb_start_desktop "$QB_OUT/desktop.dpi$1.log" || qb_die "the virtual desktop did not start at $1 dpi"
}

# ---------------------------------------------------------------- the settings dialog

# Runs dialog_probe with output to $QB_OUT/NAME.
qb_dialog_probe() {  # NAME ARGS...
  local name=$1
  shift
  qb_wine "$QB_OUT/$name" 30 "$QB_HELPERS_DIR/dialog_probe.exe" "$@"
}

# Opens the dialog of the saver in DIR (/c); sets QB_DIALOG_PID, CX and CY
# (the client area's origin on the screen) and PX and PY (the panel's).
qb_open_dialog() {  # NAME DIR
  local name=$1 dir=$2 origin
  qb_wine "$QB_OUT/$name.run" 90 "$dir/Quillbright.scr" /c &
  QB_DIALOG_PID=$!
  qb_dialog_probe "$name.wait" wait 15000 || qb_fail "$name: the dialog did not appear"
  qb_dialog_probe "$name.info" info
  origin=$(qb_get client_origin "$QB_OUT/$name.info")
  CX=${origin%,*} CY=${origin#*,}
  PX=$((CX + 12)) PY=$((CY + 16))
}

# Waits up to 10 s for the dialog's process to end.
qb_expect_dialog_ended() {  # NAME
  if qb_wait_gone "$QB_DIALOG_PID" 10; then
    qb_pass "$1: the program ended"
    wait "$QB_DIALOG_PID" 2>/dev/null
  else
    qb_fail "$1: the program was still running"
  fi
}

qb_click() { xdotool mousemove "$1" "$2" click "${3:-1}"; sleep 0.4; }
qb_click_save() { qb_click $((CX + 362)) $((CY + 212)); }    # 設定
qb_click_cancel() { qb_click $((CX + 442)) $((CY + 212)); }  # ｷｬﾝｾﾙ

# Chooses the file at Windows path PATH through "..." and the real
# file-open dialog (the choice "MP3、WAV" must be on).
qb_choose_file() {  # NAME PATH
  qb_click $((CX + 60)) $((CY + 142))
  if qb_dialog_probe "$1.chooser" wait-title "ﾌｧｲﾙを開く" 10000; then
    qb_pass "$1: the file-open dialog opened"
    xdotool type --delay 20 "$2"
    sleep 0.2
    xdotool key Return
    qb_dialog_probe "$1.chooser_gone" wait-title "ﾌｧｲﾙを開く" 10000 gone ||
      qb_fail "$1: the file-open dialog stayed open"
  else
    qb_fail "$1: the file-open dialog did not open"
  fi
}

# Far from every control, so no button lights up under the pointer.
qb_park_pointer() { xdotool mousemove 1010 750; sleep 0.3; }

# The screen now, as $QB_OUT/NAME.png.
qb_snap() { qb_screenshot "$QB_OUT/$1.png" || qb_fail "screenshot $1 failed"; }
qb_shot() { qb_park_pointer; qb_snap "$1"; }

# As qb_shot, and the dialog's client area alone as NAME.client.png.
qb_shot_client() {  # NAME
  qb_shot "$1"
  convert "$QB_OUT/$1.png" -crop "496x246+$CX+$CY" +repage "$QB_OUT/$1.client.png"
}

# Pixels that differ between region GEOMETRY (WxH+X+Y) of picture FILE
# and region OTHER-GEOMETRY (the same unless given) of picture OTHER.
qb_pixels_off() {  # FILE GEOMETRY OTHER [OTHER-GEOMETRY]
  convert "$1" -crop "$2" +repage "$QB_OUT/pixels_a.png"
  convert "$3" -crop "${4:-$2}" +repage "$QB_OUT/pixels_b.png"
  compare -metric AE "$QB_OUT/pixels_a.png" "$QB_OUT/pixels_b.png" null: 2>&1 | cut -d' ' -f1
}

# The root-mean-square difference of two pictures of one size, per mille
# ("unreadable" when they cannot be compared, which no bound lets pass).
qb_rmse_permille() {  # FILE OTHER
  compare -metric RMSE "$1" "$2" null: 2>&1 | sed 's/.*(\(.*\)).*/\1/' |
    awk '$1 ~ /^[0-9.e+-]+$/ { printf "%d", $1 * 1000; next } { printf "unreadable" }'
}

# "r,g,b" of a screen pixel on screenshot NAME.
qb_pixel() {  # NAME X Y
  convert "$QB_OUT/$1.png" -format "%[fx:int(255*p{$2,$3}.r+0.5)],%[fx:int(255*p{$2,$3}.g+0.5)],%[fx:int(255*p{$2,$3}.b+0.5)]" info:
}

# The centre of the choice mark of KIND on screenshot NAME.
qb_mark_colour() {  # NAME KIND
  local y
  case $2 in 0) y=76 ;; 1) y=56 ;; 2) y=96 ;; esac
  qb_pixel "$1" $((PX + 34)) $((PY + y + 6))
}
QB_MARK_ON=30,80,210 QB_MARK_OFF=244,244,244

# The marks of kinds 0, 1 and 2 on screenshot NAME show KIND (or none)
# chosen.
qb_expect_marks() {  # WHAT NAME KIND
  local kind actual=() expected=()
  for kind in 0 1 2; do
    actual+=("$(qb_mark_colour "$2" "$kind")")
    if [[ $kind == "$3" ]]; then expected+=("$QB_MARK_ON"); else expected+=("$QB_MARK_OFF"); fi
  done
  qb_expect_eq "$1" "${actual[*]}" "${expected[*]}"
}

# Width of the dark text inside a region WxH+X+Y of screenshot NAME.
qb_text_width() {  # NAME GEOMETRY
  convert "$QB_OUT/$1.png" -crop "$2" +repage -colorspace gray -threshold 50% -negate \
    -format '%@' info: | sed 's/x.*//'
}

# ---------------------------------------------------------------- sound checks

# A PulseAudio server for the scenario (see qb_start_pulse), stopped when
# it exits.
qb_use_pulse() {
  local dir=$QB_OUT/pulse
  qb_start_pulse "$dir" || qb_die "PulseAudio did not start (see $dir/pulse.log)"
  qb_on_exit "qb_stop_pulse $(printf '%q' "$dir")"
}

# A short tone with silence after it, so that each start of the file in a
# loop is heard as a new onset: a .wav 0.4 s of 440 Hz and 0.6 s of
# silence, an .mp3 0.6 s of 660 Hz and 0.4 s.
qb_make_tone() {  # FILE
  case $1 in
    *.mp3) sox -n -r 44100 -c 2 "$1" synth 0.6 sine 660 vol 0.5 pad 0 0.4 ;;
    *) sox -n -r 44100 -c 2 "$1" synth 0.4 sine 440 vol 0.5 pad 0 0.6 ;;
  esac
}

# Starts recording for the run NAME into $QB_OUT/NAME.wav; start the run
# right after.
qb_listen() {  # NAME
  qb_start_recording "$QB_OUT/$1.wav"
  sleep 0.5
  QB_LISTEN_START=$(date +%s.%N)
}

# Stops the recording AFTER seconds (1.5 unless given) from now and measures
# the run NAME: sets QB_HEARD_PEAK, the loudest 100 ms while its companion
# was up (after the first 1.5 s), QB_HEARD_STARTS, how often the sound
# started while the companion was up, and QB_HEARD_AFTER, the loudest
# 100 ms 1 to 2 s after the saver ended.
qb_heard() {  # NAME [AFTER]
  local out=$QB_OUT/$1 start close end
  sleep "${2:-1.5}"
  qb_stop_recording
  qb_levels "$out.wav" >"$out.levels"
  start=$(qb_recording_time "$QB_LISTEN_START")
  close=$(awk -v s="$start" -v c="$(qb_get vc_close_ms "$out")" 'BEGIN { printf "%.1f", s + c / 1000 }')
  end=$(awk -v s="$start" -v e="$(qb_get elapsed_ms "$out")" 'BEGIN { printf "%.1f", s + e / 1000 }')
  QB_HEARD_PEAK=$(qb_peak_level "$out.levels" "$(awk -v s="$start" 'BEGIN { print s + 1.5 }')" "$close")
  QB_HEARD_STARTS=$(qb_sound_starts "$out.levels" "$start" "$close")
  QB_HEARD_AFTER=$(qb_peak_level "$out.levels" "$(awk -v e="$end" 'BEGIN { print e + 1.0 }')" \
                                               "$(awk -v e="$end" 'BEGIN { print e + 2.0 }')")
  echo "$1: the saver ran from ${start}s to ${end}s of the recording, its companion closed at ${close}s;" \
    "loudest $QB_HEARD_PEAK while the companion was up, the sound started $QB_HEARD_STARTS times," \
    "loudest 1-2 s after the end $QB_HEARD_AFTER"
}

# Runs the saver SCR (/s) for 5 s of its companion while recording, and
# measures it (qb_heard). Needs qb_use_pulse.
qb_saver_heard() {  # NAME SCR
  qb_listen "$1"
  qb_run_saver "$1" --timeout 20000 --close-vc-after 5000 "$2" /s
  qb_heard "$1"
}

# The last run qb_heard measured heard WHAT, looping: it started at least
# MIN-STARTS times (3 unless given; 0 asks only that it was heard).
qb_expect_heard() {  # WHAT [MIN-STARTS]
  local min=${2:-3}
  awk -v p="$QB_HEARD_PEAK" 'BEGIN { exit !(p > 0.1) }' && qb_pass "$1 was heard (peak $QB_HEARD_PEAK)" ||
    qb_fail "$1 was not heard (peak $QB_HEARD_PEAK)"
  if ((min > 0)); then qb_expect_ge "times $1 started (it loops)" "$QB_HEARD_STARTS" "$min"; fi
}

# ---------------------------------------------------------------- benchmarks

QB_CLOCK_TICKS=$(getconf CLK_TCK)

# utime + stime of a process, in clock ticks (fields 14 and 15 of stat,
# counted after the parenthesised name, which may hold blanks).
qb_cpu_ticks() {
  local rest
  rest=$(sed 's/^.*) //' "/proc/$1/stat")
  awk '{print $12 + $13}' <<<"$rest"
}

qb_ticks_to_seconds() { awk -v t="$1" -v hz="$QB_CLOCK_TICKS" 'BEGIN {printf "%.3f", t / hz}'; }

# The Unix pid of a process of this prefix named NAME (a pgrep -x pattern:
# a Windows program's is named after its executable), waiting up to 10 s
# for it; fails when there is none.
qb_prefix_pid() {  # NAME
  local i pid
  for i in $(seq 200); do
    for pid in $(pgrep -x "$1" || true); do
      if tr '\0' '\n' 2>/dev/null <"/proc/$pid/environ" | grep -qx "WINEPREFIX=$WINEPREFIX"; then
        echo "$pid"
        return 0
      fi
    done
    sleep 0.05
  done
  return 1
}

# Pixel census of a screenshot area: dark share (per mille), bright
# coloured pixels, and the hue sectors (of twelve) with at least 10 of them.
qb_pixel_census() {
  convert "$1" -crop "$2" +repage -depth 8 txt:- | awk -F'[(),]+' '
    /^#/ { next }
    {
      r = $4; g = $5; b = $6; n++
      hi = r; if (g > hi) hi = g; if (b > hi) hi = b
      lo = r; if (g < lo) lo = g; if (b < lo) lo = b
      if (hi < 40) dark++
      if (hi >= 150 && hi - lo >= 60) {
        bright++
        c = hi - lo
        if (hi == r) h = (g - b) / c; else if (hi == g) h = 2 + (b - r) / c; else h = 4 + (r - g) / c
        if (h < 0) h += 6
        sector[int(h * 2) % 12]++
      }
    }
    END {
      for (s in sector) if (sector[s] >= 10) hues++
      printf "dark_permille=%d\nbright=%d\nhues=%d\n", dark * 1000 / n, bright, hues
    }'
}

# Glowing points in an area of a screenshot: blobs of 4 pixels or more
# whose brightest channel is above 160.
qb_light_count() {  # FILE GEOMETRY
  convert "$1" -crop "$2" +repage -separate -evaluate-sequence Max -threshold 62.7% \
    -define connected-components:verbose=true -define connected-components:area-threshold=4 \
    -connected-components 8 null: | grep -c 'gray(255)'
}

# ---------------------------------------------------------------- sound

# A PulseAudio server of our own with one null sink, so that Wine's audio can
# be recorded from the sink's monitor. Exports PULSE_SERVER.
qb_start_pulse() {
  local dir=$1 i
  mkdir -p "$dir/home" "$dir/run"
  chmod 700 "$dir/run"
  HOME="$dir/home" XDG_RUNTIME_DIR="$dir/run" setsid pulseaudio -n --daemonize=no \
    --exit-idle-time=-1 --disallow-exit --use-pid-file=no \
    -L "module-native-protocol-unix socket=$dir/native auth-anonymous=1" \
    -L "module-null-sink sink_name=nullsink" </dev/null >"$dir/pulse.log" 2>&1 &
  echo $! >"$dir/pulse.pid"
  export PULSE_SERVER="unix:$dir/native"
  for i in $(seq 100); do
    timeout 5 pactl info </dev/null >/dev/null 2>&1 && break
    sleep 0.1
  done
  timeout 5 pactl info </dev/null >/dev/null 2>&1 || return 1
  # A silent stream keeps the sink running, so recordings are continuous.
  setsid pacat -p --latency-msec=20 --raw --format=s16le --rate=44100 --channels=2 /dev/zero \
    </dev/null >/dev/null 2>&1 &
  echo $! >"$dir/pacat.pid"
}

qb_stop_pulse() {
  local dir=$1 f
  for f in "$dir/pacat.pid" "$dir/pulse.pid"; do
    [[ -f $f ]] || continue
    kill "$(<"$f")" 2>/dev/null || true
    rm -f "$f"
  done
  unset PULSE_SERVER
}

# Records the null sink's monitor (8 kHz mono) into FILE until qb_stop_recording.
qb_start_recording() {
  local file=$1
  setsid parecord --latency-msec=20 --device=nullsink.monitor --rate=8000 --channels=1 \
    --file-format=wav "$file" </dev/null >/dev/null 2>&1 &
  QB_RECORDER=$!
  QB_RECORDING_START=$(date +%s.%N)
}

qb_stop_recording() {
  kill -INT "$QB_RECORDER" 2>/dev/null || true
  for _ in $(seq 50); do kill -0 "$QB_RECORDER" 2>/dev/null || break; sleep 0.1; done
}

# Seconds since the recording started, for a `date +%s.%N` time T.
qb_recording_time() { awk -v t="$1" -v s="$QB_RECORDING_START" 'BEGIN { printf "%.2f", t - s }'; }

# RMS level of each 100 ms of a recording: "start_seconds rms" lines.
qb_levels() {
  sox "$1" -t dat - 2>/dev/null | awk '
    /^;/ { next }
    { w = int($1 * 10); sum[w] += $2 * $2; n[w]++; if (w > last) last = w }
    END { for (i = 0; i <= last; i++) if (n[i]) printf "%.1f %.4f\n", i / 10, sqrt(sum[i] / n[i]) }'
}

# The loudest 100 ms between FROM and TO seconds of a levels list.
qb_peak_level() {
  awk -v a="$2" -v b="$3" '$1 >= a && $1 < b && $2 > m { m = $2 } END { printf "%.4f", m + 0 }' "$1"
}

# How often the sound starts (silence, then sound) between FROM and TO.
qb_sound_starts() {
  awk -v a="$2" -v b="$3" '
    $1 < a || $1 >= b { next }
    { loud = $2 > 0.05 }
    loud && !was { starts++ }
    { was = loud }
    END { print starts + 0 }' "$1"
}
