#!/usr/bin/env bash
# The real XScreenSaver daemon with a configuration that runs only
# `vantel --root --speed 10 --fps`: activated, the screen shows the box in
# the settings' texture on black (the settings found through HOME alone, as
# the daemon's environment has no XDG variables) and the frame rate in the
# top-left corner; the daemon starts the saver once and never again while
# active; deactivated, the saver is gone and nothing of it is left running.
# The daemon refuses to run as root, so it runs without root's rights.
source "$(dirname "$0")/saver-lib.sh"
source "$(dirname "$0")/host-lib.sh"

# Everything the daemon and the saver read must be readable by nobody.
chmod 755 "$work"
mkdir -p "$work/bin" "$work/home/.config/vantel" "$work/home/runtime"
cp "$bin/vantel" "$work/bin/"
convert -size 256x256 xc:'#FF00FF' BMP3:"$work/painted.bmp"
printf '[SETTING]\nFILENAME=%s\n' "$work/painted.bmp" >"$work/home/.config/vantel/Vantel.ini"
cat >"$work/home/.xscreensaver" <<'EOF'
mode:		one
selected:	0
lock:		False
fade:		False
unfade:		False
splash:		False
timeout:	1:00:00
cycle:		0:00:00
programs:	vantel --root --speed 10 --fps \n
EOF
chmod 700 "$work/home/runtime"
chown -R "$unprivileged_owner" "$work/home"
chmod 644 "$work/painted.bmp"

# Without a session bus to talk to, nothing starts one that would outlive the test.
"${unprivileged[@]}" env -i DISPLAY="$DISPLAY" HOME="$work/home" PATH="$work/bin:/usr/bin:/bin" \
    XDG_RUNTIME_DIR="$work/home/runtime" LSAN_OPTIONS="${LSAN_OPTIONS:-}" DBUS_SESSION_BUS_ADDRESS=disabled: \
    xscreensaver -no-splash -verbose >"$work/daemon.log" 2>&1 &
daemon=$!
started+=("$daemon")
command_daemon() { "${unprivileged[@]}" env -i DISPLAY="$DISPLAY" HOME="$work/home" xscreensaver-command "$@" >/dev/null 2>&1; }
poll_until 20 command_daemon -version || fail "the daemon did not start: $(cat "$work/daemon.log")"

# The live (not yet reaped) vantel processes below the daemon.
descendants() {
    local child
    for child in $(pgrep -P "$1"); do
        echo "$child"
        descendants "$child"
    done
}
live_savers() {
    local pid
    for pid in $(descendants "$daemon"); do
        [ "$(ps -o comm= -p "$pid")" = vantel ] && [ "$(ps -o stat= -p "$pid" | cut -c1)" != Z ] && echo "$pid"
    done
    return 0
}
has_savers() { [ -n "$(live_savers)" ]; }
gone() { ! kill -0 "$1" 2>/dev/null || [ "$(ps -o stat= -p "$1" | cut -c1)" = Z ]; }
# However the test ends, what the daemon started goes down with it.
trap 'mapfile -t -O "${#started[@]}" started < <(descendants "$daemon"); finish' EXIT
started_savers() { grep -c 'forked "vantel --root --speed 10 --fps"' "$work/daemon.log" || true; }

command_daemon -activate || fail "xscreensaver-command -activate failed"
shows_box() {
    import -window root "$work/shot.png" 2>/dev/null && near_colour "$work/shot.png" '#FF00FF' 30%
}
poll_until 20 shows_box || fail "no box in the settings' texture on the screen: $(cat "$work/daemon.log")"
white=$(convert "$work/shot.png" -crop 100x30+0+0 -fill black +opaque white -format "%[fx:mean]" info:)
awk -v w="$white" 'BEGIN { exit !(w > 0.02) }' || fail "no frame rate in the top-left corner"
for corner in +1820+0 +0+980 +1820+980; do
    max=$(convert "$work/shot.png" -crop "100x100$corner" -format "%[fx:maxima]" info:)
    [ "$max" = 0 ] || fail "corner $corner of the screen is not black"
done
poll_until 20 has_savers || fail "no saver process below the daemon"
saver=$(live_savers)
[ "$(wc -w <<<"$saver")" = 1 ] || fail "more than one saver on one monitor: $saver"

# While active the saver runs on, the same process all along.
for _ in $(seq 10); do
    sleep 0.2
    [ "$(live_savers)" = "$saver" ] || fail "the saver changed from $saver to '$(live_savers)'"
done
[ "$(started_savers)" = 1 ] || fail "the daemon started the saver $(started_savers) times"

command_daemon -deactivate || fail "xscreensaver-command -deactivate failed"
poll_until 20 gone "$saver" || fail "saver $saver outlived the deactivation"
[ "$(started_savers)" = 1 ] || fail "the daemon started the saver again"
command_daemon -exit
poll_until 20 gone "$daemon" || fail "the daemon did not exit"
echo "ok"
