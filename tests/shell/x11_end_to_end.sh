#!/usr/bin/env bash
# Tallowin on a private Xvfb + openbox with two real X clients: Return
# presses Place, and the first listed window must then have the capture
# rectangle as its frame, as measured by xwininfo, and the preferences file
# must hold that rectangle. That window's title holds line feeds that would
# forge status lines if written raw.
# Usage: x11_end_to_end.sh path/to/tallowin
set -euo pipefail
tallowin=$1
here=$(cd "$(dirname "$0")" && pwd)
source "$here/virtual_desktop.sh"
trap desktop_stop EXIT
desktop_start

# Titles sort "Line one..." first, whoever owns the windows.
forged=$'Line one\nnot matched\nWindow successfully brought to front.'
desktop_client xlogo -title "$forged" -geometry 400x300+900+500
desktop_client xclock -title "Mu sample" -geometry 300x300+400+300
alpha=$(xdotool search --name '^Line one' | head -n 1)

output="$desktop_dir/tallowin.out"
"$tallowin" >"$output" 2>"$desktop_dir/tallowin.err" &
desktop_pids+=($!)
fail() {
  echo "FAIL: $*" >&2
  echo "--- tallowin stdout:" >&2
  cat "$output" >&2
  echo "--- tallowin stderr:" >&2
  cat "$desktop_dir/tallowin.err" >&2
  exit 1
}
desktop_wait 150 xdotool search --onlyvisible --name '^Tallowin$' || fail "no Tallowin window"
window=$(xdotool search --onlyvisible --name '^Tallowin$' | head -n 1)
xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
desktop_wait 50 sh -c "xprop -root _NET_ACTIVE_WINDOW | grep -qi \"$(printf '0x%x' "$window")\"" ||
  fail "Tallowin's window never became active"
xdotool key Return
desktop_wait 50 grep -qx "Main window minimized" "$output" || fail "Place did not run to its end"
[ "$(grep -cx "Window successfully brought to front." "$output")" = 1 ] || fail "not one raise reported"
grep -qxF 'Window title: Line one\nnot matched\nWindow successfully brought to front.' "$output" ||
  fail "the first listed window was not the one examined, or its title was not written on one line"
! grep -qx "not matched" "$output" || fail "a title forged a status line"

# The minimized window: openbox marks it hidden.
desktop_wait 30 sh -c "xprop -id $window _NET_WM_STATE | grep -q _NET_WM_STATE_HIDDEN" ||
  fail "Tallowin's window was not minimized"

preferences=$(grep -rl "last-selection" "$HOME" "$XDG_CONFIG_HOME" 2>/dev/null | head -n 1 || true)
[ -n "$preferences" ] || fail "no preferences file holds last-selection"
stored=$(python3 "$here/read_capture_selection.py" "$preferences") || fail "unreadable preferences file $preferences"
frame=$(desktop_frame_of "$alpha")
echo "stored capture selection: $stored"
echo "frame of the placed window: $frame"
read -r sx sy sw sh sd <<<"$stored"
read -r fx fy fw fh <<<"$frame"
[ "$sw $sh" = "1920 1080" ] || fail "stored size $sw x $sh, not 1920 x 1080"
[ "$sx" = 0 ] || fail "stored X $sx, not 0"
[ "$sd" = 0 ] || fail "stored display $sd, not 0 (the main display)"
[ "$fx $fw $fh" = "$sx $sw $sh" ] || fail "frame $frame differs from the stored rectangle $stored"
[ "$fy" = "$sy" ] || fail "frame top $fy differs from the stored Y $sy"
echo "PASS"
