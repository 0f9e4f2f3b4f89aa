#!/usr/bin/env bash
# Long runs of the release programs on a private 1920x1080 Xvfb, with their
# resident memory (VmRSS) and open file descriptors sampled every 10 s:
#   1. the paced screensaver, `vantel /s`, for SECONDS (default 600);
#   2. the settings tool driven through X input (xdotool, as a person's mouse
#      and keyboard): STROKES strokes on the canvas, IMPORTS pictures
#      (BMP, JPEG and GIF in turn) through its open dialog and CONFIRMS
#      clicks on "設定確定" (defaults 10000, 200, 200).
# Prints every sample, then the first, the last and the largest, and whether
# memory stayed within 1 MB of the sample taken at one minute, with no file
# descriptors gained since then.
# Usage: bench/soak.sh [build dir] [seconds] [strokes] [imports] [confirms]
set -euo pipefail
build=$(realpath "${1:-build-release}")
seconds=${2:-600}
strokes=${3:-10000}
imports=${4:-200}
confirms=${5:-200}
source "$(dirname "$0")/private-display.sh"
sampler=""
trap '[ -n "$sampler" ] && kill "$sampler" 2>/dev/null; stop_xvfb; rm -rf "$work"' EXIT
fail() {
  echo "soak: $*" >&2
  exit 1
}

rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$1/status" 2>/dev/null; }

# sample PID FILE: every 10 s appends "<seconds since start> <VmRSS kB> <open fds>".
sample() {
  local start=$EPOCHSECONDS rss
  while rss=$(rss_kb "$1") && [ -n "$rss" ]; do
    echo "$((EPOCHSECONDS - start)) $rss $(ls "/proc/$1/fd" | wc -l)" >>"$2"
    sleep 10
  done
}

# report NAME FILE: the samples and what they show.
report() {
  echo "$1: seconds, VmRSS kB, open fds"
  sed 's/^/  /' "$2"
  awk -v name="$1" '
    NR == 1 { first = $2; firstFds = $3 }
    { last = $2; lastFds = $3; if ($2 > top) top = $2 }
    !base && $1 >= 60 { base = $2; baseFds = $3; low = high = $2; fds = $3 }
    base { if ($2 < low) low = $2; if ($2 > high) high = $2; if ($3 > fds) fds = $3 }
    END {
      printf "%s: %d samples; VmRSS first %d kB, last %d kB, largest %d kB; fds first %d, last %d\n",
             name, NR, first, last, top, firstFds, lastFds
      if (!base) { print name ": shorter than a minute, no verdict"; exit }
      printf "%s: after the first minute VmRSS %+d..%+d kB around %d kB (%s 1 MB), fds at most %d against %d (%s)\n",
             name, low - base, high - base, base,
             (high - base <= 1024 && base - low <= 1024) ? "within" : "NOT within",
             fds, baseFds, fds <= baseFds ? "none gained" : "GAINED"
    }' "$2"
}

soak_saver() {
  "$build/bin/vantel" /s 2>/dev/null &
  local saver=$!
  timeout 20 xdotool search --sync --onlyvisible --name '^Vantel$' >/dev/null || fail "no saver window"
  sample "$saver" "$work/saver" &
  sampler=$!
  sleep "$seconds"
  kill "$sampler"
  sampler=""
  xdotool key Escape
  local code=0
  wait "$saver" || code=$?
  [ "$code" = 0 ] || fail "the saver ended with $code"
  report "vantel /s, ${seconds} s" "$work/saver"
}

# The tool's controls, in pixels from its window's corner.
canvas_first=16 canvas_last=258
open_button=(320 20)
confirm_button=(320 196)
copyright_line=(100 280)

tool_window() { xdotool search --onlyvisible --name '^Vantel$' 2>/dev/null | head -1; }
dialog_open() { xdotool search --onlyvisible --name '^Open$' >/dev/null 2>&1; }
dialog_closed() { ! dialog_open; }
# The program's main thread waits for input: it has handled all it was given.
idle() { [ "$(cut -d' ' -f3 "/proc/$1/stat")" = S ]; }

