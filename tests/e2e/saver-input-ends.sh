#!/usr/bin/env bash
# Which input ends the saver: keys (Alt and F10 too) and the left and right
# buttons end it with 0.
source "$(dirname "$0")/saver-lib.sh"

for input in "key Escape" "key a" "key Alt_L" "key F10" "click 1" "click 3"; do
    start_saver /s
    await_window
    # shellcheck disable=SC2086
    xdotool $input
    expect_exit "$saver" 0 "$input"
done
echo "ok"
