#!/usr/bin/env bash
# Under a window manager (openbox), the tip naming the file a save wrote
# shows after "画像保存", whose dialog closing makes the window manager
# activate the window a moment later, and after the next "設定確定", and
# still shows a second after each.
source "$(dirname "$0")/saver-lib.sh"
use_private_display 1024x768
command -v openbox >/dev/null || fail "openbox is not installed (apt-get install openbox)"
# Openbox names itself on the root before it has settled: a window mapped
# in between was now and then never managed, nor shown. Its startup command
# runs once it has.
DBUS_SESSION_BUS_ADDRESS=disabled: openbox --sm-disable --startup "touch $work/openbox-ready" >"$work/openbox.log" 2>&1 &
started+=($!)
poll_until 10 test -e "$work/openbox-ready" || fail "openbox did not start: $(cat "$work/openbox.log")"

# "設定確定" writes beside the executable, so the tool runs from a copy.
mkdir -p "$work/bin" "$work/config"
cp "$bin/vantel30" "$work/bin/"
XDG_CONFIG_HOME="$work/config" LANG=C.UTF-8 "$work/bin/vantel30" 2>>"$work/stderr" &
tool=$!
started+=("$tool")

# The tool's shown windows, and the one of them that is a tip.
shown() { xdotool search --all --pid "$tool" --onlyvisible --name '' 2>/dev/null || true; }
tip_shown() {
    local window
    for window in $(shown); do
        xprop -id "$window" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q _NET_WM_WINDOW_TYPE_TOOLTIP && return 0
    done
    return 1
}
main_window() { window=$(xdotool search --pid "$tool" --onlyvisible --name '^Vantel$' 2>/dev/null | head -1); [ -n "$window" ]; }
poll_until 20 main_window || fail "no tool window: $(cat "$work/stderr"); openbox: $(cat "$work/openbox.log")"
dialog_open() { [ "$(shown | wc -l)" -gt 1 ] && ! tip_shown; }
# Client-area coordinates, whatever frame the window manager adds.
click() {
    local info
    info=$(xwininfo -id "$window")
    local left top
    left=$(sed -n 's/^ *Absolute upper-left X: *//p' <<<"$info")
    top=$(sed -n 's/^ *Absolute upper-left Y: *//p' <<<"$info")
    xdotool mousemove $((left + $1)) $((top + $2)) click 1
}

# Stays shown for a second, past the window manager's activation.
tip_lasts() { poll_until 5 tip_shown && sleep 1 && tip_shown; }

click 320 252   # "画像保存"
poll_until 20 dialog_open || fail "no save dialog"
for attempt in 1 2 3; do
    xdotool key --clearmodifiers ctrl+a type --delay 1 "$work/mine.bmp"
    xdotool key Return
    poll_until 5 test -f "$work/mine.bmp" && break
done
[ -f "$work/mine.bmp" ] || fail "the save dialog wrote no mine.bmp"
tip_lasts || fail "no tip after 画像保存"
sleep 5   # the tip's time runs out
click 320 196   # "設定確定"
poll_until 10 test -f "$work/bin/123.bmp" || fail "設定確定 wrote no 123.bmp"
tip_lasts || fail "no tip after 設定確定"
echo "PASS: the saved tip shows after 画像保存 and after 設定確定 under openbox"
