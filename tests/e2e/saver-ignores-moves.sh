#!/usr/bin/env bash
# Moving the mouse and the middle button leave the saver running; a key then ends it with 0.
source "$(dirname "$0")/saver-lib.sh"

start_saver /s
await_window
xdotool mousemove 10 10 mousemove 1900 1000 mousemove 960 540 click 2
# The loop handles input as it comes; give it a moment to act wrongly.
sleep 1
kill -0 "$saver" 2>/dev/null || fail "the saver ended on a mouse move or middle button"
[ "$(saver_windows)" = 1 ] || fail "the saver window went away"
xdotool key Return
expect_exit "$saver" 0 "key after moves"
echo "ok"
