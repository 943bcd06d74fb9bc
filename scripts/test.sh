#!/usr/bin/env bash
# Builds Tallowin and runs its whole test suite: core, placement, the X11
# provider against a private Xvfb + openbox, and the Qt shell offscreen.
# Usage: scripts/test.sh [preset]   (default: ci; asan for the sanitizer run)
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-ci}"
scripts/install-deps.sh
cmake --preset "$preset"
cmake --build --preset "$preset"
ctest --preset "$preset"
