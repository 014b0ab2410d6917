#!/usr/bin/env bash
# Makes src/resources/preview_still.bmp, the still the preview monitor shows:
# the presentation's own renderer draws it (render_still, 24-bit), and
# bmp_to_8bit.py fits it a palette, which keeps it a third of the size.
# Usage: tools/make_preview_still.sh [SEED [SECONDS]]
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset host >/dev/null
cmake --build --preset host --target render_still >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
build/host/render_still "$work/still24.bmp" "$@"
python3 tools/bmp_to_8bit.py "$work/still24.bmp" src/resources/preview_still.bmp
echo "wrote src/resources/preview_still.bmp ($(stat -c %s src/resources/preview_still.bmp) bytes)"
