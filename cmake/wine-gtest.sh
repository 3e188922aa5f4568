#!/usr/bin/env bash
# Runs a GoogleTest program under Wine (wine-run.sh PREFIX PROGRAM ARGS...)
# and passes only when it exits 0 *and* printed GoogleTest's summary of at
# least one passed test. Without Wine's 32-bit half, a PE32 program "runs",
# prints nothing and exits 0: that must never count as a pass.
set -u
here=$(dirname "$0")
out=$(mktemp)
trap 'rm -f "$out"' EXIT
"$here/wine-run.sh" "$@" 2>&1 | tee "$out"
status=${PIPESTATUS[0]}
[ "$status" = 0 ] || exit "$status"
if ! grep -Eq '^\[  PASSED  \] [1-9][0-9]* test' "$out"; then
  echo "wine-gtest.sh: $(basename "$2") exited 0 without running a test (is Wine's 32-bit half installed?)" >&2
  exit 1
fi
