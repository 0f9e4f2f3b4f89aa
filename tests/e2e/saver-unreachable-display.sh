#!/usr/bin/env bash
# A display that cannot be reached ends the saver at once, in its own window
# and in a host's: exit code 1 well within the deadline, and one line on
# standard error naming the display and why (no X server answers there, the
# display has no such screen, the server refused us, or let the display
# probe in but not SDL). No lock stays held: a saver started right after on
# the right display shows the box.
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
    took=$(((${EPOCHREALTIME//[!0-9]/} - before) / 1000))
    echo "$case: ended after $took ms"
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

# A server with room for one client more: the probe gets in, SDL's own
# connection is refused. The saver runs on no other display: it ends at
# once, quoting the server, and leaves no lock file.
stop_xvfb
mkdir "$work/full"
start_xvfb "$work/full" 640x480 24 -maxclients 64 || fail "no display to fill"
full=$DISPLAY
export DISPLAY=$good
mkfifo "$work/full/hold"
exec {hold}<>"$work/full/hold"
clients=0
answered() { [ -s "$work/full/c$clients" ] || ended "$filler"; }
while :; do
    DISPLAY=$full "${VANTEL_BUILD_DIR:?}/tests/host_window" 1 1 <"$work/full/hold" >"$work/full/c$clients" 2>/dev/null &
    filler=$!
    started+=("$filler")
    poll_until 10 answered || fail "a client of the full display hangs"
    [ -s "$work/full/c$clients" ] || break
    clients=$((clients + 1))
done
kill "$filler" "${started[-2]}"
refused full "$full" "vantel: cannot start the video of display $full: *: Maximum number of clients reached" /s
((took < 1000)) || fail "full: ended after $took ms"
[ -z "$(find "$XDG_RUNTIME_DIR" -name '*.lock')" ] || fail "full: a lock file was left"
exec {hold}>&-

start_saver /s
await_window
poll_until 20 shot_shows_box "$work/box.png" || fail "the saver started after the failed ones shows no box"
xdotool key Escape
expect_exit "$saver" 0 "the saver started after the failed ones"
echo "ok"
