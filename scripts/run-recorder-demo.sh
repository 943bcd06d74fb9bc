# The recorder part of scripts/run.sh on a private desktop: Tallowin hands
# the rectangle to the recorder it chose (OBS, installed by install-deps.sh),
# which then records a few seconds; the video's path and its resolution as
# ffprobe reads it are printed. Source it after virtual_desktop.sh.

# OBS on a virtual screen: software GL, and no first-run wizard.
recorder_demo_prepare() {
  export LIBGL_ALWAYS_SOFTWARE=1
  mkdir -p "$XDG_CONFIG_HOME/obs-studio"
  printf '[General]\nFirstRun=true\n' >"$XDG_CONFIG_HOME/obs-studio/global.ini"
}

# The recorders Tallowin started for this desktop (detached, so not in desktop_pids).
recorder_demo_stop() {
  [ -n "${HOME:-}" ] || return 0
  local pid
  for pid in $(pgrep -u "$(id -u)" -x obs 2>/dev/null) $(pgrep -u "$(id -u)" -x simplescreenrec 2>/dev/null); do
    if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "HOME=$HOME"; then
      kill "$pid" 2>/dev/null || true
    fi
  done
}

# $1: Tallowin's standard output; $2: the obs_request tool.
recorder_demo_record() {
  local output=$1 request=$2
  # The handoff's last line: ready, or what went wrong.
  local last="^(OBS is (ready|running|recording)|OBS Studio is not|OBS (does|did|refused|asks|quit|closed|was started)"
  last+="|SimpleScreenRecorder|No screen recorder|Cannot)"
  if ! desktop_wait 1200 grep -qE "$last" "$output"; then
    echo "The recorder handoff printed nothing within 2 minutes." >&2
    return 1
  fi
  if ! grep -q "^OBS is ready" "$output"; then
    echo "--- The recorder handoff:"
    grep -E "^(OBS|SimpleScreenRecorder|No screen recorder|Cannot)" "$output" || true
    echo "No recording: the demo records with OBS."
    return 0
  fi
  local ini="$XDG_CONFIG_HOME/obs-studio/global.ini" port password stopped video kept size
  port=$(sed -n 's/^ServerPort=//p' "$ini" | head -n 1)
  password=$(sed -n 's/^ServerPassword=//p' "$ini" | head -n 1)
  "$request" "$port" "$password" StartRecord >/dev/null
  sleep 4
  stopped=$("$request" "$port" "$password" StopRecord)
  video=$(python3 -c 'import json, sys; print(json.loads(sys.argv[1])["outputPath"])' "$stopped")
  desktop_wait 100 test -s "$video"
  kept="${TMPDIR:-/tmp}/tallowin-$(date +%Y%m%d-%H%M%S).${video##*.}"
  cp "$video" "$kept"
  size=$(ffprobe -v error -select_streams v:0 -show_entries stream=width,height -of csv=s=x:p=0 "$kept")
  echo "--- The recorder handoff:"
  grep -E "^OBS" "$output"
  echo "Recording made by OBS: $kept ($size, as ffprobe reads it)"
}
