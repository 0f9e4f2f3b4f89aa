#!/usr/bin/env bash
# XScreenSaver's settings program, xscreensaver-settings, with the installed
# descriptor: it reads it without a complaint, its preview runs the saver
# with the options of the `programs:` line (`--speed 10 --fps`: the frame
# rate in the preview's corner), and Vantel's dialog holds the controls that
# drive the preview: unticking "Show frame rate" takes the rate away, a
# texture chosen by its file name (with a blank in it) shows on the box.
#
# The program reads descriptors from its system folder alone. The test
# installs into a temporary prefix and, in a mount namespace of its own,
# binds the prefix's descriptor folder over the system one: nothing outside
# the test sees it. The daemon and the program refuse to run as root, so
# they run as nobody.
source "$(dirname "$0")/saver-lib.sh"
source "$(dirname "$0")/host-lib.sh"

as_nobody=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
chmod 755 "$work"
prefix=$work/prefix
cmake --install "$VANTEL_BUILD_DIR" --prefix "$prefix" >"$work/install.log" || fail "cmake --install failed: $(cat "$work/install.log")"
mkdir -p "$work/home/runtime" "$work/My Pictures"
convert -size 256x256 xc:'#FF00FF' BMP3:"$work/My Pictures/painted.bmp"
chmod -R a+rX "$work/My Pictures" "$prefix"
cat >"$work/home/.xscreensaver" <<'EOF'
mode:		one
selected:	0
lock:		False
splash:		False
timeout:	1:00:00
programs:	vantel --root --speed 10 --fps \n
EOF
chmod 700 "$work/home/runtime"
chown -R nobody:nogroup "$work/home"
environment=(env -i DISPLAY="$DISPLAY" HOME="$work/home" PATH="$prefix/bin:/usr/bin:/bin"
    XDG_RUNTIME_DIR="$work/home/runtime" DBUS_SESSION_BUS_ADDRESS=disabled: NO_AT_BRIDGE=1
    LSAN_OPTIONS="${LSAN_OPTIONS:-}")

# Without its daemon the program asks whether to start one; it is started here.
"${as_nobody[@]}" "${environment[@]}" xscreensaver -no-splash >"$work/daemon.log" 2>&1 &
daemon=$!
started+=("$daemon")
command_daemon() { "${as_nobody[@]}" "${environment[@]}" xscreensaver-command "$@" >/dev/null 2>&1; }
poll_until 20 command_daemon -version || fail "the daemon did not start: $(cat "$work/daemon.log")"

unshare --mount --propagation private -- bash -c '
    mount --bind "$1" /usr/share/xscreensaver/config && shift && exec "$@"' \
    bind "$prefix/share/xscreensaver/config" "${as_nobody[@]}" "${environment[@]}" xscreensaver-settings \
    >"$work/settings.log" 2>&1 &
settings=$!
started+=("$settings")

# "<pid> <arguments>" of the program's newest saver (which may be gone again).
preview_saver() {
    local pid arguments
    pid=$(pgrep -n -x vantel -P "$settings") || return 1
    arguments=$( { tr '\0' ' ' <"/proc/$pid/cmdline"; } 2>/dev/null) && echo "$pid $arguments"
}
# Waits until the preview runs the saver with arguments $1 and a window id
# after them; sets preview_pid and preview_window.
await_preview() {
    local want=$1 found
    previewing() {
        found=$(preview_saver) && [[ "${found#* }" =~ ^"$want"--window-id\ (0x[0-9A-Fa-f]+)\ $ ]]
    }
    poll_until 30 previewing || fail "the preview does not run '$want--window-id ...': ${found:-none}"
    preview_pid=${found%% *}
    preview_window=${BASH_REMATCH[1]}
    started+=("$preview_pid")
}
# The share of white pixels in the top-left corner of the preview.
corner_white() {
    import -window "$preview_window" "$work/preview.png" 2>/dev/null || return 1
    convert "$work/preview.png" -crop 80x20+0+0 -fill black +opaque white -format "%[fx:mean]" info:
}
shows_rate() { awk -v w="$(corner_white)" 'BEGIN { exit !(w > 0.02) }'; }
shows_no_rate() { [ "$(corner_white)" = 0 ]; }

await_preview "vantel --root --speed 10 --fps "
poll_until 20 shows_rate || fail "no frame rate in the preview's corner"
grep -i 'warning\|error\|vantel.xml' "$work/settings.log" | grep -v '^RZX\|^phase' &&
    fail "xscreensaver-settings complained: $(cat "$work/settings.log")"

# The program's window named for Vantel's settings $1 800 pixels wide
# ("-ge": the main window, "-lt": the dialog).
program_window() {
    local w
    for w in $(xdotool search --onlyvisible --name '^XScreenSaver: Vantel Settings$'); do
        if [ "$(xwininfo -id "$w" | awk '/Width:/ { print $2 }')" "$1" 800 ]; then echo "$w"; fi
    done | head -1
}
# Alt+S is the main window's button "Settings..."; without a window manager
# the dialog opens beside the screen and is moved onto it.
main=$(program_window -ge)
[ -n "$main" ] || fail "no main window of xscreensaver-settings"
xdotool windowfocus --sync "$main" key alt+s
dialog_open() { dialog=$(program_window -lt) && [ -n "$dialog" ]; }
poll_until 20 dialog_open || fail "Vantel's settings dialog did not open"
# The program may still place the dialog itself just after it shows it.
moved() {
    xdotool windowmove "$dialog" 420 150
    sleep 0.2
    [ "$(xwininfo -id "$dialog" | awk '/Absolute upper-left X:/ { print $NF }')" = 420 ]
}
poll_until 20 moved || fail "the dialog cannot be moved onto the screen"

# "Show frame rate" unticked: the preview runs again, without the rate.
xdotool mousemove --window "$dialog" 38 160 click 1
await_preview "vantel --root --speed 10 "
poll_until 20 shows_no_rate || fail "the frame rate stays in the preview without --fps"

# A texture typed into the file field: one argument, blank and all.
xdotool windowfocus --sync "$dialog" mousemove --window "$dialog" 220 124 click 1
xdotool type --delay 10 "$work/My Pictures/painted.bmp"
xdotool key Tab
await_preview "vantel --root --speed 10 --texture $work/My Pictures/painted.bmp "
poll_until 20 window_shows "$preview_window" '#FF00FF' 30% || fail "the chosen texture does not show in the preview"

kill -TERM "$settings"
poll_until 20 ended "$settings" || fail "xscreensaver-settings did not end"
command_daemon -exit
poll_until 20 ended "$daemon" || fail "the daemon did not exit"
poll_until 20 ended "$preview_pid" || fail "the preview's saver outlived xscreensaver-settings"
echo "ok"
