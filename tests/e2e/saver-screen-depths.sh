#!/usr/bin/env bash
# The box shows on screens of every depth an X server offers it at: 8 bits
# (a PseudoColor colormap, drawn through the palette, in its texture's
# colours), 16 and 30 bits (10 a channel). In a host's 32-bit window with
# alpha on a 24-bit screen, every pixel the saver writes is opaque.
source "$(dirname "$0")/saver-lib.sh"
source "$(dirname "$0")/host-lib.sh"
source "$(dirname "$0")/../../scripts/lib/xvfb.sh"
# Its rendering trace tells whether it draws through the palette.
export VANTEL_DEBUG=1

shared_display=$DISPLAY
trap 'stop_xvfb; export DISPLAY=$shared_display; finish' EXIT

# Starts a private 640x480 screen of depth $1 (its own directory in $work).
screen_of_depth() {
    stop_xvfb
    mkdir -p "$work/depth$1"
    start_xvfb "$work/depth$1" 640x480 "$1" || fail "no private display of depth $1"
}

# Succeeds when nearly every lit pixel of screenshot $1 shows a colour of the
# saver's 8-bit palette: greys, a cube of channels in steps of 51, and the
# half-intensity colours among the static ones. So the colours went through
# the screen's colormap as they should.
palette_colours() {
    convert "$1" -format %c histogram:info:- | awk -F'[(),]' '
        function step(c) { return c % 51 == 0 || c == 128 }
        $2 + $3 + $4 > 0 {
            lit += $1
            if (($2 == $3 && $3 == $4) || (step($2) && step($3) && step($4))) ok += $1
        }
        END { exit !(lit > 0 && ok >= 0.9 * lit) }'
}

# Succeeds when the lit pixels of screenshot $1 that are more red than blue
# outnumber those more blue than red many times over: an orange box, not the
# blue one it shows with red and blue swapped on the way to the colormap
# (whose palette holds both).
orange_over_blue() {
    convert "$1" -format %c histogram:info:- | awk -F'[(),]' '
        $2 > $4 { orange += $1 }
        $4 > $2 { blue += $1 }
        END { exit !(orange > 0 && orange >= 10 * blue) }'
}

# The 8-bit screen shows an orange texture of the settings'.
mkdir -p "$work/config/vantel"
convert -size 256x256 xc:'#F07010' BMP3:"$work/orange.bmp"

for depth in 8 16 30; do
    screen_of_depth "$depth"
    : >"$work/stderr"
    if [ "$depth" = 8 ]; then
        printf '[SETTING]\nFILENAME=%s\n' "$work/orange.bmp" >"$work/config/vantel/Vantel.ini"
    else
        rm -f "$work/config/vantel/Vantel.ini"
    fi
    start_saver /s
    await_window
    poll_until 20 shot_shows_box "$work/shot.png" ||
        fail "no box on the $depth-bit screen: $(grep -v '^RZX\|^phase' "$work/stderr")"
    if [ "$depth" = 8 ]; then
        palette_colours "$work/shot.png" ||
            fail "the 8-bit screen shows other colours than the palette's: $(convert "$work/shot.png" -format %c histogram:info:-)"
        orange_over_blue "$work/shot.png" ||
            fail "the orange box on the 8-bit screen is not orange: $(convert "$work/shot.png" -format %c histogram:info:-)"
    else
        near_colour "$work/shot.png" '#1884a0' 25% || fail "the box on the $depth-bit screen is not in its colours"
    fi
    palettized=0
    grep -qx 'RZX:palettized ' "$work/stderr" && palettized=1
    [ "$palettized" = $((depth == 8)) ] || fail "palettized on the $depth-bit screen: $palettized"
    xdotool key space
    expect_exit "$saver" 0 "key press on the $depth-bit screen"
done

screen_of_depth 24
open_host_window argb 320 240 argb
start_named argb --window-id "$argb_id"
argb_lit() {
    read -r _ lit translucent <<<"$("$tools/window_pixels" "$argb_id")" && [ "$lit" -gt 100 ]
}
poll_until 20 argb_lit || fail "no box in the 32-bit window: $(cat "$work/argb.err")"
[ "$translucent" = 0 ] || fail "$translucent pixels of the 32-bit window are not opaque"
kill -TERM "$argb_pid"
expect_exit "$argb_pid" 0 "SIGTERM to the saver in the 32-bit window"

echo "ok"
