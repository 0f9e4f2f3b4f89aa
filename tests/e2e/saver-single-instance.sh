#!/usr/bin/env bash
# While one saver runs, any further copy ends at once with 1 and the first runs
# on; once the first is killed outright, a new one starts normally.
source "$(dirname "$0")/saver-lib.sh"

start_saver /s
first=$saver
await_window
for args in "/s" "/c" "/c /s" ""; do
    # shellcheck disable=SC2086
    start_saver $args
    expect_exit "$saver" 1 "second copy with '$args'"
done
kill -0 "$first" 2>/dev/null || fail "the first saver ended"
[ "$(saver_windows)" = 1 ] || fail "a second window appeared"

kill -KILL "$first"
wait "$first" 2>/dev/null || true
start_saver /s
await_window
xdotool key space
expect_exit "$saver" 0 "saver started after the first was killed"
echo "ok"
