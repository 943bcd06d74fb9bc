#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan+UBSan) and runs each for a
# bounded time; any crash fails the run.
# Usage: scripts/fuzz.sh [seconds per target]   (default 30)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-30}"
cmake --preset fuzz
cmake --build --preset fuzz
for target in fuzz_parse_resolution fuzz_title_prefix fuzz_plist_domain; do
  corpus="build/fuzz/corpus/$target"
  mkdir -p "$corpus"
  options=()
  if [ "$target" = fuzz_plist_domain ]; then
    # Room for files well past the nesting and value bounds, no allocation a
    # bounded file could not explain; the seeds stay read-only.
    options=(-max_len=65536 -malloc_limit_mb=64 -dict=fuzz/plist_domain.dict "$corpus" fuzz/plist_domain_seeds)
  else
    options=("$corpus")
  fi
  echo "== $target: ${seconds}s"
  "build/fuzz/fuzz/$target" -max_total_time="$seconds" -print_final_stats=1 "${options[@]}" 2>&1 | tail -n 4
  [ "${PIPESTATUS[0]}" -eq 0 ]
done