# click_until PID BUTTON CHECK...: clicks the tool's BUTTON (the name of an
# (x, y) array) until CHECK succeeds. A click that the tool, idle, never saw
# is counted and given again.
lost_clicks=0
click_until() {
  local tool=$1 button=$2 attempt
  local -n at=$button
  shift 2
  for attempt in 1 2 3 4 5; do
    xdotool mousemove $((left + at[0])) $((top + at[1])) click 1
    poll_until 5 "$@" && return 0
    idle "$tool" || return 1
    lost_clicks=$((lost_clicks + 1))
  done
  return 1
}
image_replaced() { [ "$(stat -c %i "$work/bin/123.bmp" 2>/dev/null)" != "$1" ]; }

soak_tool() {
  # "設定確定" writes beside the program, so the tool runs from a copy.
  mkdir -p "$work/bin" "$work/pictures"
  cp "$build/bin/vantel30" "$work/bin/"
  convert -size 640x480 plasma:fractal "$work/pictures/a.bmp"
  convert -size 800x300 gradient:red-blue "$work/pictures/b.jpg"
  convert -size 300x500 pattern:checkerboard "$work/pictures/c.gif"
  local pictures=("$work/pictures/a.bmp" "$work/pictures/b.jpg" "$work/pictures/c.gif")
  # In English, so that xdotool finds the open dialog by its title: it reads
  # only the Latin-1 one, which the Japanese title has no characters in.
  LANGUAGE=en "$work/bin/vantel30" 2>/dev/null &
  local tool=$!
  poll_until 30 tool_window >/dev/null || fail "no tool window"
  local window left top
  window=$(tool_window)
  eval "$(xdotool getwindowgeometry --shell "$window" | grep -E '^(X|Y)=')"
  left=$X top=$Y
  sample "$tool" "$work/tool" &
  sampler=$!

  local started=$EPOCHSECONDS batch i
  for ((i = 0; i < strokes; i += batch)); do
    batch=$((strokes - i < 50 ? strokes - i : 50))
    local moves=()
    for ((s = 0; s < batch; s++)); do
      moves+=(mousemove $((left + canvas_first + RANDOM % (canvas_last - canvas_first)))
        $((top + canvas_first + RANDOM % (canvas_last - canvas_first))) mousedown 1)
      for _ in 1 2 3; do
        moves+=(mousemove $((left + canvas_first + RANDOM % (canvas_last - canvas_first)))
          $((top + canvas_first + RANDOM % (canvas_last - canvas_first))))
      done
      moves+=(mouseup 1)
    done
    xdotool "${moves[@]}"
    poll_until 60 idle "$tool" || fail "stroke $i: the tool stays busy"
  done
  echo "tool: $strokes strokes in $((EPOCHSECONDS - started)) s; VmRSS then $(rss_kb "$tool") kB"

  started=$EPOCHSECONDS
  for ((i = 0; i < imports; i++)); do
    click_until "$tool" open_button dialog_open || fail "import $i: no open dialog"
    xdotool type --delay 1 "${pictures[i % 3]}"
    xdotool key Return
    poll_until 20 dialog_closed || fail "import $i: the open dialog stayed"
    # The name typed leaves the dialog's completion list holding the pointer
    # after the dialog closed, and the next click only ends that; a click on
    # the copyright line does so harmlessly.
    xdotool mousemove $((left + copyright_line[0])) $((top + copyright_line[1])) click 1
  done
  echo "tool: $imports imports in $((EPOCHSECONDS - started)) s; VmRSS then $(rss_kb "$tool") kB"

  started=$EPOCHSECONDS
  for ((i = 0; i < confirms; i++)); do
    local before
    before=$(stat -c %i "$work/bin/123.bmp" 2>/dev/null || echo none)
    click_until "$tool" confirm_button image_replaced "$before" || fail "confirm $i: 123.bmp was not written"
  done
  echo "tool: $confirms confirms in $((EPOCHSECONDS - started)) s; VmRSS then $(rss_kb "$tool") kB;" \
    "clicks lost and given again: $lost_clicks"
  # Each confirm records the remembered directory, which only an import changes.
  grep -qx "DIR=$work/pictures" "$XDG_CONFIG_HOME/vantel/Vantel.ini" || fail "the imports did not reach the tool"

  # One more sample once all is done.
  sleep 10
  kill "$sampler"
  sampler=""
  kill "$tool"
  wait "$tool" || true
  report "vantel30, $strokes strokes, $imports imports, $confirms confirms" "$work/tool"
}

echo "machine: $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg) at the start"
soak_saver
soak_tool
echo "load average $(cut -d' ' -f1-3 /proc/loadavg) at the end"
