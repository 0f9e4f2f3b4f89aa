#!/usr/bin/env bash
# The saver on X11 through XWayland (a headless sway with two outputs of
# different sizes, only DISPLAY set, as X programs of a Wayland session may
# be started): every pixel of both outputs is covered (none of sway's
# background colour shows) and a key sent through the compositor ends it
# with 0. Exit code 77 (skipped) where sway or XWayland cannot run here.
set -euo pipefail
source "$(dirname "$0")/../../scripts/lib/poll.sh"

bin=${VANTEL_BIN_DIR:?VANTEL_BIN_DIR is not set}
skip() { echo "SKIP: $*"; exit 77; }
fail() { echo "FAIL: $*" >&2; exit 1; }
for tool in sway swaymsg Xwayland grim wtype convert; do
    command -v "$tool" >/dev/null || skip "$tool is not installed"
done

work=$(mktemp -d)
chmod 755 "$work"
mkdir -m 700 "$work/sway" "$work/runtime"
started=()
trap 'kill -KILL "${started[@]}" 2>/dev/null; rm -rf "$work"' EXIT
unset DISPLAY WAYLAND_DISPLAY
background='#ff00ff'
cat >"$work/sway.conf" <<EOF
xwayland force
output HEADLESS-1 mode 1280x720 position 0 0 bg $background solid_color
exec sh -c 'echo \$DISPLAY >$work/sway/display.new && mv $work/sway/display.new $work/sway/display'
EOF

# sway refuses to run as root; as root it runs as nobody, and so does
# everything that speaks to its XWayland, which lets in its own user only.
as_user=()
if [ "$(id -u)" = 0 ]; then
    chown nobody "$work/sway" "$work/runtime"
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
XDG_RUNTIME_DIR="$work/sway" WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
    "${as_user[@]}" sway -c "$work/sway.conf" >"$work/sway.log" 2>&1 &
started+=("$!")
poll_until 10 compgen -G "$work/sway/sway-ipc.*.sock" >/dev/null ||
    skip "sway does not start here: $(tail -1 "$work/sway.log")"
SWAYSOCK=$(compgen -G "$work/sway/sway-ipc.*.sock")
export SWAYSOCK WAYLAND_DISPLAY="$work/sway/wayland-1"
poll_until 10 test -s "$work/sway/display" || skip "sway starts no XWayland: $(tail -1 "$work/sway.log")"
x_display=$(cat "$work/sway/display")
swaymsg -q create_output
swaymsg -q output HEADLESS-2 mode 1024x768 position 1280 200 bg "$background" solid_color
poll_until 10 "${as_user[@]}" env DISPLAY="$x_display" xdpyinfo -ext XINERAMA >/dev/null ||
    skip "XWayland does not answer on $x_display"

background_showing() {
    grim -o "$1" "$work/$1.png" || return 1
    convert "$work/$1.png" -precision 16 -fill black +opaque "$background" -fill white -opaque "$background" \
        -format '%[fx:round(mean*w*h)]' info:
}
outputs_covered() { [ "$(background_showing HEADLESS-1)" = 0 ] && [ "$(background_showing HEADLESS-2)" = 0 ]; }
outputs_covered && fail "sway's background does not show before the saver"

"${as_user[@]}" env -u WAYLAND_DISPLAY DISPLAY="$x_display" XDG_RUNTIME_DIR="$work/runtime" HOME="$work/runtime" \
    "$bin/vantel" /s 2>"$work/stderr" &
saver=$!
started+=("$saver")
poll_until 20 outputs_covered || fail "outputs left uncovered: $(background_showing HEADLESS-1) and" \
    "$(background_showing HEADLESS-2) pixels; stderr: $(cat "$work/stderr")"
wtype -s 300 a
expect_exit "$saver" 0 "a key"
echo "ok"
