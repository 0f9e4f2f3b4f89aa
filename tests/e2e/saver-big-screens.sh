#!/usr/bin/env bash
# Screens wider than 8192 pixels, as three 4K monitors side by side make
# (11520x2160): `vantel /s` covers the screen and shows the box, and so does
# a saver in a host's window of that size. A host's window larger than the
# 16384x16384 the saver draws gets one line saying so and its size, and its
# saver stays, black, until the host ends it.
source "$(dirname "$0")/saver-lib.sh"
source "$(dirname "$0")/host-lib.sh"
source "$(dirname "$0")/../../scripts/lib/xvfb.sh"

# The shared display gets its root painted back at the end, as every test leaves it.
shared_display=$DISPLAY
trap 'stop_xvfb; export DISPLAY=$shared_display; finish' EXIT
start_xvfb "$work" 11520x2160 || fail "no private display"

start_saver /s
await_window
[ "$(saver_geometry)" = "11520x2160+0+0" ] || fail "window geometry $(saver_geometry)"
poll_until 30 shows_box || fail "no box on the 11520x2160 screen: $(grep -v '^RZX\|^phase' "$work/stderr")"
xdotool key space
expect_exit "$saver" 0 "key press"

open_host_window big 11520 2160
start_named big --window-id "$big_id"
poll_until 30 shows_box "$big_id" || fail "no box in the 11520x2160 host window: $(cat "$work/big.err")"
kill -TERM "$big_pid"
expect_exit "$big_pid" 0 "SIGTERM to the saver in the big window"

open_host_window huge 20000 4000
start_named huge --window-id "$huge_id"
size="the window is 20000x4000 pixels, at most 16384x16384 can be drawn"
poll_until 20 grep -q "^vantel: cannot draw into window .*: $size\$" "$work/huge.err" ||
    fail "no line about the size: $(cat "$work/huge.err")"
[ "$(wc -l <"$work/huge.err")" = 1 ] || fail "more than one line about the size: $(cat "$work/huge.err")"
sleep 1
kill -0 "$huge_pid" 2>/dev/null || fail "the saver of the too large window ended on its own"
kill -TERM "$huge_pid"
expect_exit "$huge_pid" 0 "SIGTERM to the saver in the too large window"
echo "ok"
