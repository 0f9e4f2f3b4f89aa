#!/usr/bin/env bash
# Savers in host windows, as XScreenSaver-style hosts run them: two at once on
# one display, each in its own window and at its size; a second copy for the
# same window ends with 1. A saver started with a stripped environment still
# finds its settings under $HOME. Input is no reason to end; a resize is
# followed; the window's destruction ends its saver quietly with 0; SIGTERM
# ends one with 0 and leaves the host's window as it was.
source "$(dirname "$0")/saver-lib.sh"
source "$(dirname "$0")/host-lib.sh"

open_host_window a 400 300
open_host_window b 320 240

# The trace tells each saver's viewport size.
export VANTEL_DEBUG=1
start_named a --window-id "$a_id"
mkdir -p "$work/home/.config/vantel"
convert -size 256x256 xc:'#FF00FF' BMP3:"$work/painted.bmp"
printf '[SETTING]\nFILENAME=%s\n' "$work/painted.bmp" >"$work/home/.config/vantel/Vantel.ini"
env -i DISPLAY="$DISPLAY" HOME="$work/home" XSCREENSAVER_WINDOW="$b_id" VANTEL_DEBUG=1 LSAN_OPTIONS="${LSAN_OPTIONS:-}" \
    "$bin/vantel" --root 2>"$work/b.err" &
b_pid=$!
started+=("$b_pid")

poll_until 20 window_shows "$a_id" '#1884a0' 25% || fail "window a shows no box of the built-in texture"
poll_until 20 window_shows "$b_id" '#FF00FF' 30% || fail "window b shows no box of the settings' magenta texture"
grep -qx 'RZX:Viewport width:400 height:300' "$work/a.err" || fail "a's viewport is not the window's size"
grep -qx 'RZX:Viewport width:320 height:240' "$work/b.err" || fail "b's viewport is not the window's size"

code=0
"$bin/vantel" --window-id "$a_id" 2>"$work/second.err" || code=$?
[ "$code" = 1 ] || fail "a second copy for window a ended with $code, not 1"

xdotool mousemove 100 100 click 1 click 3 key space key Escape
kill -0 "$a_pid" 2>/dev/null || fail "saver a ended on input"
kill -0 "$b_pid" 2>/dev/null || fail "saver b ended on input"

window_command a "size 640 480"
poll_until 20 grep -qx 'RZX:Viewport width:640 height:480' "$work/a.err" || fail "a's viewport did not follow the new size"
# Drawn at the new size, the box stays near the middle of the whole window.
box_in_middle() {
    import -window "$a_id" "$work/a.png" 2>/dev/null || return 1
    convert "$work/a.png" -bordercolor black -border 1 -fuzz 2% -format '%@' info: |
        awk -F'[x+]' '{ x = ($3 - 1 + $1 / 2) / 640; y = ($4 - 1 + $2 / 2) / 480;
                        exit !($1 > 1 && x > 0.35 && x < 0.65 && y > 0.35 && y < 0.65) }'
}
poll_until 20 box_in_middle || fail "a's box is not drawn about the middle of the resized window"

window_command b destroy
expect_exit "$b_pid" 0 "b's window destroyed"
grep -q 'X Error\|XIO' "$work/b.err" && fail "b complained about its window going away: $(grep 'X' "$work/b.err")"

kill -TERM "$a_pid"
expect_exit "$a_pid" 0 "SIGTERM"
xwininfo -id "$a_id" | grep -q 'Map State: IsViewable' || fail "the host's window did not stay as it was"
echo "ok"
