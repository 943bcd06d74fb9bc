#!/usr/bin/env bash
# `tallowin | head -n 1` on a private Xvfb + openbox: once the reader has
# gone, the status lines must neither end Tallowin (SIGPIPE) nor stop the
# Place: Return still places the window and stores the rectangle, and
# Tallowin is still running afterwards.
# Usage: closed_output.sh path/to/tallowin
set -euo pipefail
tallowin=$1
here=$(cd "$(dirname "$0")" && pwd)
source "$here/virtual_desktop.sh"
trap desktop_stop EXIT
desktop_start

desktop_client xlogo -title "Alpha sample" -geometry 400x300+900+500
first="$desktop_dir/first-line"
"$tallowin" 2>"$desktop_dir/tallowin.err" > >(head -n 1 >"$first") &
pid=$!
desktop_pids+=("$pid")
fail() {
  echo "FAIL: $*" >&2
  cat "$desktop_dir/tallowin.err" >&2
  exit 1
}
desktop_wait 150 xdotool search --onlyvisible --name '^Tallowin$' || fail "no Tallowin window"
desktop_wait 50 test -s "$first" || fail "no first status line"
window=$(xdotool search --onlyvisible --name '^Tallowin$' | head -n 1)
xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
desktop_wait 50 sh -c "xprop -root _NET_ACTIVE_WINDOW | grep -qi \"$(printf '0x%x' "$window")\"" ||
  fail "Tallowin's window never became active"
xdotool key Return
desktop_wait 50 sh -c "grep -rqs last-selection '$XDG_CONFIG_HOME'" || fail "Place did not store the rectangle"
sleep 0.5
kill -0 "$pid" 2>/dev/null || fail "Tallowin ended once its standard output was closed"
echo "first line: $(cat "$first")"
echo "PASS"
