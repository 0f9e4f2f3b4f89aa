#!/usr/bin/env bash
# The saver on Wayland (a headless sway without XWayland), with DISPLAY
# naming a live X server beside it as in a sway session: an unreachable
# display ends it with 1 and one line; the saver draws natively, not on the
# X server; the box shows and moves on both of two outputs, on a surface of
# the overlay layer on each, and leaves no stale pieces behind as it
# crosses between them; no EGL or GL library is loaded; a second copy with
# an absent X display keys its lock by the Wayland display and ends; an
# output that comes is covered too, a key sent through the virtual-keyboard
# protocol ends it with 0, a saver that cannot draw stays black and still
# ends on a key, while the compositor calls for no frames (stopped) the
# saver sleeps and it draws again once they are called for, and the
# compositor going away ends it with 1 and one line.
# Exit code 77 (skipped) where sway cannot run here at all. (sway 1.7's
# headless outputs cannot be switched off or disabled.)
set -euo pipefail
source "$(dirname "$0")/../../scripts/lib/xvfb.sh"

bin=${VANTEL_BIN_DIR:?VANTEL_BIN_DIR is not set}
skip() { echo "SKIP: $*"; exit 77; }
fail() { echo "FAIL: $*" >&2; exit 1; }
for tool in sway swaymsg grim wtype convert xwininfo; do
    command -v "$tool" >/dev/null || skip "$tool is not installed"
done

