#!/usr/bin/env bash
# Instructions per frame of the release screensaver, a count that the load
# of the machine cannot move: `vantel /s` full screen on a private 1920x1080
# Xvfb under callgrind, drawing with avx2-loads, counting only inside
# FrameTick (which moves the scene, renders it and presents the frame) and
# writing the count of each call apart. The first FRAMES calls (300 unless
# given) are summed, and the functions that took the most in them are named;
# the frames after them are not waited for.
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

counted=()
for ((i = 1; i <= frames; i++)); do counted+=("$out.$i"); done
awk '/^summary:/ { print $2; nextfile }' "${counted[@]}" | sort -n | awk -v frames="$frames" -v size="$size" '
  { count[NR] = $1; total += $1 }
  END {
    if (NR != frames) { printf "only %d of %d frames counted\n", NR, frames; exit 1 }
    printf "vantel /s at %s, avx2-loads, %d frames under callgrind: %d instructions in FrameTick, %.0f per frame (median %d, least %d, most %d)\n",
           size, frames, total, total / frames, count[int((frames + 1) / 2)], count[1], count[frames]
  }'

# Each function's own instructions over the counted frames. A dump names a
# function once, as "(id) name", and by "(id)" after that; the cost line
# after a "calls=" line is the callee's, not the caller's own.
awk '
  FNR == 1 { delete name }
  /^c?fn=/ {
    ref = substr($0, index($0, "=") + 1)
    id = ref
    sub(/ .*/, "", id)
    if (ref != id) name[id] = substr(ref, length(id) + 2)
    if (/^fn=/) current = name[id]
    next
  }
  /^calls=/ { callee = 1; next }
  /^[0-9+*-]/ { if (!callee) own[current] += $2; callee = 0 }
  END { for (f in own) { total += own[f]; printf "%d\t%s\n", own[f], f }; printf "%d\t(all)\n", total }
' "${counted[@]}" | sort -rn | awk -F '\t' '
  NR == 1 { total = $1; next }
  NR <= 9 { printf "  %5.1f%% %12d  %s\n", 100 * $1 / total, $1, $2 }'
