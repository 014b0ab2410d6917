#!/usr/bin/env bash
# A second instance: while a top-level window titled "Quillbright_Main" or
# "<Quillbright>" exists (here a hidden one the driver holds), every mode
# ends at once, showing nothing and starting nothing, even with the
# companion missing.
set -uo pipefail
source "$(dirname "$0")/lib.sh"
qb_scenario_begin single_instance

with_companion=$(qb_saver_folder qb_single window=1)
without_companion=$(qb_saver_folder qb_single_nodll)

n=0
for title in "$QB_SAVER_TITLE" "$QB_DIALOG_TITLE"; do
  for dir in "$with_companion" "$without_companion"; do
    for args in /s /p\ 1234 /c ""; do
      n=$((n + 1))
      what="'$args' beside $(basename "$dir") while '$title' exists"
      # A message box would keep the saver waiting: the timeout then fails it.
      qb_run_saver case$n --timeout 5000 --hold "$title" "$(qb_winpath "$dir")\\Quillbright.scr" $args
      qb_expect_quiet_end case$n "$what"
    done
  done
done

sleep 0.5  # a companion started by mistake would have logged by now
qb_expect_no_file "the companion never started" "$with_companion/Quillbright.dll.log"
qb_expect_no_file "no settings file written" "$with_companion/Quillbright.ini"

qb_scenario_end
