#!/usr/bin/env bash
# Preview mode: the still inside hosts like the display settings' preview
# monitor (borderless windows the driver makes), its picture on a
# screenshot, its end with the host; handles that name no window; nothing
# of the saver's work (settings, companion, music) in preview mode; the
# executable's resources as the system reads them; and the still at 144 dpi.
set -uo pipefail
source "$(dirname "$0")/lib.sh"
qb_scenario_begin preview

still=$QB_SOURCE_DIR/src/resources/preview_still.bmp
dir=$(qb_saver_folder qb_preview window=1)
# A settings file that asks for music: the preview must never read it.
printf '[Section]\r\nBGM\x8b\xe6\x95\xaa=1\r\nBGM\xd8\xcb\xdf\xb0\xc4=3\r\n' >"$dir/Quillbright.ini"
cp "$dir/Quillbright.ini" "$QB_OUT/ini.before"
scr="$(qb_winpath "$dir")\\Quillbright.scr"
traces=trace+file,trace+mci

# preview_case NAME DRIVER-OPTIONS...: the driver's preview run of /p <host>.
preview_case() {
  local name=$1
  shift
  WINEDEBUG=$traces qb_driver "$name" preview --timeout 10000 "$@" "$scr" /p '{host}' ||
    qb_fail "$name: driver: $(tr -d '\r' <"$QB_OUT/$name")"
}

expect_child() {  # NAME WIDTH HEIGHT
  local out=$QB_OUT/$1
  qb_expect_eq "$1: preview window in the host" "$(qb_get child_seen "$out")" 1
  qb_expect_eq "$1: it is the program's" "$(qb_get child_of_program "$out")" 1
  qb_expect_eq "$1: class" "$(qb_get child_class "$out")" Quillbright_R
  qb_expect_eq "$1: the host is its parent" "$(qb_get child_parent_is_host "$out")" 1
  local style
  style=$(qb_get child_style "$out")
  qb_expect_eq "$1: WS_CHILD set" "$(( 0x${style:-0} & 0x40000000 ))" $((0x40000000))
  qb_expect_eq "$1: no caption or border" "$(( 0x${style:-0} & 0x00C00000 ))" 0
  qb_expect_eq "$1: rectangle in the host" "$(qb_get child_rect "$out")" "0,0,$2,$3"
}

echo "# a 152 x 112 host, destroyed after 1 s"
preview_case exact --size 152x112 --hold 1000 --end destroy-host
expect_child exact 152 112
qb_expect_eq "exact: still running after 1 s" "$(qb_get alive_after_hold "$QB_OUT/exact")" 1
qb_expect_le "exact: process ended after the host was destroyed (ms)" "$(qb_get end_after_ms "$QB_OUT/exact")" 1000
qb_expect_eq "exact: exit code" "$(qb_get exit_code "$QB_OUT/exact")" 0

# The picture, lifted out of the host onto the desktop at (LX, LY): Wine
# does not draw a child window of another process in place.
lx=400 ly=300
picture_case() {  # NAME WIDTH HEIGHT
  local name=$1 w=$2 h=$3
  preview_case "$name" --size "${w}x${h}" --lift "$lx,$ly" --lift-hold 8000 --end close-preview &
  local driver=$!
  qb_await lifted "$QB_OUT/$name"
  sleep 0.5
  qb_snap "$name"
  wait "$driver"
  expect_child "$name" "$w" "$h"
  qb_expect_le "$name: process ended after WM_CLOSE (ms)" "$(qb_get end_after_ms "$QB_OUT/$name")" 1000
}

# Pixels of the lifted preview W x H on a screenshot that differ from the
# still's top-left part of that size.
differing_pixels() { qb_pixels_off "$1" "$2x$3+$lx+$ly" "$still" "$2x$3+0+0"; }

# The brightest channel value in a region of a screenshot (0 for black).
brightest() { convert "$1" -crop "$2" +repage -format '%[fx:int(255*maxima)]' info:; }

echo "# a 200 x 150 host: the still at its own size, black right and below"
picture_case larger 200 150
shot=$QB_OUT/larger.png
qb_expect_eq "larger: the still's 152 x 112 pixels, exactly" "$(differing_pixels "$shot" 152 112)" 0
qb_expect_eq "larger: black right of the still" "$(brightest "$shot" "48x150+$((lx + 152))+$ly")" 0
qb_expect_eq "larger: black below the still" "$(brightest "$shot" "152x38+$lx+$((ly + 112))")" 0
qb_expect_ge "larger: the still is not black" "$(brightest "$shot" "152x112+$lx+$ly")" 100

