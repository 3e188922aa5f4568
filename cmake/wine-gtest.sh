#!/usr/bin/env bash
# Runs a GoogleTest program under Wine (wine-run.sh PREFIX PROGRAM ARGS...)
# and passes only when it exits 0 *and* printed GoogleTest's summary of at
# least one passed test. Without Wine's 32-bit half, a PE32 program "runs",
# prints nothing and exits 0: that must never count as a pass.
# The output goes through a file, not a pipe: a process the program starts
# (Wine starts some helpers of its own on demand) inherits the output and may
# outlive it, and a reader of a pipe would wait for that process to end.
set -u
here=$(dirname "$0")
out=$(mktemp)
trap 'rm -f "$out"' EXIT
"$here/wine-run.sh" "$@" >"$out" 2>&1 </dev/null
status=$?
cat "$out"
[ "$status" = 0 ] || exit "$status"
if ! grep -Eq '^\[  PASSED  \] [1-9][0-9]* test' "$out"; then
  echo "wine-gtest.sh: $(basename "$2") exited 0 without running a test (is Wine's 32-bit half installed?)" >&2
  exit 1
fi
