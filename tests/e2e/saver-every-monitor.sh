#!/usr/bin/env bash
# With two monitors side by side, `vantel /s` covers both: its window spans
# the whole desktop, each half is black where the box is not, the box shows,
# and a key still ends it with 0. The two monitors are RandR monitors on a
# private 2560x720 Xvfb, which makes the server report two Xinerama heads
# (SDL still sees one display there; the saver's window tests cover displays
# that SDL reports apart).
source "$(dirname "$0")/saver-lib.sh"

use_private_display 2560x720
xrandr --setmonitor left 1280/338x720/190+0+0 screen >/dev/null
xrandr --setmonitor right 1280/338x720/190+1280+0 none >/dev/null
heads=$(xdpyinfo -ext XINERAMA)
grep -q 'head #1: 1280x720 @ 1280,0' <<<"$heads" || fail "the display does not show two monitors: $heads"

convert -size 2560x720 xc:white "$work/white.png"
display -window root "$work/white.png" 2>/dev/null || true
start_saver /s
await_window
geometry=$(saver_geometry)
[ "$geometry" = "2560x720+0+0" ] || fail "window geometry $geometry"

box_on_black() { shot_shows_box "$work/shot.png" && near_colour "$work/shot.png" '#1884a0' 25%; }
poll_until 20 box_on_black || fail "no box on black over both monitors"
for corner in +0+0 +1180+0 +1280+0 +2460+0 +0+620 +1180+620 +1280+620 +2460+620; do
    max=$(convert "$work/shot.png" -crop "100x100$corner" -format "%[fx:maxima]" info:)
    [ "$max" = 0 ] || fail "corner $corner of a monitor is not black"
done

xdotool key space
expect_exit "$saver" 0 "key press"
echo "ok"