work=$(mktemp -d)
chmod 755 "$work"
mkdir -m 700 "$work/runtime" "$work/sway" "$work/config"
started=()
finish() {
    local pid
    for pid in "${started[@]}"; do kill -KILL "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap finish EXIT
unset DISPLAY
export XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/config"
printf 'xwayland disable\noutput HEADLESS-1 mode 640x480 position 0 0\n' >"$work/sway.conf"

# sway refuses to run as root; as root it runs as nobody, in a runtime
# directory of nobody's, which root may still connect to. Ours stays ours,
# so the saver's lock stays in it.
as_user=()
if [ "$(id -u)" = 0 ]; then
    chown nobody "$work/sway"
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi

start_sway() {
    XDG_RUNTIME_DIR="$work/sway" WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
        "${as_user[@]}" sway -c "$work/sway.conf" >"$work/sway.log" 2>&1 &
    sway_pid=$!
    started+=("$sway_pid")
    poll_until 10 compgen -G "$work/sway/sway-ipc.*.sock" >/dev/null ||
        skip "sway does not start here: $(tail -1 "$work/sway.log")"
    SWAYSOCK=$(compgen -G "$work/sway/sway-ipc.*.sock")
    export SWAYSOCK WAYLAND_DISPLAY="$work/sway/wayland-1"
    poll_until 10 test -S "$WAYLAND_DISPLAY" || skip "sway makes no Wayland socket"
}

start_saver() {
    env --default-signal=INT "$bin/vantel" /s 2>>"$work/stderr" &
    saver=$!
    started+=("$saver")
}

# Output $1 shows the box: not all black, and changing between two shots.
shows_moving_box() {
    grim -o "$1" "$work/$1-a.png" && sleep 0.2 && grim -o "$1" "$work/$1-b.png" || return 1
    [ "$(convert "$work/$1-a.png" -format '%[fx:maxima>0.2]' info:)" = 1 ] || return 1
    [ "$(compare -metric AE "$work/$1-a.png" "$work/$1-b.png" null: 2>&1 || true)" != 0 ]
}

# Pieces of the box in shot $1 of all outputs: one, unless stale pieces
# stay where it was. Black inside the box's texture does not split it.
box_pieces() {
    convert "$1" -alpha off -fill white +opaque black -morphology Dilate Disk:3 \
        -define connected-components:verbose=true -connected-components 8 null: | grep -c 'srgb(255,255,255)'
}

# Output $1 is covered: black in a corner (the box fills one at most),
# where sway's own background is grey.
covered() {
    grim -o "$1" "$work/$1-corners.png" || return 1
    local top='min(p{1,1}.r+p{1,1}.g+p{1,1}.b, p{w-2,1}.r+p{w-2,1}.g+p{w-2,1}.b)'
    local bottom='min(p{1,h-2}.r+p{1,h-2}.g+p{1,h-2}.b, p{w-2,h-2}.r+p{w-2,h-2}.g+p{w-2,h-2}.b)'
    [ "$(convert "$work/$1-corners.png" -format "%[fx:min($top, $bottom)]" info:)" = 0 ]
}

# How often process $1's threads have been switched to.
switches() { cat /proc/"$1"/task/*/status | awk '/ctxt_switches/ { sum += $2 } END { print sum }'; }
# Process $1 is not switched to for 1.5 s.
sleeps() {
    local before
    before=$(switches "$1")
    sleep 1.5
    [ "$(switches "$1")" = "$before" ]
}

code=0
WAYLAND_DISPLAY=vantel-nowhere "$bin/vantel" /s 2>"$work/unreachable" || code=$?
[ "$code" = 1 ] || fail "an unreachable display: exit code $code"
[ "$(cat "$work/unreachable")" = "vantel: cannot connect to the Wayland display vantel-nowhere: No such file or directory" ] ||
    fail "an unreachable display: $(cat "$work/unreachable")"

# As in a sway session with XWayland: an X display that answers is named too.
start_xvfb "$work" 320x240 || fail "no X server"
started+=("$xvfb_pid")
start_sway
swaymsg -q create_output
swaymsg -q output HEADLESS-2 mode 640x480 position 0 480

# The box starts in the middle of the outputs' union, across both.
start_saver
for output in HEADLESS-1 HEADLESS-2; do
    poll_until 20 shows_moving_box "$output" || fail "no moving box on $output; stderr: $(cat "$work/stderr")"
done
[ "$(xwininfo -root -children | grep -c '^ *0x')" = 0 ] || fail "a window on the X display"
gl=$(grep -oE '[^/]*(EGL|libGL|llvmpipe|gallium|swrast)[^ ]*' "/proc/$saver/maps" | sort -u || true)
[ -z "$gl" ] || fail "GL loaded: $gl"
# Layer surfaces are no windows of sway's tree: the outputs are covered on
# the overlay layer, above anything a window could be.
! swaymsg -t get_tree | grep -q '"app_id": "vantel"' || fail "a window in sway's tree instead of a layer surface"
stale=0
for shot in $(seq 20); do
    grim "$work/all-$shot.png"
    [ "$(box_pieces "$work/all-$shot.png")" = 1 ] || stale=$((stale + 1))
    sleep 1
done
[ "$stale" = 0 ] || fail "stale pieces of the box in $stale of 20 shots"

# A second copy whose X display is absent draws on Wayland all the same,
# and so finds the first there.
n=4400
while [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
timeout 20 env DISPLAY=":$n" VANTEL_DEBUG=2 "$bin/vantel" /s 2>"$work/second" && fail "a second copy ran"
printf '%s\n' "vantel: drawing on the Wayland display $WAYLAND_DISPLAY: its compositor answers, and Wayland comes before DISPLAY's X display" \
    "vantel: already running on display $WAYLAND_DISPLAY" | cmp -s - "$work/second" ||
    fail "the second copy said: $(cat "$work/second")"

swaymsg -q create_output
swaymsg -q output HEADLESS-3 mode 640x480 position 640 0
poll_until 10 covered HEADLESS-3 || fail "the output that came is not covered"
wtype -s 500 a
expect_exit "$saver" 0 "a key"
[ ! -s "$work/stderr" ] || fail "the saver said: $(cat "$work/stderr")"

# A saver whose frames cannot be shown is black all the same, and a key ends it.
"${VANTEL_BUILD_DIR:?}/tests/saver_with_fault" present /s 2>"$work/fault.err" &
started+=("$!")
poll_until 20 covered HEADLESS-1 || fail "a saver that cannot draw is not black: $(cat "$work/fault.err")"
poll_until 10 sleeps "${started[-1]}" || fail "a saver that cannot draw keeps waking"
wtype -s 500 a
expect_exit "${started[-1]}" 0 "a key to a saver that cannot draw"
# Sleeping so, it still hears a request to end, which SDL takes here.
"${VANTEL_BUILD_DIR:?}/tests/saver_with_fault" present /s 2>"$work/fault.err" &
started+=("$!")
poll_until 20 covered HEADLESS-1 || fail "the second saver that cannot draw is not black"
poll_until 10 sleeps "${started[-1]}" || fail "the second saver that cannot draw keeps waking"
kill -TERM "${started[-1]}"
expect_exit "${started[-1]}" 0 "SIGTERM to a saver that cannot draw"

start_saver
poll_until 20 shows_moving_box HEADLESS-1 || fail "no box on the second run"
# Stopped, sway sends no frame callbacks, as to a hidden surface or an
# output switched off.
kill -STOP "$sway_pid"
poll_until 10 sleeps "$saver" || fail "the saver keeps waking while no frame is called for"
kill -CONT "$sway_pid"
poll_until 5 shows_moving_box HEADLESS-1 || fail "no moving box once frames are called for again"
kill "$sway_pid"
expect_exit "$saver" 1 "the compositor gone"
[ "$(wc -l <"$work/stderr")" = 1 ] || fail "not one line: $(cat "$work/stderr")"
grep -qx "vantel: lost the connection to the Wayland display $WAYLAND_DISPLAY" "$work/stderr" ||
    fail "unexpected words: $(cat "$work/stderr")"
echo "ok"