echo "# a 120 x 90 host: the still's top-left part"
picture_case smaller 120 90
qb_expect_eq "smaller: the still's top-left 120 x 90 pixels" "$(differing_pixels "$QB_OUT/smaller.png" 120 90)" 0

echo "# two previews side by side"
preview_case left --at 50,500 --size 152x112 --hold 2500 --end destroy-host &
left=$!
preview_case right --at 300,500 --size 152x112 --hold 2500 --end destroy-host
wait "$left"
for side in left right; do
  expect_child "$side" 152 112
  qb_expect_eq "$side: still running beside the other" "$(qb_get alive_after_hold "$QB_OUT/$side")" 1
  qb_expect_le "$side: ended with its host (ms)" "$(qb_get end_after_ms "$QB_OUT/$side")" 1000
done

echo "# handles that name no window end at once, showing nothing"
qb_driver dead dead-window >/dev/null
dead=$(qb_get handle "$QB_OUT/dead")
qb_expect_eq "the dead handle names no window" "$(qb_get is_window "$QB_OUT/dead")" 0
n=0
for args in "/p 0" "/p abc" "/p" "/p $dead" "/P:$dead"; do
  n=$((n + 1))
  WINEDEBUG=$traces qb_run_saver "bad$n" --timeout 5000 "$scr" $args
  qb_expect_quiet_end "bad$n" "'$args'"
  qb_expect_eq "'$args': no preview window" "$(qb_get prev_seen "$QB_OUT/bad$n")" 0
done

echo "# nothing of the saver's work in preview mode"
sleep 0.5  # a companion started by mistake would have logged by now
qb_expect_no_file "the companion never started" "$dir/Quillbright.dll.log"
qb_expect_same_file "the settings file is unchanged" "$dir/Quillbright.ini" "$QB_OUT/ini.before"
touched=$(cat "$QB_OUT"/*.err | grep -a -c -i 'Quillbright\.ini')
qb_expect_eq "lines of the file trace naming the settings file" "$touched" 0
sent=$(cat "$QB_OUT"/*.err | grep -a -c 'trace:mci:mciSendString')
qb_expect_eq "MCI commands sent" "$sent" 0
# The traces do show both when the settings are read: /a reads them, and
# the companion being there, ends.
WINEDEBUG=$traces qb_driver trap run --timeout 5000 "$scr" /a >/dev/null
qb_expect_ge "the file trace names the settings file when it is read" \
  "$(grep -a -c -i 'Quillbright\.ini' "$QB_OUT/trap.err")" 1
rm -f "$QB_OUT/trap.err"

echo "# the executable's resources"
qb_wine "$QB_OUT/resources" 30 "$QB_HELPERS_DIR/resource_probe.exe" "$scr" ||
  qb_fail "resource_probe: $(tr -d '\r' <"$QB_OUT/resources")"
res=$QB_OUT/resources
qb_expect_eq "icons in group 1" "$(qb_get icon_count "$res")" 2
qb_expect_eq "icons: width x height x bits" "$(qb_get icon_0 "$res") $(qb_get icon_1 "$res")" "32x32x8 64x64x8"
qb_expect_eq "string 1" "$(qb_get string_1 "$res")" Quillbright
qb_expect_eq "file version" "$(qb_get file_version "$res")" 1.0.0.0
qb_expect_eq "product version" "$(qb_get product_version "$res")" 1.0.0.0
qb_expect_eq "language and code page" "$(qb_get translation "$res")" 0411,932
qb_expect_ge "manifest (bytes)" "$(qb_get manifest_bytes "$res")" 100
qb_expect_eq "preview still: width x height x bits" "$(qb_get still_size "$res")" 152x112x8

echo "# at 144 dpi: the still as large in 96-dpi units, 228 x 168, in a 300 x 225 host"
qb_use_dpi 144
qb_on_exit "qb_use_dpi 96"  # for the scenarios after this one
picture_case scaled 300 225
shot=$QB_OUT/scaled.png
qb_expect_eq "scaled: black right of and below 228 x 168" \
  "$(brightest "$shot" "72x225+$((lx + 228))+$ly") $(brightest "$shot" "228x57+$lx+$((ly + 168))")" "0 0"
convert "$still" -resize '228x168!' "$QB_OUT/still228.png"
convert "$shot" -crop "228x168+$lx+$ly" +repage "$QB_OUT/scaled.still.png"
# Smooth: 0.010 measured; every pixel doubled or not, 0.020.
qb_expect_le "scaled: the still enlarged smoothly (RMSE, per mille)" \
  "$(qb_rmse_permille "$QB_OUT/scaled.still.png" "$QB_OUT/still228.png")" 15

qb_scenario_end
