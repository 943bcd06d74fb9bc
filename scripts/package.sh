#!/usr/bin/env bash
# Builds the Debian package of a release build (installing what the build
# needs first) and prints its path. Install it with: apt-get install ./FILE
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release
(cd build/release && cpack -G DEB >/dev/null)
ls "$(pwd)"/build/release/tallowin_*.deb
