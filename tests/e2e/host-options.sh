#!/usr/bin/env bash
# A host's command line of options is options only: `-colors 64`, as a user
# may add in XScreenSaver's list, is one warning line and the saver runs on
# in the host's window with the options it knows (the frame rate in the
# corner, a texture whose file name holds a blank); the settings tool is not
# started. SIGTERM ends it with 0.
source "$(dirname "$0")/saver-lib.sh"
source "$(dirname "$0")/host-lib.sh"

mkdir -p "$work/bin" "$work/My Pictures"
cp "$bin/vantel" "$work/bin/"
printf '#!/bin/sh\ntouch "%s/tool-started"\n' "$work" >"$work/bin/vantel30"
chmod +x "$work/bin/vantel30"
convert -size 256x256 xc:'#FF00FF' BMP3:"$work/My Pictures/painted.bmp"

open_host_window a 400 300
env --default-signal=INT "$work/bin/vantel" --window-id "$a_id" -colors 64 --fps \
    --texture "$work/My Pictures/painted.bmp" 2>"$work/a.err" &
a_pid=$!
started+=("$a_pid")

corner_shows_rate() {
    import -window "$a_id" "$work/a.png" 2>/dev/null || return 1
    local white
    white=$(convert "$work/a.png" -crop 80x20+0+0 -fill black +opaque white -format "%[fx:mean]" info:)
    awk -v w="$white" 'BEGIN { exit !(w > 0.02) }'
}
poll_until 20 corner_shows_rate || fail "no frame rate in the host window's corner"
poll_until 20 window_shows "$a_id" '#FF00FF' 30% || fail "the texture given on the command line does not show"
kill -0 "$a_pid" 2>/dev/null || fail "the saver ended"
[ ! -e "$work/tool-started" ] || fail "the settings tool was started"
[ "$(grep -c '^vantel:' "$work/a.err")" = 1 ] && grep -qx 'vantel: ignoring unknown option "-colors 64"' "$work/a.err" ||
    fail "not one warning of -colors 64: $(grep '^vantel:' "$work/a.err")"

kill -TERM "$a_pid"
expect_exit "$a_pid" 0 "SIGTERM"
echo "ok"
