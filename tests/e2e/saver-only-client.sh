#!/usr/bin/env bash
# The saver started as xinit, xvfb-run or a kiosk start it: the only client
# of a fresh X server that resets itself whenever its last client leaves.
# Every start draws the box, at 24 bits and at 8, where the teal-blue
# texture stays bluish through the colormap; a start that cannot draw says
# why. Prints how many starts drew.
source "$(dirname "$0")/saver-lib.sh"
# Its trace tells when the window is up, so the screenshots never come first.
export VANTEL_DEBUG=1

shared_display=$DISPLAY
server=""
stop_server() {
    [ -n "$server" ] && kill "$server" 2>/dev/null && wait "$server" 2>/dev/null
    server=""
}
trap 'stop_server; export DISPLAY=$shared_display; finish' EXIT

# fresh_server DEPTH: Xvfb without -noreset, waited for by its socket alone.
fresh_server() {
    stop_server
    rm -f "$work/display.fd"
    Xvfb -displayfd 3 -screen 0 "640x480x$1" -nolisten tcp -dpi 96 3>"$work/display.fd" >"$work/xvfb.log" 2>&1 &
    server=$!
    poll_until 10 test -s "$work/display.fd" || fail "no Xvfb at depth $1: $(cat "$work/xvfb.log")"
    local number
    number=$(tr -d '\n' <"$work/display.fd")
    poll_until 10 test -S "/tmp/.X11-unix/X$number" || fail "no socket for display :$number"
    export DISPLAY=":$number"
}

# Most lit pixels of the shot bluer than red, and few redder than blue: a
# red/blue swap in the colormap shows the teal-blue texture reddish.
bluish() {
    convert "$1" -format %c histogram:info:- | awk -F'[(),]' '
        $2 + $3 + $4 > 0 { lit += $1; if ($4 > $2) blue += $1; if ($2 > $4) red += $1 }
        END { exit !(blue >= 0.5 * lit && red < 0.5 * blue) }'
}

# starts DEPTH COUNT: the saver started COUNT times on its own on a fresh
# server; each start must draw the box, or end with one line saying why.
starts() {
    local depth=$1 count=$2 drew=0 i
    fresh_server "$depth"
    for ((i = 1; i <= count; i++)); do
        : >"$work/stderr"
        start_saver /s
        if poll_until 10 grep -qx 'RZX:Rendal Initialize' "$work/stderr" &&
            poll_until 10 shot_shows_box "$work/shot.png"; then
            drew=$((drew + 1))
            [ "$depth" != 8 ] || bluish "$work/shot.png" ||
                fail "the box on the 8-bit screen is not bluish: $(convert "$work/shot.png" -format %c histogram:info:-)"
        elif ended "$saver"; then
            grep -q '^vantel: ' "$work/stderr" || fail "start $i at $depth bits ended without a word"
            wait "$saver" || true
            continue
        else
            fail "start $i at $depth bits draws nothing and does not end: $(grep -v '^RZX\|^phase' "$work/stderr")"
        fi
        kill -TERM "$saver" 2>/dev/null || true
        expect_exit "$saver" 0 "SIGTERM to start $i at $depth bits"
    done
    echo "$depth bits: $drew of $count starts drew the box"
    [ "$drew" = "$count" ] || fail "only $drew of $count starts at $depth bits drew the box"
}

starts 24 20
starts 8 6
echo "ok"
