#!/usr/bin/env bash
# Builds Tallowin (release) and starts it on your desktop, installing what it
# needs first. With no display it shows Tallowin at work on a private virtual
# desktop instead: Xvfb, openbox and two sample windows; it places the first
# listed window, prints what Tallowin printed, saves a screenshot of the
# virtual screen and prints its path, then tears the desktop down.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

scripts/install-deps.sh
cmake --preset release >/dev/null
# Read whole: grep -q would stop early, and under pipefail ninja's SIGPIPE fails the test.
targets=$(ninja -C build/release -t targets all 2>/dev/null || true)
if ! grep -q '^tallowin:' <<<"$targets"; then
  echo "This build has no tallowin executable: no window-system provider for $(uname -s) was found." >&2
  exit 1
fi
cmake --build --preset release --target tallowin
binary="$root/build/release/shell/tallowin"
if [ "$(uname -s)" != Darwin ]; then
  cmake --build --preset release --target obs_request
fi

if [ "$(uname -s)" = Darwin ]; then
  bundle="$root/build/release/shell/tallowin.app"
  if [ -d "$bundle" ]; then
    exec open -W "$bundle"
  fi
  exec "$binary"
fi

if [ -n "${WAYLAND_DISPLAY:-}" ] || { [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; }; then
  exec "$binary" "$@"
fi

echo "No display: running Tallowin on a private virtual desktop."
source "$root/tests/shell/virtual_desktop.sh"
source "$root/scripts/run-recorder-demo.sh"
trap 'recorder_demo_stop; desktop_stop' EXIT
desktop_start
recorder_demo_prepare
desktop_client xclock -geometry 300x300+400+300
desktop_client xlogo -geometry 400x300+900+500

output="$desktop_dir/tallowin.out"
"$binary" >"$output" 2>"$desktop_dir/tallowin.err" &
desktop_pids+=($!)
if ! desktop_wait 150 xdotool search --onlyvisible --name '^Tallowin$'; then
  echo "Tallowin's window did not appear:" >&2
  cat "$desktop_dir/tallowin.err" >&2
  exit 1
fi
window=$(xdotool search --onlyvisible --name '^Tallowin$' | head -n 1)
xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
sleep 0.5
xdotool key Return
placed=0
desktop_wait 50 grep -qx "Main window minimized" "$output" && placed=1
sleep 0.5

screenshot="${TMPDIR:-/tmp}/tallowin-$(date +%Y%m%d-%H%M%S).png"
import -window root "$screenshot"

echo "--- Tallowin printed:"
cat "$output"
echo "---"
if [ "$placed" != 1 ] || ! grep -qx "Window successfully brought to front." "$output"; then
  echo "Tallowin did not place a window; it said on standard error:" >&2
  cat "$desktop_dir/tallowin.err" >&2
  exit 1
fi
for file in $(grep -rl "last-selection" "$HOME" "$XDG_CONFIG_HOME" 2>/dev/null | sort -u); do
  echo "Stored capture selection (${file#"$desktop_dir"/}):"
  cat "$file"
done
[ -s "$screenshot" ] || { echo "No screenshot was saved." >&2; exit 1; }
echo "Screenshot of the virtual screen: $screenshot"
recorder_demo_record "$output" "$root/build/release/shell/recorders/obs_request"
