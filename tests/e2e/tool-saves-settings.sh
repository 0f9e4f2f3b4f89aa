#!/usr/bin/env bash
# The settings tool on a real X display: the window opens at its layout size,
# a stroke painted with the mouse lands in "123.bmp" beside the program when
# "設定確定" is clicked, and the settings file records it.
set -euo pipefail
source "$(dirname "$0")/../../scripts/lib/poll.sh"

work=$(mktemp -d)
tool_pid=""
cleanup() {
  if [ -n "$tool_pid" ]; then kill "$tool_pid" 2>/dev/null || true; wait "$tool_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# "設定確定" writes beside the executable, so the tool runs from a copy.
mkdir -p "$work/bin" "$work/config"
cp "$VANTEL_BIN_DIR/vantel30" "$work/bin/"
export XDG_CONFIG_HOME="$work/config"
"$work/bin/vantel30" >"$work/tool.log" 2>&1 &
tool_pid=$!

window=""
tool_window() {
  window=$(xdotool search --pid "$tool_pid" --name '^Vantel$' 2>/dev/null | head -1 || true)
  [ -n "$window" ] && return 0
  kill -0 "$tool_pid" 2>/dev/null || fail "vantel30 ended early: $(cat "$work/tool.log")"
  return 1
}
poll_until 30 tool_window || fail "no window named Vantel appeared"

info=$(xwininfo -id "$window")
field() { sed -n "s/^ *$1: *//p" <<<"$info"; }
width=$(field Width)
height=$(field Height)
left=$(field 'Absolute upper-left X')
top=$(field 'Absolute upper-left Y')
[ "$width" = 374 ] && [ "$height" = 287 ] || fail "window is ${width}x${height}, not 374x287"

# The colour of a screen pixel given in window coordinates, as "r,g,b".
screen_pixel() {
  import -window root "$work/screen.png"
  convert "$work/screen.png" -format \
    "%[fx:int(255*p{$((left + $1)),$((top + $2))}.r)],%[fx:int(255*p{$((left + $1)),$((top + $2))}.g)],%[fx:int(255*p{$((left + $1)),$((top + $2))}.b)]" info:
}

# Succeeds when the screen pixel at window coordinates ($1, $2) is "$3".
pixel_is() { [ "$(screen_pixel "$1" "$2")" = "$3" ]; }

# Canvas client area starts at (10, 10); the swatch lies at (320, 56).
poll_until 10 pixel_is 344 68 "255,0,0" || fail "swatch is not red: $(screen_pixel 344 68)"
[ "$(screen_pixel 138 138)" = "0,0,0" ] || fail "canvas is not black"

# A thick red stroke from canvas pixel (40, 128) to (200, 128).
xdotool mousemove $((left + 50)) $((top + 138)) mousedown 1
for x in 80 120 160 210; do
  xdotool mousemove $((left + x)) $((top + 138))
  sleep 0.05
done
xdotool mouseup 1
poll_until 10 pixel_is 130 138 "255,0,0" || fail "the stroke does not show on the canvas"

xdotool mousemove $((left + 320)) $((top + 196)) click 1   # "設定確定"
ini="$work/config/vantel/Vantel.ini"
poll_until 30 grep -q '^SPEED=' "$ini" 2>/dev/null || true
[ -f "$work/bin/123.bmp" ] || fail "123.bmp was not written beside the program"

expected=$(printf '[SETTING]\nFILENAME=%s\nDIR=C:\\\nCOLOR=255\n[SS_SECTION]\nSPEED=5' "$work/bin/123.bmp")
[ "$(cat "$ini")" = "$expected" ] || fail "settings file reads: $(cat "$ini")"

bmp="$work/bin/123.bmp"
[ "$(stat -c %s "$bmp")" = 196662 ] || fail "123.bmp is not an uncompressed 256x256 24-bit bitmap"
[ "$(od -An -tu2 -j28 -N2 "$bmp" | tr -d ' ')" = 24 ] || fail "123.bmp is not 24 bits per pixel"
bmp_pixel() { convert "$bmp" -format "%[fx:int(255*p{$1,$2}.r)],%[fx:int(255*p{$1,$2}.g)],%[fx:int(255*p{$1,$2}.b)]" info:; }
[ "$(bmp_pixel 120 128)" = "255,0,0" ] || fail "painted red missing in 123.bmp: $(bmp_pixel 120 128)"
[ "$(bmp_pixel 120 100)" = "0,0,0" ] || fail "123.bmp is not black away from the stroke"
[ "$(bmp_pixel 5 5)" = "0,0,0" ] || fail "123.bmp corner is not black"

echo "PASS: window 374x287, stroke saved to 123.bmp, settings written"
