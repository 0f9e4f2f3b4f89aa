#!/usr/bin/env bash
# Runs the release screensaver full screen on a private Xvfb and prints its
# paced frame rate (saver_bench --paced) and the CPU it uses against the
# floor's (paced_floor_x11: the least a paced saver must do), the two in turn
# on the same display, three rounds, each from 4 s after its start for
# SECONDS more: medians, and the saver's as a multiple of the floor's. Then
# the same in host mode, the saver drawing into the root window as a
# screensaver host's window. Without a size, at 1920x1080, 3840x2160 and
# 11520x2160 in turn.
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
echo "$size, load average $(cut -d' ' -f1-3 /proc/loadavg):"

end_by_term() { kill -TERM "$1"; }
press_key() { xdotool key space; }
floor() { steady_cpu "paced_floor_x11 at $size" end_by_term "$build/bin/paced_floor_x11"; }
saver() { steady_cpu "vantel /s at $size" press_key "$build/bin/vantel" /s; }
"$build/bin/saver_bench" --paced "$seconds"
against_floor "vantel /s at $size" floor saver

XSCREENSAVER_WINDOW=$(xwininfo -root | awk '/Window id:/ {print $4}')
export XSCREENSAVER_WINDOW
# A hosted saver ends only when its host says so.
hosted() { steady_cpu "vantel --root at $size" end_by_term "$build/bin/vantel" --root; }
"$build/bin/saver_bench" --paced "$seconds"
against_floor "vantel --root at $size" floor hosted
