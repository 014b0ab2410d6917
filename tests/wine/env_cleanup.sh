#!/usr/bin/env bash
# Test fixture: stops the shared wineserver and Xvfb and removes the prefix
# (kept when QB_KEEP_WINE_ENV=1, for looking into a failure).
set -uo pipefail
source "$(dirname "$0")/lib.sh"
: "${QB_WINE_ENV:?}"
qb_teardown_env "$QB_WINE_ENV"
if [[ ${QB_KEEP_WINE_ENV:-0} != 1 ]]; then
  rm -rf "$QB_WINE_ENV/prefix"
fi
echo "Wine environment stopped"
