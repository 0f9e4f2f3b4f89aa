#!/usr/bin/env bash
# Under a window manager, with another window focused, the saver takes the
# keyboard and the pointer itself: held by another client when it starts,
# they are taken once let go, and a key still ends it with 0; held on, it
# says so in one line within a few seconds, draws on, and SIGTERM still
# ends it with 0.
source "$(dirname "$0")/saver-lib.sh"
source "$(dirname "$0")/desktop-lib.sh"

holder=${VANTEL_BUILD_DIR:?VANTEL_BUILD_DIR is not set}/tests/hold_grabs
# Another client can grab both no longer: the saver holds them.
grabs_taken() { ! "$holder" 0 >/dev/null 2>&1; }

start_desktop openbox one
xmessage -geometry 300x200+40+40 "has the focus" 2>/dev/null &
started+=("$!")
timeout 10 xdotool search --sync --onlyvisible --class xmessage >/dev/null || fail "the focused window never showed"

hold() {
    "$holder" "$1" >"$work/held" &
    holding=$!
    started+=("$holding")
    poll_until 5 grep -q held "$work/held" || fail "could not hold the grabs"
}

hold 1
start_saver /s
await_window
poll_until 5 ended "$holding" || fail "the holder did not let go"
poll_until 5 grabs_taken || fail "the saver did not take the grabs once they were let go"
[ ! -s "$work/stderr" ] || fail "grabs taken in time, yet: $(cat "$work/stderr")"
xdotool key space
expect_exit "$saver" 0 "key press after the grabs were let go"

hold 30
start_saver /s
await_window
poll_until 10 grep -q . "$work/stderr" || fail "nothing said of the grabs held elsewhere"
expected="vantel: cannot take the keyboard and the pointer of display $DISPLAY: another program holds it;"
[ "$(head -c ${#expected} "$work/stderr")" = "$expected" ] || fail "said: $(cat "$work/stderr")"
poll_until 10 shot_shows_box "$work/shot.png" || fail "no box drawn while the grabs are held elsewhere"
[ "$(wc -l <"$work/stderr")" = 1 ] || fail "more than one line: $(cat "$work/stderr")"
kill -TERM "$saver"
expect_exit "$saver" 0 "SIGTERM with the grabs held elsewhere"
echo "ok"
