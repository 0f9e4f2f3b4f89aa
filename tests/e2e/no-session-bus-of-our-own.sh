#!/usr/bin/env bash
# Where no D-Bus session bus runs, neither program starts one. On a fresh
# display, DBUS_SESSION_BUS_ADDRESS unset, savers started at once in host
# windows (two, or SAVERS, as a host runs one per monitor) all show the box,
# and once they and the settings tool have ended, no dbus-daemon or
# dbus-launch serves that display. The seconds from the start to each box
# are printed; a saver waiting for an autolaunched bus took 3 more.
source "$(dirname "$0")/saver-lib.sh"
source "$(dirname "$0")/host-lib.sh"
source "$(dirname "$0")/../../scripts/lib/xvfb.sh"

command -v dbus-launch >/dev/null || fail "dbus-launch is missing, so no autolaunch could show (apt-get install dbus-x11)"
unset DBUS_SESSION_BUS_ADDRESS
mkdir "$work/display"
start_xvfb "$work/display" 1280x720 || fail "no display of our own"
bus_helpers() {
    local pid
    for pid in $(pgrep -x 'dbus-daemon|dbus-launch'); do
        tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "DISPLAY=$DISPLAY" && echo "$pid"
    done
    return 0
}
# A helper another test left on an earlier server of the same number is
# not ours.
bus_helpers_before=$(bus_helpers)
ours() { grep -vxF -e "${bus_helpers_before:-none}" <<<"$(bus_helpers)" || true; }
trap 'kill $(ours) 2>/dev/null || true; stop_xvfb; finish' EXIT

savers=${SAVERS:-2}
for ((i = 0; i < savers; i++)); do
    open_host_window "w$i" 300 200
    window_command "w$i" "move $((10 + i % 4 * 310)) $((10 + i / 4 * 250))"
done
start=${EPOCHREALTIME//[!0-9]/}
for ((i = 0; i < savers; i++)); do
    id="w${i}_id"
    start_named "s$i" --window-id "${!id}"
done
shown=()
all_shown() {
    local i id
    for ((i = 0; i < savers; i++)); do
        id="w${i}_id"
        [ -z "${shown[$i]:-}" ] && window_shows "${!id}" '#1884a0' 25% &&
            shown[$i]=$(((${EPOCHREALTIME//[!0-9]/} - start) / 1000))
    done
    [ "${#shown[@]}" = "$savers" ]
}
poll_until 30 all_shown || fail "boxes shown after 30 s: ${#shown[@]} of $savers"
echo "milliseconds from the start of $savers savers to each one's box: ${shown[*]}"
for ((i = 0; i < savers; i++)); do
    pid="s${i}_pid"
    kill -TERM "${!pid}"
    expect_exit "${!pid}" 0 "saver $i"
done

"$bin/vantel30" 2>/dev/null &
tool=$!
started+=("$tool")
tool_window() { xdotool search --pid "$tool" --name '^Vantel$' 2>/dev/null | head -1 | grep -q .; }
poll_until 20 tool_window || fail "the settings tool shows no window"
kill -TERM "$tool"
wait "$tool" 2>/dev/null || true
[ -z "$(ours)" ] || fail "a bus was left behind: $(ps -o args= -p "$(ours | paste -sd,)")"
echo "ok"
