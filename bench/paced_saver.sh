#!/usr/bin/env bash
# Runs the release screensaver full screen on a private Xvfb and prints its
# paced frame rate (saver_bench --paced) and the CPU the real program uses in
# steady state, from 4 s after its start for SECONDS more; then both again in
# host mode, drawing into the root window as a screensaver host's window.
# Without a size, at 1920x1080, 3840x2160 and 11520x2160 in turn.
# Usage: bench/paced_saver.sh [build dir] [seconds] [size]
set -euo pipefail
build=${1:-build-release}
seconds=${2:-20}
# Each size runs afresh on a display of its own, without the host's window
# named for the size before: `vantel /s` would run in host mode and ignore
# the key.
if [ $# -lt 3 ]; then
  for size in 1920x1080 3840x2160 11520x2160; do
    env -u XSCREENSAVER_WINDOW bash "$0" "$build" "$seconds" "$size"
  done
  exit
fi
size=$3
source "$(dirname "$0")/private-display.sh"
source "$(dirname "$0")/steady-cpu.sh"

"$build/bin/saver_bench" --paced "$seconds"
press_key() { xdotool key space; }
steady_cpu "vantel /s at $size" press_key "$build/bin/vantel" /s

XSCREENSAVER_WINDOW=$(xwininfo -root | awk '/Window id:/ {print $4}')
export XSCREENSAVER_WINDOW
"$build/bin/saver_bench" --paced "$seconds"
# A hosted saver ends only when its host says so.
end_hosted() { kill -TERM "$1"; }
steady_cpu "vantel --root at $size" end_hosted "$build/bin/vantel" --root
