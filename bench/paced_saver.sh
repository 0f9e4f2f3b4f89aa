#!/usr/bin/env bash
# Runs the release screensaver full screen on a private Xvfb and prints its
# paced frame rate (saver_bench --paced) and the CPU time of the real program
# over a fixed run (/usr/bin/time); then both again in host mode, drawing
# into the root window as a screensaver host's window. Without a size, at
# 1920x1080 and then at 3840x2160.
# Usage: bench/paced_saver.sh [build dir] [seconds] [size]
set -euo pipefail
build=${1:-build-release}
seconds=${2:-20}
size=${3:-1920x1080}
source "$(dirname "$0")/private-display.sh"

"$build/bin/saver_bench" --paced "$seconds"

# CPU time of `vantel $1` over the run, ended by the command $2.
measure() {
    /usr/bin/time -f "%U %S %e" -o "$work/time" "$build/bin/vantel" "$1" 2>/dev/null &
    saver=$!
    sleep "$seconds"
    "$2"
    wait $saver || true
    read -r user system elapsed < "$work/time"
    awk -v u="$user" -v s="$system" -v e="$elapsed" -v what="vantel $1 at $size" \
        'BEGIN { printf "%s over %.1f s: user %.2f s, system %.2f s, CPU %.1f%% of one core\n", what, e, u, s, 100 * (u + s) / e }'
}
press_key() { xdotool key space; }
measure /s press_key

XSCREENSAVER_WINDOW=$(xwininfo -root | awk '/Window id:/ {print $4}')
export XSCREENSAVER_WINDOW
"$build/bin/saver_bench" --paced "$seconds"
# A hosted saver ends only when its host says so: SIGTERM to time's child.
end_hosted() { kill -TERM "$(pgrep -P "$saver")"; }
measure --root end_hosted

# The second size starts afresh: with the host's window of this display
# still named, its `vantel /s` would run in host mode and ignore the key.
[ $# -ge 3 ] || env -u XSCREENSAVER_WINDOW bash "$0" "$build" "$seconds" 3840x2160
