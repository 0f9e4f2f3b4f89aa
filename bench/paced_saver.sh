#!/usr/bin/env bash
# Runs the release screensaver full screen on a private 1920x1080 Xvfb and
# prints its paced frame rate (saver_bench --paced) and the CPU time of the
# real program over a fixed run (/usr/bin/time). Usage: bench/paced_saver.sh [build dir] [seconds]
set -euo pipefail
build=${1:-build-release}
seconds=${2:-20}
source "$(dirname "$0")/private-display.sh"

"$build/bin/saver_bench" --paced "$seconds"

/usr/bin/time -f "%U %S %e" -o "$work/time" "$build/bin/vantel" /s 2>/dev/null &
saver=$!
sleep "$seconds"
xdotool key space
wait $saver || true
read -r user system elapsed < "$work/time"
awk -v u="$user" -v s="$system" -v e="$elapsed" \
    'BEGIN { printf "vantel /s over %.1f s: user %.2f s, system %.2f s, CPU %.1f%% of one core\n", e, u, s, 100 * (u + s) / e }'
