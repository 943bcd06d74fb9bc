#!/usr/bin/env bash
# Tallowin's start-up against real displays: without one it says what is
# missing and exits 1 before Qt is asked; with "-display" it shows its
# window on that display and lists and places that display's windows, not
# those of $DISPLAY.
# Usage: startup_displays.sh path/to/tallowin
set -euo pipefail
tallowin=$1
here=$(cd "$(dirname "$0")" && pwd)
source "$here/virtual_desktop.sh"
trap desktop_stop EXIT

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# Runs tallowin with only the given environment; checks status and stderr.
expect_refusal() {
  local wanted=$1
  shift
  local status=0 err
  err=$(env -i "$@" 2>&1 >/dev/null) || status=$?
  [ "$status" = 1 ] || fail "$* exited with $status, not 1 (stderr: $err)"
  [ "$err" = "$wanted" ] || fail "$* said '$err', not '$wanted'"
}

# Help and version need no display; a wrong option is a usage error.
status=0
usage=$(env -i "$tallowin" --help) || status=$?
[ "$status" = 0 ] && [[ "$usage" == "Usage: tallowin [options]"*"--display <display>"*"-display"* ]] ||
  fail "--help without a display: status $status, said '$usage'"
[[ "$(env -i "$tallowin" --version)" =~ ^tallowin\ [0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "--version without a display"
status=0
err=$(env -i "$tallowin" --bogus 2>&1 >/dev/null) || status=$?
[ "$status" = 2 ] && [[ "$err" == "tallowin: Unknown option 'bogus'."* ]] ||
  fail "an unknown option: status $status, said '$err'"

# Another Wayland compositor than sway: what is supported, on standard output.
status=0
said=$(env -i WAYLAND_DISPLAY=wayland-9 DISPLAY=:9 XDG_CURRENT_DESKTOP=GNOME "$tallowin" 2>/dev/null) || status=$?
[ "$status" = 1 ] && [[ "$said" == "Tallowin cannot move windows on this Wayland desktop (GNOME). It supports sway, KDE Plasma (KWin) and X11 desktops."*"GNOME Shell extension"* ]] ||
  fail "GNOME under Wayland: status $status, said '$said'"
expect_refusal "tallowin: no display: set DISPLAY or pass -display" "$tallowin"
expect_refusal "tallowin: no display: set DISPLAY or pass -display" DISPLAY= "$tallowin"
unused=":$((4000 + RANDOM % 1000))"
while [ -e "/tmp/.X11-unix/X${unused#:}" ]; do unused=":$((4000 + RANDOM % 1000))"; done
expect_refusal "tallowin: cannot reach the window system on display $unused" "$tallowin" -display "$unused"
expect_refusal "tallowin: cannot reach the window system on display $unused" DISPLAY="$unused" "$tallowin"

# The window's display: openbox and one client.
desktop_start
shown=$DISPLAY
desktop_client xlogo -title "Shown here" -geometry 300x200+700+400

# $DISPLAY: a bare server with a client of its own.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$desktop_dir/other" >"$desktop_dir/other.log" 2>&1 &
desktop_pids+=($!)
desktop_wait 100 grep -q '[0-9]' "$desktop_dir/other" || { echo "second Xvfb did not start" >&2; exit 1; }
other=":$(tr -dc '0-9' <"$desktop_dir/other")"
DISPLAY=$other xlogo -title "Elsewhere" -geometry 300x200+10+10 >>"$desktop_dir/clients.log" 2>&1 &
desktop_pids+=($!)

# The second time inside a sway session: the named display still holds the
# window, and the recorder is chosen for X11 (here: none found on the PATH).
sway_session=(WAYLAND_DISPLAY=wayland-9 SWAYSOCK=/nonexistent XDG_SESSION_TYPE=wayland PATH=/nonexistent)
for option in -display --display; do
  output="$desktop_dir/tallowin$option.out"
  session=() pin=()
  [ "$option" = --display ] && session=("${sway_session[@]}") pin=(--recorder ssr)
  env DISPLAY="$other" "${session[@]}" "$tallowin" "$option" "$shown" "${pin[@]}" >"$output" 2>"$output.err" &
  pid=$!
  desktop_pids+=($pid)
  if ! desktop_wait 150 xdotool search --onlyvisible --name '^Tallowin$'; then
    fail "$option: no Tallowin window on the display it was given"
    continue
  fi
  window=$(xdotool search --onlyvisible --name '^Tallowin$' | head -n 1)
  xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
  desktop_wait 50 sh -c "xprop -root _NET_ACTIVE_WINDOW | grep -qi \"$(printf '0x%x' "$window")\"" || true
  xdotool key Return
  if desktop_wait 50 grep -qx "Main window minimized" "$output"; then
    grep -qx "Window title: Shown here" "$output" || fail "$option: placed a window of another display"
    if [ "$option" = --display ]; then
      desktop_wait 50 grep -q "^SimpleScreenRecorder is not installed" "$output" ||
        fail "$option in a sway session: the recorder was not chosen for X11: $(cat "$output")"
    fi
  else
    fail "$option: Place did not run to its end: $(cat "$output" "$output.err")"
  fi
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  desktop_wait 50 sh -c '! xdotool search --name "^Tallowin\$"' || true
done

[ "$failures" = 0 ] || exit 1
echo "PASS"
