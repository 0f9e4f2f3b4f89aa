#!/usr/bin/env bash
# A run without failures writes nothing on standard error, in the saver's own
# window and in a host's, also on an X server without shared memory
# (MIT-SHM), reached by its socket or by TCP; with VANTEL_DEBUG=1 the
# rendering layer's trace appears, line for line as ever. A failure that leaves the saver black or
# ends it is told in one line, nobody listening to the trace: what failed, on
# which display, into which window, and the error's name.
source "$(dirname "$0")/saver-lib.sh"
source "$(dirname "$0")/host-lib.sh"

# The saver's own window until the box shows, then a key: it ends with 0.
own_run() {
    start_named "$1" /s
    await_window
    poll_until 20 shot_shows_box "$work/$1.png" || fail "$1: no box"
    xdotool key Escape
    local pid="${1}_pid"
    expect_exit "${!pid}" 0 "$1"
}

# Run $2 in a new host window $1 until the box shows in it, then SIGTERM: it
# ends with 0 and writes nothing. $3 tells the case in a failure.
quiet_hosted_run() {
    open_host_window "$1" 320 240
    local host="${1}_id" pid="${2}_pid"
    start_named "$2" --window-id "${!host}"
    poll_until 20 window_shows "${!host}" '#1884a0' 25% || fail "no box in the host's window$3"
    kill -TERM "${!pid}"
    expect_exit "${!pid}" 0 "hosted$3"
    if [ -s "$work/$2.err" ]; then fail "a quiet hosted run$3 wrote: $(cat "$work/$2.err")"; fi
}

own_run quiet
[ -s "$work/quiet.err" ] && fail "a quiet run wrote: $(cat "$work/quiet.err")"

quiet_hosted_run host hosted ""

export VANTEL_DEBUG=1
own_run traced
unset VANTEL_DEBUG
expected="RZX:Rendal Initialize
RZX:CreateDirectDrawWin
RZX:Rendal Cleanup
RZX:CreateD3DRM
RZX:DeviceName :Ramp Emulation f2086b20
RZX:DeviceGuid 0
RZX:Created Direct3DDevice with MMX(HEL)
RZX:RZXViewport
RZX:Viewport width:1920 height:1080
phase 3
phase 4
RZX:Rendal Cleanup"
[ "$(cat "$work/traced.err")" = "$expected" ] || fail "the trace with VANTEL_DEBUG=1: $(cat "$work/traced.err")"

# start_failing NAME CALL COMMAND-LINE: the saver with CALL failing for good.
start_failing() {
    "$tools/saver_with_fault" "$2" "$3" 2>"$work/$1.err" &
    printf -v "${1}_pid" %s "$!"
    started+=("$!")
}
said_once() { [ "$(wc -l <"$work/$1.err")" = 1 ] && [ "$(cat "$work/$1.err")" = "$2" ]; }

presenting="copying the frame to the window failed with DDERR_GENERIC (site 1219)"
start_failing black present /s
await_window
poll_until 20 said_once black "vantel: cannot draw on display $DISPLAY: $presenting" ||
    fail "a frame that cannot be shown: $(cat "$work/black.err")"
[ "$(screen_summary)" = "1920x1080 0" ] || fail "the window does not stay black"
xdotool key Escape
expect_exit "$black_pid" 0 "a black window closed"
said_once black "vantel: cannot draw on display $DISPLAY: $presenting" || fail "more was said: $(cat "$work/black.err")"

start_failing black_host present "--window-id $host_id"
poll_until 20 said_once black_host "vantel: cannot draw into window $host_id on display $DISPLAY: $presenting" ||
    fail "a frame that cannot be shown in a host's window: $(cat "$work/black_host.err")"
kill -TERM "$black_host_pid"
expect_exit "$black_host_pid" 0 "a black host's window"

start_failing no_start display /s
expect_exit "$no_start_pid" 1 "no display surfaces"
said_once no_start "vantel: cannot draw on display $DISPLAY: creating DirectDraw failed with DDERR_GENERIC (site 438)" ||
    fail "a failed start: $(cat "$work/no_start.err")"

# Without MIT-SHM the frames go with the requests, and Xlib, asked for the
# extension, says nothing of it.
use_private_display 640x480 24 -extension MIT-SHM -listen tcp
number=${DISPLAY#:}
DISPLAY=localhost:$number xdpyinfo -queryExtensions | grep -q MIT-SHM && fail "the private display has MIT-SHM"
for name in ":$number" "localhost:$number"; do
    DISPLAY=$name own_run unshared
    [ -s "$work/unshared.err" ] && fail "a run on $name without MIT-SHM wrote: $(cat "$work/unshared.err")"
done
quiet_hosted_run unshared_host unshared_hosted " without MIT-SHM"
echo "ok"
