#!/usr/bin/env bash
# A close request from outside (SIGTERM, SIGINT) ends the running saver with
# exit code 0 and takes the window away.
source "$(dirname "$0")/saver-lib.sh"

for signal in TERM INT; do
    start_saver /s
    await_window
    kill -"$signal" "$saver"
    expect_exit "$saver" 0 "SIG$signal"
    [ "$(saver_windows)" = 0 ] || fail "the window outlived SIG$signal"
done

echo "ok"
