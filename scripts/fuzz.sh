#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan+UBSan) and runs each for a
# bounded time; any crash fails the run.
# Usage: scripts/fuzz.sh [seconds per target]   (default 30)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-30}"
cmake --preset fuzz
cmake --build --preset fuzz
for target in fuzz_parse_resolution fuzz_title_prefix; do
  corpus="build/fuzz/corpus/$target"
  mkdir -p "$corpus"
  echo "== $target: ${seconds}s"
  "build/fuzz/fuzz/$target" -max_total_time="$seconds" -print_final_stats=1 "$corpus" 2>&1 | tail -n 4
  [ "${PIPESTATUS[0]}" -eq 0 ]
done
