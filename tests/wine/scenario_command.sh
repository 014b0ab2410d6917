#!/usr/bin/env bash
# The skinned button in a test host (command_host.exe), driven by the real
# pointer (xdotool on the test's X display: a pointer moved from inside
# Wine can look stale to another program's GetCursorPos). Screenshots show
# each state's face pixel for pixel; the host's log shows the faces painted,
# the Clicks, and how much was painted while nothing changed.
set -uo pipefail
source "$(dirname "$0")/lib.sh"
qb_scenario_begin command

host_exe=$QB_HELPERS_DIR/command_host.exe
pictures=$QB_SOURCE_DIR/src/resources
log=$QB_OUT/host.log
hx=300 hy=200
# The host's buttons (see command_host.cpp), on the screen: x y w h.
declare -A rect=([1]="320 220 77 25" [2]="410 220 77 25" [3]="500 222 41 21"
                 [4]="320 260 117 28" [5]="460 260 117 28")
park_x=$((hx + 290)) park_y=$((hy + 100))  # the host's own background

centre() { local r=(${rect[$1]}); echo "$((r[0] + r[2] / 2)) $((r[1] + r[3] / 2))"; }
point_at() { xdotool mousemove "$@"; }
point_on() { point_at $(centre "$1"); }
park() { point_at "$park_x" "$park_y"; }

send() { qb_wine "$QB_OUT/send.out" 20 "$host_exe" send "$@" || qb_fail "send $*: $(tr -d '\r' <"$QB_OUT/send.out")"; }
mark() { wc -l <"$log"; }
# Waits up to 3 s for a host log line after line MARK matching REGEX; prints it.
wait_line() {
  local from=$1 regex=$2 i line
  for i in $(seq 60); do
    line=$(tail -n +"$((from + 1))" "$log" | tr -d '\r' | grep -E -m1 -- "$regex")
    [[ -n $line ]] && { echo "$line"; return 0; }
    sleep 0.05
  done
  return 1
}
count_after() { tail -n +"$(($1 + 1))" "$log" | tr -d '\r' | grep -c -E -- "$2"; }
field() { sed -n "s/.*[[:space:]]$1=\([^[:space:]]*\).*/\1/p" <<<"$2"; }
# The host's counters for button B, as of now.
report() {
  local m
  m=$(mark)
  send report
  wait_line "$m" "^b$1 " || true
}

gradient_rows() {  # W H HOT
  qb_wine "$QB_OUT/gradient_$1x$2_$3" 20 "$host_exe" gradient "$1" "$2" "$3"
  qb_get rows "$QB_OUT/gradient_$1x$2_$3"
}

# check_face NAME SHOT BUTTON PICTURE HOT MIDDLE: the button's face on the
# screenshot against the picture and the gradient of that direction.
check_face() {
  local name=$1 shot=$2 b=$3 picture=$4 hot=$5 middle=$6 r out
  r=(${rect[$b]})
  out=$QB_OUT/$name.check
  [[ -f $shot.ppm ]] || convert "$shot" "$shot.ppm"
  python3 "$QB_TESTS_DIR/command_face_check.py" "$shot.ppm" "$pictures/command_$picture.bmp" \
    "${r[0]},${r[1]},${r[2]},${r[3]}" "${rows[${r[2]}x${r[3]}_$hot]}" "$middle" >"$out"
  qb_expect_eq "$name: b$b outer band is the $picture picture's, corners and edges (pixels off)" \
    "$(qb_get band_mismatches "$out")" 0
  qb_expect_eq "$name: b$b middle is the gradient, hot=$hot ($middle; pixels off)" \
    "$(qb_get middle_mismatches "$out")" 0
  [[ $(qb_get first_mismatch "$out") ]] && qb_log "$name: $(qb_get first_mismatch "$out")"
  qb_log "$name: b$b top band $(qb_get top_band "$out"), gradient rows $(qb_get gradient_visible "$out")"
}

shoot() { sleep 0.3; qb_snap "$1"; }
# then_face B PIC COMMAND...: COMMAND, then button B's face PIC (a regex
# of the log line's rest) painted within 3 s.
then_face() {
  local m
  m=$(mark)
  "${@:3}"
  wait_line "$m" "^face b=$1 pic=$2" >/dev/null || qb_fail "no $2 face on b$1 after: ${*:3}"
}

