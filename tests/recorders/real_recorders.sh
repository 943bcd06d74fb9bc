#!/usr/bin/env bash
# Tallowin's capture handoff against the real OBS Studio and
# SimpleScreenRecorder, on a private Xvfb + openbox with a private HOME.
# OBS is started once (by Tallowin itself, from closed with its server off)
# and serves the cases that need a running one.
# Usage: real_recorders.sh path/to/tallowin path/to/obs_request
set -euo pipefail
tallowin=$1
probe=$2
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../shell/virtual_desktop.sh"
for program in obs simplescreenrecorder ffprobe ffmpeg; do
  command -v "$program" >/dev/null || { echo "SKIP: $program is not installed"; exit 77; }
done
# The recorders Tallowin started detached: found by their command name and our HOME.
pkill_started() {
  local pid
  for pid in $(pgrep -u "$(id -u)" -x obs 2>/dev/null) $(pgrep -u "$(id -u)" -x simplescreenrec 2>/dev/null); do
    if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "HOME=$HOME"; then
      kill "$pid" 2>/dev/null || true
    fi
  done
}

trap 'pkill_started; desktop_stop' EXIT
desktop_start
export LIBGL_ALWAYS_SOFTWARE=1

fail() {
  echo "FAIL: $*" >&2
  for log in "$desktop_dir"/tallowin.out "$desktop_dir"/tallowin.err; do
    [ -f "$log" ] && { echo "--- $log" >&2; cat "$log" >&2; }
  done
  local obslog
  obslog=$(ls -t "$XDG_CONFIG_HOME"/obs-studio/logs/* 2>/dev/null | head -n 1 || true)
  [ -n "$obslog" ] && { echo "--- $obslog (tail)" >&2; tail -n 30 "$obslog" >&2; }
  exit 1
}

# The window to place: solid red, so every pixel of a recording of it is red;
# its title sorts first, before OBS's window, so Place takes it.
desktop_client xlogo -title "A red window" -bg red -fg red -geometry 400x300+900+500
placed=$(xdotool search --class xlogo | head -n 1)

obs_ini="$XDG_CONFIG_HOME/obs-studio/global.ini"
port=$((20000 + $$ % 20000))
password="users own pw"
mkdir -p "$(dirname "$obs_ini")" "$XDG_CONFIG_HOME/tallowin"
cat >"$obs_ini" <<INI
[General]
FirstRun=true

[OBSWebSocket]
ServerEnabled=false
ServerPort=$port
AuthRequired=true
ServerPassword=$password

[TallowinTest]
Marker=kept as it was
INI

pin() { printf '[General]\nrecorder=%s\n' "$1" >"$XDG_CONFIG_HOME/tallowin/tallowin.conf"; }
ini_set() { sed -i "s|^$1=.*|$1=$2|" "$obs_ini"; }
obs_count() { pgrep -u "$(id -u)" -x obs | while read -r pid; do
  tr '\0' '\n' <"/proc/$pid/environ" | grep -qx "HOME=$HOME" && echo "$pid"; done | wc -l; }

# Starts Tallowin, presses Place (Return), waits for its own last line and
# then for a line of the handoff matching $1 (at most $2 tenths of a second);
# leaves the lines in $desktop_dir/tallowin.out and Tallowin stopped.
place() {
  local expected=$1 tenths=$2
  : >"$desktop_dir/tallowin.out"
  env PATH="${tallowin_path:-$PATH}" "$tallowin" >"$desktop_dir/tallowin.out" 2>"$desktop_dir/tallowin.err" &
  local pid=$!
  desktop_wait 150 xdotool search --onlyvisible --name '^Tallowin$' || fail "no Tallowin window"
  local window
  window=$(xdotool search --onlyvisible --name '^Tallowin$' | head -n 1)
  # Asked again until it holds: on a loaded machine a first request can be lost.
  desktop_wait 150 sh -c "xdotool windowactivate $window; xprop -root _NET_ACTIVE_WINDOW | grep -qi $(printf '0x%x' "$window")" ||
    fail "Tallowin's window never became active"
  place_started=$(date +%s.%N)
  xdotool key Return
  desktop_wait 100 grep -qx "Main window minimized" "$desktop_dir/tallowin.out" || fail "Place did not run to its end"
  desktop_wait "$tenths" grep -q -- "$expected" "$desktop_dir/tallowin.out" || fail "no line matching: $expected"
  place_seconds=$(echo "$(date +%s.%N) - $place_started" | bc)
  if [ -n "${while_watched:-}" ]; then
    "$while_watched"
  fi
  sleep 1.5
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}

# Place's own lines, as on every platform, before the handoff's; a refresh
# after a slow recorder start may add lines after them.
place_lines() {
  grep -v -e '^OBS' -e '^SimpleScreenRecorder' -e '^A SimpleScreenRecorder' -e '^No screen recorder' "$desktop_dir/tallowin.out" |
    sed '/^Main window minimized$/q'
}
expected_place_lines=""

echo "== closed OBS, server off: switched on and started"
pin obs
place "^OBS is ready" 1200
echo "ready $place_seconds s after Place (OBS started from closed)"
[ "$(place_lines | tail -n 2)" = $'Window successfully brought to front.\nMain window minimized' ] ||
  fail "Place's own lines changed"
grep -qx "OBS's WebSocket server switched on in $obs_ini." "$desktop_dir/tallowin.out" || fail "no switched-on line"
grep -qx "Marker=kept as it was" "$obs_ini" || fail "the user's other key changed"
grep -qx "ServerPassword=$password" "$obs_ini" || fail "the user's password changed"
[ "$(obs_count)" = 1 ] || fail "not one OBS"

frame=$(desktop_frame_of "$placed")
read -r fx fy fw fh <<<"$frame"
[ "$fw $fh" = "1920 1080" ] || fail "placed frame $frame"
answers=$("$probe" "$port" "$password" GetVideoSettings GetCurrentProgramScene \
  'GetInputSettings {"inputName":"Tallowin capture"}') || fail "probe failed"
echo "$answers"
video=$(sed -n 1p <<<"$answers")
python3 - "$video" "$(sed -n 2p <<<"$answers")" "$(sed -n 3p <<<"$answers")" "$fx" "$fy" <<'PY' || fail "OBS's state differs"
import json, sys
video, scene, source = (json.loads(a) for a in sys.argv[1:4])
x, y = int(sys.argv[4]), int(sys.argv[5])
assert (video["baseWidth"], video["baseHeight"], video["outputWidth"], video["outputHeight"]) == (1920, 1080, 1920, 1080), video
assert scene["currentProgramSceneName"] == "Tallowin", scene
cut = source["inputSettings"]
assert (cut["cut_left"], cut["cut_top"]) == (x, y), cut
assert (cut["cut_right"], cut["cut_bot"]) == (2560 - x - 1920, 1440 - y - 1080), cut
PY

echo "== record 2 s"
"$probe" "$port" "$password" StartRecord >/dev/null || fail "StartRecord"
sleep 3
stopped=$("$probe" "$port" "$password" StopRecord) || fail "StopRecord"
video_file=$(python3 -c 'import json,sys; print(json.loads(sys.argv[1])["outputPath"])' "$stopped")
desktop_wait 100 test -s "$video_file" || fail "no recording at $video_file"
size=$(ffprobe -v error -select_streams v:0 -show_entries stream=width,height -of csv=s=x:p=0 "$video_file")
echo "recording $video_file: $size"
[ "$size" = "1920x1080" ] || fail "recording is $size"
ffmpeg -v error -ss 1 -i "$video_file" -frames:v 1 -f rawvideo -pix_fmt rgb24 -y "$desktop_dir/frame.rgb"
# Inside the frame's decorations (openbox: 20 px title bar, 1 px sides, 5 px bottom).
python3 - "$desktop_dir/frame.rgb" <<'PY' || fail "the recording does not show the placed window"
import sys
data = open(sys.argv[1], "rb").read()
assert len(data) == 1920 * 1080 * 3, len(data)
for x, y in [(10, 40), (1909, 40), (10, 1069), (1909, 1069), (960, 540)]:
    r, g, b = data[(y * 1920 + x) * 3:(y * 1920 + x) * 3 + 3]
    assert r > 200 and g < 60 and b < 60, (x, y, r, g, b)
print("sampled pixels: red")
PY

# The placed window above every window of OBS in the stacking order (bottom to top).
placed_above_obs() {
  local stacking top_obs=-1 placed_at=-1 index=0 window
  stacking=$(xprop -root _NET_CLIENT_LIST_STACKING | grep -o '0x[0-9a-f]*')
  for window in $stacking; do
    [ "$((window))" = "$placed" ] && placed_at=$index
    grep -qx "$((window))" <<<"$obs_windows" && top_obs=$index
    index=$((index + 1))
  done
  [ "$placed_at" -gt "$top_obs" ]
}
# OBS's window brought over the placed one while Tallowin watches: it must
# put the placed window back on top.
cover_with_obs() {
  obs_windows=$(xdotool search --onlyvisible --class '^obs$' || true)
  [ -n "$obs_windows" ] || fail "OBS shows no window"
  xdotool windowraise "$(head -n 1 <<<"$obs_windows")"
  desktop_wait 50 placed_above_obs || fail "OBS's window stayed over the placed window"
  echo "OBS's window raised over the placed window: Tallowin put the placed window back on top"
}

echo "== running OBS, server on"
while_watched=cover_with_obs place "^OBS is ready" 300
echo "ready $place_seconds s after Place (OBS running)"
# From here on the window is in place already: every Place prints these.
expected_place_lines=$(place_lines)
[ "$(place_lines | tail -n 2)" = $'Window successfully brought to front.\nMain window minimized' ] ||
  fail "Place's own lines changed"
[ "$(obs_count)" = 1 ] || fail "a second OBS"

echo "== wrong password, unreachable port, server off (running OBS)"
cp "$obs_ini" "$desktop_dir/global.ini.kept"
ini_set ServerPassword "not the password"
place "^OBS refused the WebSocket password from $obs_ini.$" 300
[ "$(place_lines)" = "$expected_place_lines" ] || fail "Place's own lines changed"
cp "$desktop_dir/global.ini.kept" "$obs_ini"
ini_set ServerPort 1
place "^OBS does not answer on port 1 (from $obs_ini).$" 300
[ "$(place_lines)" = "$expected_place_lines" ] || fail "Place's own lines changed"
cp "$desktop_dir/global.ini.kept" "$obs_ini"
ini_set ServerEnabled false
place "^OBS is running with its WebSocket server off: switch it on under Tools > WebSocket Server Settings" 100
[ "$(obs_count)" = 1 ] || fail "a second OBS"
cp "$desktop_dir/global.ini.kept" "$obs_ini"
pkill_started
desktop_wait 100 sh -c '! pgrep -x obs >/dev/null' || true

echo "== SimpleScreenRecorder"
mkdir -p "$HOME/.ssr"
printf '[input]\nvideo_area=screen\naudio_enabled=false\n\n[output]\nfile=%s/ssr.mkv\n' "$HOME" >"$HOME/.ssr/settings.conf"
pin ssr
place "^SimpleScreenRecorder started with the area 1920x1080 at $fx,$fy " 100
own="$XDG_CONFIG_HOME/tallowin/simplescreenrecorder.conf"
for entry in video_area=fixed video_x="$fx" video_y="$fy" video_w=1920 video_h=1080 video_x11_area=fixed \
  video_x11_x="$fx" video_x11_y="$fy" video_x11_width=1920 video_x11_height=1080 audio_enabled=false; do
  grep -qx "$entry" "$own" || fail "$own lacks $entry"
done
desktop_wait 100 pgrep -u "$(id -u)" -x simplescreenrec || fail "SimpleScreenRecorder did not start"
ssr=$(pgrep -u "$(id -u)" -x simplescreenrec | head -n 1)
tr '\0' ' ' <"/proc/$ssr/cmdline" | grep -q -- "--settingsfile=$own" || fail "not started with $own"
grep -qx "video_area=screen" "$HOME/.ssr/settings.conf" || fail "the user's SimpleScreenRecorder file changed"
pkill_started
# What SimpleScreenRecorder makes of that file: 2 s recorded, then saved, through its standard input.
mkfifo "$desktop_dir/ssr.in"
simplescreenrecorder --settingsfile="$own" --start-recording --no-systray --logfile="$desktop_dir/ssr.log" \
  <"$desktop_dir/ssr.in" >/dev/null 2>&1 &
ssr=$!
exec 7>"$desktop_dir/ssr.in"
desktop_wait 100 grep -q "Started input" "$desktop_dir/ssr.log" || fail "SimpleScreenRecorder did not record"
sleep 2
echo record-save >&7
desktop_wait 100 grep -q "Stopped output" "$desktop_dir/ssr.log" || true
echo quit >&7
exec 7>&-
wait "$ssr" || true
ssr_video=$(sed -n 's/.*Output file: //p' "$desktop_dir/ssr.log" | tail -n 1)
[ -s "$ssr_video" ] || fail "SimpleScreenRecorder saved no video; its log: $(cat "$desktop_dir/ssr.log")"
size=$(ffprobe -v error -select_streams v:0 -show_entries stream=width,height -of csv=s=x:p=0 "$ssr_video")
echo "SimpleScreenRecorder's recording $ssr_video: $size"
[ "$size" = "1920x1080" ] || fail "SimpleScreenRecorder recorded $size"

echo "== no recorder"
rm -f "$XDG_CONFIG_HOME/tallowin/tallowin.conf"
tallowin_path=/nonexistent place "^No screen recorder found: install obs-studio or simplescreenrecorder" 100
[ "$(place_lines)" = "$expected_place_lines" ] || fail "Place's own lines changed"
echo "PASS"
