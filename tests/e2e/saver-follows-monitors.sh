#!/usr/bin/env bash
# `vantel /s` follows the monitors while it runs: a monitor removed, added or
# moved (RandR monitors on a private 2560x1440 Xvfb) and the window covers
# all of them again, drawn at the new size, the box bouncing inside it. On
# an X display of two screens, DISPLAY=:N.1 opens it on screen 1 at that
# screen's size.
source "$(dirname "$0")/saver-lib.sh"
# Its rendering trace tells the size each viewport was made at.
export VANTEL_DEBUG=1

use_private_display 2560x1440
xrandr --setmonitor a 1280/338x720/190+0+0 screen >/dev/null
xrandr --setmonitor b 1280/338x720/190+1280+0 none >/dev/null

start_saver /s
await_window
[ "$(saver_geometry)" = "2560x720+0+0" ] || fail "window geometry $(saver_geometry) over two monitors"

covers() { [ "$(saver_geometry)" = "$1" ]; }
drawn_at() { grep -qx "RZX:Viewport width:$1 height:$2" "$work/stderr"; }
# The box shows inside the window and nowhere else on the screen.
box_within() {
    local w=$1 h=$2 x=$3 y=$4 bounds
    import -window root "$work/shot.png" 2>/dev/null || return 1
    bounds=$(convert "$work/shot.png" -fuzz 2% -trim -format '%w %h %X %Y' info:)
    awk -v w="$w" -v h="$h" -v x="$x" -v y="$y" -v b="$bounds" 'BEGIN { split(b, a, " ");
        bx = a[3] + 0; by = a[4] + 0;
        exit !(a[1] > 10 && a[1] < w && bx >= x && by >= y && bx + a[1] <= x + w && by + a[2] <= y + h) }'
}
follow() {
    local what=$1 w=$2 h=$3 x=$4 y=$5
    poll_until 20 covers "${w}x${h}+${x}+${y}" || fail "$what: window $(saver_geometry), not ${w}x${h}+${x}+${y}"
    poll_until 20 drawn_at "$w" "$h" || fail "$what: not drawn at ${w}x${h}: $(grep Viewport "$work/stderr")"
    poll_until 20 box_within "$w" "$h" "$x" "$y" || fail "$what: no box inside the window"
}

xrandr --delmonitor b >/dev/null
follow "b removed" 1280 720 0 0
xrandr --setmonitor b 1280/338x720/190+1280+720 none >/dev/null
follow "b added below on the right" 2560 1440 0 0
# This server redefines no monitor in place: a move is a removal and an
# addition in one go.
xrandr --delmonitor a --setmonitor a 1280/338x720/190+1280+0 screen >/dev/null
follow "a moved above b" 1280 1440 1280 0
kill -0 "$saver" 2>/dev/null || fail "the saver ended"
xdotool key space
expect_exit "$saver" 0 "key press after the monitors changed"
grep -q 'Error\|error' "$work/stderr" && fail "the saver complained: $(cat "$work/stderr")"
stop_xvfb

use_private_display 800x600 24 -screen 1 1024x768x24
screen0=$DISPLAY.0
export DISPLAY=$DISPLAY.1
: >"$work/stderr"
start_saver /s
await_window
[ "$(saver_geometry)" = "1024x768+0+0" ] || fail "window on screen 1: $(saver_geometry)"
xwininfo -root -tree -display "$screen0" | grep -q '"Vantel"' && fail "a window on screen 0"
poll_until 20 drawn_at 1024 768 || fail "not drawn at screen 1's size: $(cat "$work/stderr")"
poll_until 20 box_within 1024 768 0 0 || fail "no box on screen 1"
kill -TERM "$saver"
expect_exit "$saver" 0 "SIGTERM on screen 1"
echo "ok"
