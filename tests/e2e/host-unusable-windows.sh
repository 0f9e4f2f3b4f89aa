#!/usr/bin/env bash
# A host window that cannot be drawn into ends the saver with 1 and one line
# naming the window and why, not with an X error dump: a window of the class
# that takes input and shows nothing, and a window id that names no window.
source "$(dirname "$0")/saver-lib.sh"
source "$(dirname "$0")/host-lib.sh"

open_host_window input 200 150 input-only
open_host_window gone 200 150
window_command gone destroy

for case in "input:$input_id:it is an InputOnly window, which takes input but shows nothing" \
    "gone:$gone_id:there is no such window"; do
    IFS=: read -r name id reason <<<"$case"
    start_named "$name" --window-id "$id"
    pid_name="${name}_pid"
    poll_until 20 ended "${!pid_name}" || fail "$name: still running"
    code=0
    wait "${!pid_name}" || code=$?
    [ "$code" = 1 ] || fail "$name: exit code $code, expected 1"
    said=$(cat "$work/$name.err")
    [ "$said" = "vantel: cannot draw into window $id on display $DISPLAY: $reason" ] || fail "$name: standard error: $said"
done
echo "ok"
