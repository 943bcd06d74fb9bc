#!/usr/bin/env bash
# Compares one window-list snapshot with `wmctrl -lpG`, as whole processes,
# on a private Xvfb + openbox holding 200 client windows; then times the
# in-process snapshot. Usage: scripts/bench-x11.sh [build dir]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/x11-bench}"
if [ ! -x "$build/bench/x11/bench_x11_snapshot" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTALLOWIN_BUILD_SHELL=OFF >/dev/null
  cmake --build "$build" --target bench_x11_snapshot -j2
fi

pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
}
trap cleanup EXIT

scratch=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 2560x1440x24 -nolisten tcp 3>"$scratch/display" 2>/dev/null &
pids+=($!)
until [ -s "$scratch/display" ]; do sleep 0.05; done
export DISPLAY=":$(head -n1 "$scratch/display")"
rm -rf "$scratch"
openbox --sm-disable 2>/dev/null &
pids+=($!)
until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; do sleep 0.05; done

for i in $(seq 1 200); do
  case $((i % 4)) in
    0) xterm -T "term $i" -geometry 40x10+$((i * 7 % 2000))+$((i * 5 % 1200)) & ;;
    1) xclock -geometry 100x100+$((i * 7 % 2000))+$((i * 5 % 1200)) & ;;
    2) xeyes -geometry 100x100+$((i * 7 % 2000))+$((i * 5 % 1200)) & ;;
    3) xlogo -geometry 100x100+$((i * 7 % 2000))+$((i * 5 % 1200)) & ;;
  esac
  pids+=($!)
done 2>/dev/null
until [ "$(xprop -root _NET_CLIENT_LIST_STACKING | tr ',' '\n' | grep -c 0x)" -ge 200 ]; do sleep 0.2; done

echo "entries listed: $("$build/bench/x11/bench_x11_snapshot")"
echo "wmctrl windows: $(wmctrl -lpG | wc -l)"
hyperfine -N --warmup 5 --runs 50 "$build/bench/x11/bench_x11_snapshot" "wmctrl -lpG"
"$build/bench/x11/bench_x11_snapshot" --benchmark --benchmark_min_time=1
