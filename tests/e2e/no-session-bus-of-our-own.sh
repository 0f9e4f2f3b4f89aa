#!/usr/bin/env bash
# Where no D-Bus session bus runs, neither program starts one. On a fresh
# display, DBUS_SESSION_BUS_ADDRESS unset, savers started at once in host
# windows side by side (as a host runs one per monitor; two, or SAVERS) all
# show the box, and once they and the settings tool have ended, no
# dbus-daemon or dbus-launch runs for that display. Each saver's time from
# its start to its box is printed: 3 s and more meant a saver waiting for an
# autolaunched bus.
source "$(dirname "$0")/saver-lib.sh"
source "$(dirname "$0")/host-lib.sh"
source "$(dirname "$0")/../../scripts/lib/xvfb.sh"

command -v dbus-launch >/dev/null || fail "dbus-launch is missing, so no autolaunch could show (apt-get install dbus-x11)"
unset DBUS_SESSION_BUS_ADDRESS
mkdir "$work/display"
start_xvfb "$work/display" 1280x720 || fail "no display of our own"

# The dbus-daemon and dbus-launch processes that serve this display.
bus_helpers() {
    local pid
    for pid in $(pgrep -x 'dbus-daemon|dbus-launch'); do
        tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "DISPLAY=$DISPLAY" && echo "$pid"
    done
    return 0
}
end_bus_helpers() {
    local pid
    for pid in $(bus_helpers); do kill "$pid" 2>/dev/null; done
}
trap 'end_bus_helpers; stop_xvfb; finish' EXIT
[ -z "$(bus_helpers)" ] || fail "a bus serves the new display already"

savers=${SAVERS:-2}
for ((i = 0; i < savers; i++)); do
    open_host_window "w$i" 300 200
    window_command "w$i" "move $((10 + i % 4 * 310)) $((10 + i / 4 * 250))"
done

# Seconds since start ($1, microseconds) with milliseconds.
since() { printf '%d.%03d' $(((${EPOCHREALTIME//[!0-9]/} - $1) / 1000000)) $(((${EPOCHREALTIME//[!0-9]/} - $1) / 1000 % 1000)); }
# Whether window $1 (its place on the screenshot) shows the box.
lit() {
    local share
    share=$(convert "$work/all.png" -crop "300x200+$((10 + $1 % 4 * 310))+$((10 + $1 / 4 * 250))" +repage \
        -colorspace gray -threshold 1% -format "%[fx:mean]" info:)
    awk -v s="$share" 'BEGIN { exit !(s > 0.001) }'
}
start=${EPOCHREALTIME//[!0-9]/}
for ((i = 0; i < savers; i++)); do
    id="w${i}_id"
    start_named "s$i" --window-id "${!id}"
done
shown=()
all_shown() {
    import -window root "$work/all.png"
    local i
    for ((i = 0; i < savers; i++)); do
        [ -z "${shown[$i]:-}" ] && lit "$i" && shown[$i]=$(since "$start")
    done
    [ "${#shown[@]}" = "$savers" ]
}
poll_until 30 all_shown || fail "boxes shown after 30 s: ${#shown[@]} of $savers"
echo "seconds from the start of $savers savers to each one's box: ${shown[*]}"

for ((i = 0; i < savers; i++)); do
    pid="s${i}_pid"
    kill -TERM "${!pid}"
    expect_exit "${!pid}" 0 "saver $i"
done
[ -z "$(bus_helpers)" ] || fail "the savers left a bus behind: $(ps -o args= -p "$(bus_helpers | paste -sd,)")"

"$bin/vantel30" 2>"$work/tool.err" &
tool=$!
started+=("$tool")
tool_window() { xdotool search --pid "$tool" --name '^Vantel$' 2>/dev/null | head -1 | grep -q .; }
poll_until 20 tool_window || fail "the settings tool shows no window"
kill -TERM "$tool"
wait "$tool" 2>/dev/null || true
[ -z "$(bus_helpers)" ] || fail "the settings tool left a bus behind: $(ps -o args= -p "$(bus_helpers | paste -sd,)")"
echo "ok"