echo "# the gradient alone: GradientFill with vertex 1 as upper-left, vertex 0 as lower-right"
declare -A rows
for size in "117 28" "77 25" "41 21"; do
  set -- $size
  for hot in 0 1; do
    rows[$1x$2_$hot]=$(gradient_rows "$1" "$2" "$hot")
  done
  g=$QB_OUT/gradient_$1x$2_0
  qb_expect_eq "$1x$2: GradientFill succeeded" "$(qb_get filled "$g")" 1
  qb_expect_eq "$1x$2: each row one colour" "$(qb_get rows_uniform "$g")" 1
  IFS=, read -r -a cool <<<"${rows[$1x$2_0]}"
  IFS=, read -r -a warm <<<"${rows[$1x$2_1]}"
  qb_expect_eq "$1x$2: top row light" "${cool[0]}" ffffff
  qb_expect_eq "$1x$2: hot top row dark" "${warm[0]}" c6c5d7
  qb_log "$1x$2: last filled row ${cool[$(($2 - 2))]} (hot ${warm[$(($2 - 2))]}), bottom row ${cool[$(($2 - 1))]} (untouched by the fill: 123456 is the canvas)"
  qb_expect_eq "$1x$2: row h-1 and column w-1 are outside the fill" \
    "${cool[$(($2 - 1))]},$(qb_get last_column "$g")" 123456,123456
done

echo "# the host: five buttons loaded from a stored caption and initialised"
park
setsid "$QB_WINE_LOADER" "$host_exe" run "$hx" "$hy" </dev/null >"$log" 2>"$log.err" &
host_pid=$!
wait_line 0 '^ready=1' >/dev/null || qb_die "the host did not start: $(tr -d '\r' <"$log")"
sleep 0.5
qb_expect_eq "faces painted at start-up (load, resize), all Normal" \
  "$(count_after 0 '^face .*pic=Normal'),$(count_after 0 '^face ')" 10,10

shoot normal
for b in 1 2 3; do check_face "Normal" "$QB_OUT/normal.png" $b normal 0 sides; done
check_face "Normal" "$QB_OUT/normal.png" 4 normal 0 all
check_face "Normal" "$QB_OUT/normal.png" 5 normal 0 sides

echo "# HighLight, Pressed, HighLightSelect, Selected on b4 (no caption)"
then_face 4 'HighLight hot=1' point_on 4
shoot highlight
check_face "HighLight" "$QB_OUT/highlight.png" 4 highlight 1 all

echo "# resting on the button: ticks run, nothing is painted"
before=$(report 4)
sleep 1.2
after=$(report 4)
qb_expect_eq "idle over b4: faces painted" "$(field faces "$after")" "$(field faces "$before")"
qb_expect_eq "idle over b4: WM_PAINTs" "$(field screens "$after")" "$(field screens "$before")"
qb_expect_ge "idle over b4: timer ticks in 1.2 s" "$(($(field ticks "$after") - $(field ticks "$before")))" 8

m=$(mark)
xdotool mousedown 1
wait_line "$m" '^face b=4 pic=Pressed' >/dev/null || qb_fail "no Pressed face"
shoot pressed
check_face "Pressed" "$QB_OUT/pressed.png" 4 pressed 1 all
qb_expect_eq "press: the faces painted (press, then focus)" \
  "$(count_after "$m" '^face b=4' | tr -d ' '),$(count_after "$m" '^face b=4 pic=Pressed')" 2,2
m=$(mark)
xdotool mouseup 1
wait_line "$m" '^click b=4' >/dev/null || qb_fail "no Click on release"
shoot highlightselect
check_face "HighLightSelect" "$QB_OUT/highlightselect.png" 4 highlightselect 1 all
qb_expect_eq "release: face, then Click" \
  "$(tail -n +"$((m + 1))" "$log" | tr -d '\r' | grep -E '^(face|click) ' | sed 's/ hot=.*//; s/ t=.*//' | paste -sd';')" \
  "face b=4 pic=HighLightSelect;click b=4"

echo "# the pointer leaves: the hover ends within a tick"
hover_end() {  # BUTTON FACE: ms from the host's first pointer move to the face
  local b=$1 face=$2 m line t0 t1
  m=$(mark)
  park
  line=$(wait_line "$m" "^face b=$b pic=$face") || { echo none; return; }
  t1=$(field t "$line")
  t0=$(field t "$(wait_line "$m" '^pmove ')")
  echo "$((t1 - t0))"
}
delays=()
d=$(hover_end 4 Selected)
delays+=("$d")
shoot selected
check_face "Selected" "$QB_OUT/selected.png" 4 selected 0 all
# Back on b4 (selected) four times, then on b5 three times.
for b in 4 4 4 4 5 5 5; do
  if ((b == 4)); then on=HighLightSelect off=Selected; else on=HighLight off=Normal; fi
  then_face "$b" "$on" point_on "$b"
  sleep 0.$((RANDOM % 10))
  delays+=("$(hover_end "$b" "$off")")
done
qb_log "hover end delays (ms): ${delays[*]}"
# One missed hover end ("none") fails the lot, whatever comes after it.
worst=0
for d in "${delays[@]}"; do
  if [[ ! $d =~ ^[0-9]+$ ]]; then
    worst=none
    break
  fi
  ((d > worst)) && worst=$d
done
qb_expect_le "hover end after the pointer left, worst of ${#delays[@]} (ms)" "$worst" 250

