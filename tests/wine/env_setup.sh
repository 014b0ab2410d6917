#!/usr/bin/env bash
# Test fixture: one Xvfb, one prefix and a running wineserver for all the
# Wine scenarios of a CTest run, described in $QB_WINE_ENV/env.sh. It
# chooses the build the scenarios run and refuses one older than its sources.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
: "${QB_WINE_ENV:?}"
qb_select_build
qb_describe_build
qb_require_build
start=$SECONDS
qb_setup_env "$QB_WINE_ENV"
echo "Wine environment ready in $((SECONDS - start)) s: DISPLAY=$DISPLAY WINEPREFIX=$WINEPREFIX WINEARCH=$WINEARCH"
