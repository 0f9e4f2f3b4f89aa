#!/usr/bin/env bash
# The settings tool speaks English under LANGUAGE=en and LANG=en_US.UTF-8,
# Japanese under LANG=ja_JP.UTF-8 and the C locale; so do Qt's open dialog and
# the tool's notice that the file chosen is no picture.
source "$(dirname "$0")/saver-lib.sh"
# A display of its own: what it types must reach its dialog, and a test
# beside it on the shared display may take the keyboard focus.
use_private_display 1920x1080
printf 'no picture' >"$work/fake.jpg"

# speaks OPEN_TITLE NOTICE_TITLE VARIABLE=VALUE...: in that environment, the
# tool's open dialog has the first title and the fake picture's notice the other.
speaks() {
    local open_title=$1 notice_title=$2 case="${*:3}"
    shift 2
    env -u LANGUAGE -u LC_ALL -u LC_MESSAGES "$@" "$bin/vantel30" 2>>"$work/stderr" &
    local tool=$!
    started+=("$tool")
    # A shown window of the tool titled $1, into $window. xdotool matches
    # only the Latin-1 title (WM_NAME), where Qt's Japanese titles are mangled.
    titled() {
        for window in $(xdotool search --all --pid "$tool" --onlyvisible --name . 2>/dev/null); do
            [ "$(LC_ALL=C.UTF-8 xprop -id "$window" _NET_WM_NAME)" = "_NET_WM_NAME(UTF8_STRING) = \"$1\"" ] && return 0
        done
        return 1
    }
    # Loaded and painted once the swatch shows a first start's red.
    painted() { [ "$(import -window "$window" -crop 1x1+344+68 -format '%[pixel:p]' info:)" = "srgb(255,0,0)" ]; }
    poll_until 20 titled Vantel || fail "$case: no tool window: $(cat "$work/stderr")"
    poll_until 20 painted || fail "$case: the window was not painted"
    eval "$(xdotool getwindowgeometry --shell "$window" | grep '^[XY]=')"
    xdotool mousemove $((X + 320)) $((Y + 20)) click 1
    poll_until 20 titled "$open_title" || fail "$case: no open dialog titled $open_title"
    # The Return may go to the name completer's list instead of the dialog,
    # as a user sees who presses it again: while the dialog stays, the name
    # is typed again.
    local attempt
    for attempt in 1 2 3; do
        titled "$open_title" || break
        xdotool windowfocus --sync "$window" key --clearmodifiers ctrl+a type --delay 1 "$work/fake.jpg"
        xdotool key Return
        poll_until 5 titled "$notice_title" && break
    done
    poll_until 20 titled "$notice_title" || fail "$case: no notice titled $notice_title"
    kill "$tool"
}

speaks Open Caution LANGUAGE=en LANG=C.UTF-8
speaks Open Caution LANG=en_US.UTF-8
speaks 開く 注意 LANG=ja_JP.UTF-8
speaks 開く 注意 LANG=C.UTF-8
echo "PASS: English for LANGUAGE=en and en_US, Japanese for ja_JP and C, in the window, its dialog and its notice"
