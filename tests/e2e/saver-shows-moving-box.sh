#!/usr/bin/env bash
# `vantel /s` covers the whole screen with black (a window no window
# manager places) and shows the box on it, somewhere else a moment later;
# without settings it wears the built-in texture. A key press ends it with 0
# and takes its window away.
source "$(dirname "$0")/saver-lib.sh"

paint_root white || fail "the root window did not turn white"
start_saver /s
await_window
geometry=$(saver_geometry)
[ "$geometry" = "1920x1080+0+0" ] || fail "window geometry $geometry"
# A window manager, where there is one, neither places nor stacks it.
xwininfo -id "$(xdotool search --onlyvisible --name '^Vantel$' | head -1)" |
    grep -q 'Override Redirect State: yes' || fail "the window is left to a window manager"

# Once the box shows, a later screenshot finds it moved; what these waits
# cannot bring about, the checks below name.
moved_since_first() { shot_shows_box "$work/second.png" && [ "$(pixels_apart)" -gt 100 ]; }
pixels_apart() {
    local apart
    apart=$(compare -metric AE "$work/first.png" "$work/second.png" null: 2>&1 || true)
    echo "${apart%% *}"
}
poll_until 10 shot_shows_box "$work/first.png" || true
poll_until 10 moved_since_first || true

for shot in first second; do
    size=$(convert "$work/$shot.png" -format "%wx%h" info:)
    [ "$size" = 1920x1080 ] || fail "$shot screenshot is $size"
    lit=$(lit_fraction "$work/$shot.png")
    awk -v f="$lit" 'BEGIN { exit !(f > 0.0003 && f < 0.05) }' ||
        fail "$shot screenshot: $lit of the screen is lit; expected a box on black"
    # The built-in texture's teal and gold.
    near_colour "$work/$shot.png" '#1884a0' 25% || fail "$shot screenshot shows no teal of the built-in texture"
    for corner in +0+0 +1820+0 +0+980 +1820+980; do
        max=$(convert "$work/$shot.png" -crop "100x100$corner" -format "%[fx:maxima]" info:)
        [ "$max" = 0 ] || fail "$shot screenshot: corner $corner is not black"
    done
done
moved=$(pixels_apart)
[ "$moved" -gt 100 ] || fail "the box did not move between screenshots ($moved pixels differ)"

xdotool key space
expect_exit "$saver" 0 "key press"
[ "$(saver_windows)" = 0 ] || fail "the window outlived the program"
echo "ok"
