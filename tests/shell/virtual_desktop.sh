# A private X desktop: Xvfb, openbox and sample clients, torn down on exit.
# Source it, then call desktop_start; desktop_stop runs from the EXIT trap.
# Needs: Xvfb openbox xprop xdotool.

desktop_pids=()
desktop_dir=""

desktop_stop() {
  local pid
  for ((i = ${#desktop_pids[@]} - 1; i >= 0; i--)); do
    pid=${desktop_pids[i]}
    kill "$pid" 2>/dev/null || true
  done
  for pid in "${desktop_pids[@]}"; do
    wait "$pid" 2>/dev/null || true
  done
  desktop_pids=()
  if [ -n "$desktop_dir" ]; then
    rm -rf "$desktop_dir"
    desktop_dir=""
  fi
}

# Polls a command until it succeeds, at most $1 tenths of a second.
desktop_wait() {
  local tenths=$1
  shift
  for ((n = 0; n < tenths; n++)); do
    if "$@" >/dev/null 2>&1; then
      return 0
    fi
    sleep 0.1
  done
  return 1
}

# Starts Xvfb (a free display, 2560x1440) and openbox; exports DISPLAY and a
# private HOME, XDG_RUNTIME_DIR and XDG_CONFIG_HOME, so that nothing of the
# user's is touched. desktop_dir is a private scratch folder.
desktop_start() {
  desktop_dir=$(mktemp -d "${TMPDIR:-/tmp}/tallowin-desktop.XXXXXX")
  mkdir -m 700 "$desktop_dir/runtime"
  mkdir "$desktop_dir/config" "$desktop_dir/home"
  export HOME="$desktop_dir/home"
  export XDG_RUNTIME_DIR="$desktop_dir/runtime"
  export XDG_CONFIG_HOME="$desktop_dir/config"

  local numberFile="$desktop_dir/display"
  Xvfb -displayfd 3 -screen 0 2560x1440x24 -nolisten tcp 3>"$numberFile" >"$desktop_dir/xvfb.log" 2>&1 &
  desktop_pids+=($!)
  if ! desktop_wait 100 grep -q '[0-9]' "$numberFile"; then
    echo "Xvfb did not start:" >&2
    cat "$desktop_dir/xvfb.log" >&2
    return 1
  fi
  local number
  number=$(tr -dc '0-9' <"$numberFile")
  export DISPLAY=":$number"

  openbox --sm-disable >"$desktop_dir/openbox.log" 2>&1 &
  desktop_pids+=($!)
  if ! desktop_wait 100 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"'; then
    echo "openbox did not start:" >&2
    cat "$desktop_dir/openbox.log" >&2
    return 1
  fi
  # openbox names itself before it manages windows, and a window mapped in
  # between stays unmanaged: wait for its work area, then a moment more.
  desktop_wait 20 sh -c 'xprop -root _NET_WORKAREA | grep -q CARDINAL' || true
  sleep 0.3
}

# The number of client windows the window manager lists.
desktop_client_count() {
  { xprop -root _NET_CLIENT_LIST 2>/dev/null || true; } | { grep -o '0x[0-9a-f]*' || true; } | wc -l
}

# Runs a client in the background and waits until the window manager lists
# one more window.
desktop_client() {
  local before
  before=$(desktop_client_count)
  "$@" >>"$desktop_dir/clients.log" 2>&1 &
  desktop_pids+=($!)
  desktop_wait 100 desktop_has_more_clients "$before"
}

desktop_has_more_clients() { [ "$(desktop_client_count)" -gt "$1" ]; }

# The outer frame of a client window: "x y width height" in root coordinates.
desktop_frame_of() {
  local client=$1 frame
  frame=$(xwininfo -children -id "$client" | awk '/Parent window id:/ { print $4 }')
  xwininfo -id "$frame" | awk '
    /Absolute upper-left X:/ { x = $4 }
    /Absolute upper-left Y:/ { y = $4 }
    /Width:/ { w = $2 }
    /Height:/ { h = $2 }
    END { print x, y, w, h }'
}
