#!/usr/bin/env bash
# Other programs on the desktop: a WM_NCDESTROY posted to the saver or sent
# to the dialog or one of its children ends their job instead of leaving them running without their
# handlers, a forged WM_DPICHANGED changes nothing, and a music path naming
# a pipe is never opened.
set -uo pipefail
source "$(dirname "$0")/lib.sh"
qb_scenario_begin outsiders

echo "# a music file at \\\\.\\pipe\\qb.mp3"
dir=$(qb_saver_folder qb_pipe_music window=0 exit_ms=1500)
qb_write_ini "$dir" 2 0 '\\.\pipe\qb.mp3'
qb_driver pipe pipe-server qb.mp3 6000 &
server=$!
qb_await listening "$QB_OUT/pipe" || qb_fail "the pipe server did not start"
qb_run_saver pipe_saver --timeout 10000 "$(qb_winpath "$dir")\\Quillbright.scr" /s
wait "$server"
qb_expect_eq "the saver ran" "$(qb_get main_seen "$QB_OUT/pipe_saver")" 1
qb_expect_eq "the pipe saw no client" "$(qb_get connected "$QB_OUT/pipe")" 0

echo "# WM_NCDESTROY posted to the saver's window, then the companion closes"
dir=$(qb_saver_folder qb_forged_end window=1 lifetime_ms=0)
qb_driver forged_end run --timeout 15000 "$(qb_winpath "$dir")\\Quillbright.scr" /s &
driver=$!
qb_driver forged_end_wait wait-window "$QB_COMPANION_TITLE" 10000 || qb_fail "the companion did not appear"
qb_driver forged_end_post post-message "$QB_SAVER_TITLE" 0x82 >/dev/null
sleep 1
qb_driver forged_end_close close-window "$QB_COMPANION_TITLE" >/dev/null
wait "$driver" || qb_fail "forged_end: driver: $(tr -d '\r' <"$QB_OUT/forged_end")"
qb_expect_eq "the saver ended, with its close path's exit code" "$(qb_get exit_code "$QB_OUT/forged_end")" 0

echo "# WM_NCDESTROY sent to the settings dialog"
dir=$(qb_saver_folder qb_forged_dialog window=1)
qb_open_dialog forged_dialog "$dir"
qb_driver forged_dialog_send send-message "$QB_DIALOG_TITLE" 0x82 >/dev/null
qb_expect_dialog_ended "forged WM_NCDESTROY to the dialog"

echo "# WM_NCDESTROY sent to the dialog's panel, hidden first"
qb_open_dialog forged_child "$dir"
qb_driver forged_child_send send-to-hidden-child "$QB_DIALOG_TITLE" 0x82 >/dev/null
qb_expect_dialog_ended "forged WM_NCDESTROY to a hidden child of the dialog"

echo "# WM_DPICHANGED forged: posted and sent at dpi 65535, posted without a rectangle"
dir=$(qb_saver_folder qb_forged_dpi window=1)
qb_open_dialog forged_dpi "$dir"
qb_driver forged_dpi_huge post-message "$QB_DIALOG_TITLE" 0x2e0 0xffffffff readable >/dev/null
qb_driver forged_dpi_sent send-message "$QB_DIALOG_TITLE" 0x2e0 0xffffffff readable >/dev/null
sleep 2
# About 30 MB at rest; at 65535 dpi, GBs within seconds (ended by the driver).
qb_driver forged_dpi_memory memory "$QB_DIALOG_TITLE" 150
qb_expect_le "the dialog's resident memory (MB)" "$(qb_get working_set_mb "$QB_OUT/forged_dpi_memory")" 150
qb_driver forged_dpi_null post-message "$QB_DIALOG_TITLE" 0x2e0 0x900090 >/dev/null
qb_dialog_probe forged_dpi.after info
qb_expect_eq "the dialog lives, at its size" "$(qb_get client_size "$QB_OUT/forged_dpi.after")" \
  "$(qb_get client_size "$QB_OUT/forged_dpi.info")"
qb_click_cancel
qb_expect_dialog_ended "after the forged WM_DPICHANGED"

qb_scenario_end
