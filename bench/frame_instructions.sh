#!/usr/bin/env bash
# Instructions per frame of the release screensaver, a count that the load
# of the machine cannot move: `vantel /s` full screen on a private 1920x1080
# Xvfb under callgrind, drawing with avx2-loads, counting only inside
# FrameTick (which moves the scene, renders it and presents the frame) and
# writing the count of each call apart. The first FRAMES calls (300 unless
# given) are summed; the frames after them are not waited for.
# Usage: bench/frame_instructions.sh [build dir] [frames]
set -euo pipefail
build=${1:-build-release}
frames=${2:-300}
size=1920x1080
source "$(dirname "$0")/private-display.sh"
command -v valgrind >/dev/null || { echo "valgrind is not installed (apt-get install valgrind)" >&2; exit 1; }

frame='FrameTick(bool)'
out=$work/frame
VANTEL_RASTER=avx2-loads valgrind --tool=callgrind --collect-atstart=no --toggle-collect="$frame" \
  --dump-after="$frame" --callgrind-out-file="$out" "$build/bin/vantel" /s 2>"$work/valgrind" &
saver=$!
# Dump N is whole once dump N + 1 has begun.
until [ -e "$out.$((frames + 1))" ]; do
  kill -0 "$saver" 2>/dev/null || { echo "the saver ended early; see:" >&2; cat "$work/valgrind" >&2; exit 1; }
  sleep 1
done
kill -TERM "$saver"
wait "$saver" || true

for ((i = 1; i <= frames; i++)); do
  awk '/^(summary|totals):/ { print $2; exit }' "$out.$i"
done | sort -n | awk -v frames="$frames" -v size="$size" '
  { count[NR] = $1; total += $1 }
  END {
    if (NR != frames) { printf "only %d of %d frames counted\n", NR, frames; exit 1 }
    printf "vantel /s at %s, avx2-loads, %d frames under callgrind: %d instructions in FrameTick, %.0f per frame (median %d, least %d, most %d)\n",
           size, frames, total, total / frames, count[int((frames + 1) / 2)], count[1], count[frames]
  }'