echo "# a window lying over the resting pointer ends the hover too"
r4=(${rect[4]})
then_face 4 HighLightSelect point_at $((r4[0] + r4[2] - 10)) $((r4[1] + 14))
sleep 0.3
m=$(mark)
send cover 4
line=$(wait_line "$m" '^face b=4 pic=Selected') || qb_fail "the cover did not end the hover"
t0=$(field t "$(wait_line "$m" '^cover ')")
qb_expect_le "hover end after a window covered the pointer (ms)" "$(($(field t "$line") - t0))" 250
send uncover
park
sleep 0.3

echo "# pointer off every button: ticks run, nothing is painted"
declare -A before_all
for b in 1 2 3 4 5; do before_all[$b]=$(report $b); done
sleep 1.2
for b in 1 2 3 4 5; do
  after=$(report $b)
  qb_expect_eq "idle b$b: faces, WM_PAINTs" "$(field faces "$after"),$(field screens "$after")" \
    "$(field faces "${before_all[$b]}"),$(field screens "${before_all[$b]}")"
done
qb_expect_ge "idle b5: ticks in 1.2 s" "$(($(field ticks "$after") - $(field ticks "${before_all[5]}")))" 8

echo "# Click once per click"
m=$(mark)
point_on 1
sleep 0.2
xdotool click 1
sleep 0.4
qb_expect_eq "one click, one Click" "$(count_after "$m" '^click b=1')" 1
for i in 1 2 3; do xdotool click 1; sleep 0.3; done
sleep 0.3
qb_expect_eq "four clicks, four Clicks" "$(count_after "$m" '^click b=1')" 4
qb_expect_eq "no Click elsewhere" "$(count_after "$m" '^click ')" 4

echo "# the right button clicks too, and paints nothing on its press"
then_face 2 HighLight point_on 2
m=$(mark)
xdotool mousedown 3
sleep 0.3
qb_expect_eq "right press: faces painted" "$(count_after "$m" '^face b=2')" 0
xdotool mouseup 3
sleep 0.3
qb_expect_eq "right release: Clicks" "$(count_after "$m" '^click b=2')" 1

echo "# press, drag off, release: no Click; off and back on: none either"
m=$(mark)
point_on 3
sleep 0.2
xdotool mousedown 1
sleep 0.2
park
sleep 0.4
xdotool mouseup 1
sleep 0.3
qb_expect_eq "drag off: Clicks" "$(count_after "$m" '^click ')" 0
qb_expect_eq "drag off: state Selected, button up" "$(field state "$(report 3)"),$(field down "$(report 3)")" 3,0
m=$(mark)
point_on 3
sleep 0.3
xdotool mousedown 1
sleep 0.2
park
sleep 0.4
point_on 3
sleep 0.4
xdotool mouseup 1
sleep 0.3
qb_expect_eq "drag off and back: Clicks" "$(count_after "$m" '^click ')" 0
# (A pointer move after the release may light it up again: it is over it.)
qb_expect_eq "drag off and back: faces" \
  "$(tail -n +"$((m + 1))" "$log" | tr -d '\r' | grep '^face b=3' | cut -d' ' -f3 | head -3 | paste -sd,)" \
  "pic=HighLightSelect,pic=Pressed,pic=Selected"
m=$(mark)
park
sleep 0.3
point_on 3
sleep 0.3
xdotool click 1
sleep 0.3
qb_expect_eq "and the next click raises Click" "$(count_after "$m" '^click b=3')" 1

echo "# disabled: the Disable face, frozen, no Click"
park
sleep 0.3
then_face 5 Disable send enable 5 0
shoot disable
check_face "Disable" "$QB_OUT/disable.png" 5 disable 0 sides
m=$(mark)
point_on 5
sleep 0.3
xdotool click 1
sleep 0.3
park
sleep 0.3
qb_expect_eq "disabled: faces painted, Clicks" "$(count_after "$m" '^face b=5'),$(count_after "$m" '^click ')" 0,0
qb_expect_eq "disabled: it took the focus all the same" "$(field focus "$(report 5)")" 1
m=$(mark)
send enable 5 1
qb_expect_eq "enabled again: Normal" "$(wait_line "$m" '^face b=5' | cut -d' ' -f3)" pic=Normal

echo "# WM_PRINTCLIENT draws what the screen shows"
m=$(mark)
send print 4
line=$(wait_line "$m" '^print b=4')
qb_expect_eq "printed b4 against the screen (pixels off)" "$(field differing "$line")" 0

echo "# a transparent face shows the host beneath"
send visible 4 0
shoot transparent
# The host's background, 3a6e3a.
qb_expect_eq "transparent b4: its middle" "$(qb_pixel transparent $((r4[0] + 50)) $((r4[1] + 14)))" 58,110,58
qb_expect_eq "transparent b4: its corner" "$(qb_pixel transparent "${r4[0]}" "${r4[1]}")" 58,110,58
send visible 4 1

send quit
qb_wait_gone "$host_pid" 5 || qb_fail "the host did not quit"
grep -q '^error=' "$log" && qb_fail "host: $(grep '^error=' "$log" | tr -d '\r')"
qb_scenario_end
