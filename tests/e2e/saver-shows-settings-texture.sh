#!/usr/bin/env bash
# The box wears the texture that the settings file names: a bitmap painted
# in magenta shows magenta on the screen.
source "$(dirname "$0")/saver-lib.sh"

convert -size 256x256 xc:'#FF00FF' BMP3:"$work/painted.bmp"
mkdir -p "$XDG_CONFIG_HOME/vantel"
printf '[SETTING]\nFILENAME=%s\n[SS_SECTION]\nSPEED=2\n' "$work/painted.bmp" > "$XDG_CONFIG_HOME/vantel/Vantel.ini"

start_saver /s
await_window
shows_magenta() {
    import -window root "$work/shot.png"
    near_colour "$work/shot.png" '#FF00FF' 30%
}
poll_until 10 shows_magenta || fail "no magenta on screen"
near_colour "$work/shot.png" '#1884a0' 25% && fail "the built-in texture shows instead of the settings' one"

xdotool key Escape
expect_exit "$saver" 0 "key press"
echo "ok"
