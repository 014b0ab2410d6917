#!/usr/bin/env bash
# Test fixture: one Xvfb, one prefix and a running wineserver for all the
# Wine scenarios of a CTest run, described in $QB_WINE_ENV/env.sh.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
: "${QB_WINE_ENV:?}"
qb_require_win32_build
start=$SECONDS
qb_setup_env "$QB_WINE_ENV"
echo "Wine environment ready in $((SECONDS - start)) s: DISPLAY=$DISPLAY WINEPREFIX=$WINEPREFIX"
