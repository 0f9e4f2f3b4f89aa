#!/usr/bin/env bash
# A display that cannot be reached ends the saver at once, in its own window
# and in a host's: exit code 1 well within the deadline, and one line on
# standard error naming the display and why (no X server answers there, the
# display has no such screen, the server refused us). No lock stays held: a
# saver started right after on the right display shows the box.
source "$(dirname "$0")/saver-lib.sh"
source "$(dirname "$0")/../../scripts/lib/xvfb.sh"

good=$DISPLAY
# An X server that lets in only the clients holding its cookie.
: >"$work/cookie"
xauth -q -f "$work/cookie" add :0 . "$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')"
mkdir "$work/refusing"
start_xvfb "$work/refusing" 640x480 24 -auth "$work/cookie" || fail "no display of our own"
refusing=$DISPLAY
export DISPLAY=$good
trap 'stop_xvfb; finish' EXIT
# A display number that no server has taken.
n=4400
while [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
absent=":$n"

# refused CASE DISPLAY LINE ARGUMENTS...: the saver started with ARGUMENTS on
# DISPLAY (and no cookie) ends with 1 and says LINE (a pattern), alone.
refused() {
    local case=$1 display=$2 line=$3
    shift 3
    local before=${EPOCHREALTIME//[!0-9]/}
    DISPLAY=$display XAUTHORITY="$work/no-cookie" "$bin/vantel" "$@" 2>"$work/$case.err" &
    local pid=$!
    started+=("$pid")
    poll_until 10 ended "$pid" || fail "$case: still running after 10 s"
    local code=0
    wait "$pid" || code=$?
    echo "$case: ended after $(((${EPOCHREALTIME//[!0-9]/} - before) / 1000)) ms"
    [ "$code" = 1 ] || fail "$case: exit code $code, expected 1"
    local said
    said=$(cat "$work/$case.err")
    [ "$(wc -l <"$work/$case.err")" = 1 ] && [[ $said == $line ]] || fail "$case: standard error: $said"
}

for mode in own host; do
    args=(/s)
    [ "$mode" = host ] && args=(--window-id 0x2a00007)
    refused "$mode-no-server" "$absent" "vantel: cannot open the X display $absent: no X server answers there" "${args[@]}"
    refused "$mode-no-screen" "$good.7" "vantel: cannot open the X display $good.7: it has no screen 7, only screen 0" \
        "${args[@]}"
    refused "$mode-refused" "$refusing" \
        "vantel: cannot open the X display $refusing: the X server refused the connection: Authorization*" "${args[@]}"
done

start_saver /s
await_window
poll_until 20 shot_shows_box "$work/box.png" || fail "the saver started after the failed ones shows no box"
xdotool key Escape
expect_exit "$saver" 0 "the saver started after the failed ones"
echo "ok"
