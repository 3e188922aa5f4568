#!/usr/bin/env bash
# Builds the HTTP client's byte-level fuzzers natively with clang (libFuzzer,
# AddressSanitizer, UndefinedBehaviorSanitizer) and runs each for a bounded
# time. FUZZ_SECONDS sets the time per target (default 60); FUZZ_BUILD the
# build folder (default fuzz-build). Exits non-zero when a target fails.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${FUZZ_BUILD:-$root/fuzz-build}
seconds=${FUZZ_SECONDS:-60}

CC=clang CXX=clang++ cmake -S "$root/fuzz" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2

status=0
for target in header_scan chunked url; do
  corpus=$build/corpus/$target
  log=$build/fuzz_$target.log
  mkdir -p "$corpus"
  if "$build/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$build/crash-$target-" \
      "$corpus" "$root/fuzz/seeds/$target" >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "fuzz_$target: passed, $runs runs in ${seconds}s"
  else
    echo "fuzz_$target: FAILED (see $log)" >&2
    grep -E 'ERROR|SUMMARY|Test unit written' "$log" >&2 || true
    status=1
  fi
done
exit $status
