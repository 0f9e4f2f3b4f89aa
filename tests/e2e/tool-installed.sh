#!/usr/bin/env bash
# The tool installed where its user cannot write (as under /usr), on a first
# run: a stroke painted and "設定確定" clicked land in
# $XDG_DATA_HOME/vantel/123.bmp, which the settings name, and "プレビュー"
# starts the saver, which a key ends. It runs as nobody, since root writes
# through any mode bits.
source "$(dirname "$0")/saver-lib.sh"
source "$(dirname "$0")/host-lib.sh"

# An array, not a function: started in the background, its pid is the program's own.
as_nobody=(setpriv --reuid=nobody --regid=nogroup --clear-groups)

# The preview runs detached; it is known by the runtime directory it inherits.
previews() {
    local pid
    for pid in $(pgrep -u nobody -x vantel); do
        # One that has just ended has no environment left to read.
        { tr '\0' '\n' <"/proc/$pid/environ"; } 2>/dev/null | grep -qx "XDG_RUNTIME_DIR=$work/home/runtime" &&
            echo "$pid"
    done
    return 0
}
# Cleaning up must not fail when the preview is already gone.
trap '{ previews | xargs -r kill -KILL; } 2>/dev/null || true; finish' EXIT

chmod 755 "$work"
mkdir -p "$work/bin" "$work/home/data" "$work/home/config" "$work/home/runtime"
cp "$bin/vantel" "$bin/vantel30" "$work/bin/"
chmod 555 "$work/bin"
chmod 700 "$work/home/runtime"
chown -R nobody:nogroup "$work/home"
"${as_nobody[@]}" test -w "$work/bin" && fail "the program directory is writable for nobody"

"${as_nobody[@]}" env HOME="$work/home" XDG_DATA_HOME="$work/home/data" XDG_CONFIG_HOME="$work/home/config" \
    XDG_RUNTIME_DIR="$work/home/runtime" "$work/bin/vantel30" >"$work/tool.log" 2>&1 &
tool=$!
started+=("$tool")
tool_window() { xdotool search --pid "$tool" --name '^Vantel$' 2>/dev/null | head -1 | grep -q .; }
poll_until 20 tool_window || fail "no tool window appeared: $(cat "$work/tool.log")"
window=$(xdotool search --pid "$tool" --name '^Vantel$' | head -1)
info=$(xwininfo -id "$window")
left=$(sed -n 's/^ *Absolute upper-left X: *//p' <<<"$info")
top=$(sed -n 's/^ *Absolute upper-left Y: *//p' <<<"$info")

# A red stroke across the canvas (client area from (10, 10)), then "設定確定".
xdotool mousemove $((left + 50)) $((top + 138)) mousedown 1
for x in 80 120 160 210; do xdotool mousemove $((left + x)) $((top + 138)); done
xdotool mouseup 1
xdotool mousemove $((left + 320)) $((top + 196)) click 1

image=$work/home/data/vantel/123.bmp
ini=$work/home/config/vantel/Vantel.ini
poll_until 20 test -s "$ini" || fail "no 123.bmp in the data home: $(cat "$work/tool.log")"
[ -f "$image" ] || fail "123.bmp is not in \$XDG_DATA_HOME/vantel/"
[ -e "$work/bin/123.bmp" ] && fail "123.bmp was written beside the program"
grep -qx "FILENAME=$image" "$ini" || fail "the settings do not name $image: $(cat "$ini")"
[ "$(convert "$image" -format '%[fx:int(255*p{120,128}.r)],%[fx:int(255*p{120,128}.g)]' info:)" = "255,0" ] ||
    fail "the painted stroke is not in 123.bmp"

# The tool's window has the saver's name too: the saver's is the second one.
windows_named() { [ "$(saver_windows)" = "$1" ]; }
xdotool mousemove $((left + 320)) $((top + 220)) click 1
poll_until 20 windows_named 2 || fail "the preview showed no saver window"
xdotool key space
poll_until 20 windows_named 1 || fail "the preview did not end on a key"
# The preview inherits the tool's standard error: its trace may stand there, nothing else.
complaints=$(grep -v '^RZX:\|^phase [34]$' "$work/tool.log" || true)
[ -z "$complaints" ] || fail "the tool or its preview reported: $complaints"
echo "ok"
