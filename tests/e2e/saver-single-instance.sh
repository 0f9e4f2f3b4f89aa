#!/usr/bin/env bash
# While one saver runs, any further copy on its display ends at once with 1,
# saying where the first runs, and the first runs on; a saver on another
# display of the same user runs beside it. Once the first is killed
# outright, a new one starts normally.
source "$(dirname "$0")/saver-lib.sh"
source "$(dirname "$0")/../../scripts/lib/xvfb.sh"
shared_display=$DISPLAY
trap 'stop_xvfb; export DISPLAY=$shared_display; finish' EXIT

start_saver /s
first=$saver
await_window
for args in "/s" "/c" "/c /s" ""; do
    : >"$work/stderr"
    # shellcheck disable=SC2086
    start_saver $args
    expect_exit "$saver" 1 "second copy with '$args'"
    [ "$(cat "$work/stderr")" = "vantel: already running on display $DISPLAY" ] ||
        fail "second copy with '$args' said: $(cat "$work/stderr")"
done
kill -0 "$first" 2>/dev/null || fail "the first saver ended"
[ "$(saver_windows)" = 1 ] || fail "a second window appeared"

mkdir "$work/other"
start_xvfb "$work/other" 640x480 || fail "no second display"
start_saver /s
await_window
kill -TERM "$saver"
expect_exit "$saver" 0 "the saver on a second display"
stop_xvfb
export DISPLAY=$shared_display

kill -KILL "$first"
wait "$first" 2>/dev/null || true
start_saver /s
await_window
xdotool key space
expect_exit "$saver" 0 "saver started after the first was killed"
echo "ok"
