#!/usr/bin/env bash
# clang-tidy over the production sources of a configured build, two at a
# time; any finding fails. The build's GCC-only warning flags are not findings.
# Usage: scripts/lint.sh BUILD_DIR
set -euo pipefail
build=${1:?usage: scripts/lint.sh BUILD_DIR}
root=$(cd "$(dirname "$0")/.." && pwd)
python3 - "$build/compile_commands.json" "$root" <<'PY' | sort -u |
import json, re, sys
pattern = re.compile(re.escape(sys.argv[2]) + r"/(app|discovery|placement|platform|shell)/[^ ]*\.cpp$")
for entry in json.load(open(sys.argv[1])):
    if pattern.match(entry["file"]):
        print(entry["file"])
PY
  xargs -r -P 2 -n 1 clang-tidy -p "$build" --quiet --warnings-as-errors='*' --extra-arg=-Wno-unknown-warning-option
