#!/usr/bin/env bash
# The release rebuilt bit for bit: scripts/package, one after the other, in
# two clean clones of the current commit in folders of different names.
# The archives, the installer, SHA256SUMS and the four programs must match
# byte for byte, and no program may hold its clone's path. Four full
# Windows builds take minutes: scripts/test runs this only when
# QB_CHECK_REPRODUCIBLE=1.
set -uo pipefail
source "$(dirname "$0")/../wine/lib.sh"
QB_FAILURES=0
work=$(mktemp -d /tmp/qb-reproducible.XXXXXX)
trap 'rm -rf "$work"' EXIT
commit=$(git -C "$QB_SOURCE_DIR" rev-parse HEAD) || qb_die "no commit to rebuild"
clones=(a the-second-clone-of-quillbright)
for clone in "${clones[@]}"; do
  git clone --quiet --no-checkout "$QB_SOURCE_DIR" "$work/$clone" &&
    git -C "$work/$clone" checkout --quiet "$commit" || qb_die "cannot clone $commit"
  "$work/$clone/scripts/package" >"$work/$clone.log" 2>&1 ||
    { cat "$work/$clone.log"; qb_die "scripts/package failed in $clone"; }
done

one=$work/${clones[0]} two=$work/${clones[1]}
files=$(cd "$one" && ls dist/* build/win32/Quillbright.{scr,dll} build/win64/Quillbright.{scr,dll})
for f in $files; do
  cmp -s "$one/$f" "$two/$f" && qb_pass "$f: the same bytes" || qb_fail "$f differs between the clones"
done
for f in build/win{32,64}/Quillbright.{scr,dll}; do
  grep -qa "${clones[1]}" "$two/$f" && qb_fail "$f holds its build folder's path" || qb_pass "$f: no build path"
done
qb_checks_end
