#!/usr/bin/env bash
# `vantel /s` covers the whole screen with black; a key press ends it with 0
# and takes its window away.
source "$(dirname "$0")/saver-lib.sh"

paint_root white || fail "the root window did not turn white"
start_saver /s
await_window
summary=$(screen_summary)
[ "$summary" = "1920x1080 0" ] || fail "screen while saving: $summary, expected all black 1920x1080"
geometry=$(xwininfo -id "$(xdotool search --onlyvisible --name '^Vantel$' | head -1)" |
    awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF} /Width/ {w=$NF} /Height/ {h=$NF}
         END {print w "x" h "+" x "+" y}')
[ "$geometry" = "1920x1080+0+0" ] || fail "window geometry $geometry"

xdotool key space
expect_exit "$saver" 0 "key press"
[ "$(saver_windows)" = 0 ] || fail "the window outlived the program"
echo "ok"
