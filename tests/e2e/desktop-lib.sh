# Desktops for the saver's end-to-end tests: a private Xvfb with one or more
# RandR monitors and a window manager on it, with the root in a colour the
# saver never draws (magenta), so that a screenshot counts what it leaves
# uncovered. Sourced after saver-lib.sh.
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib/xvfb.sh"

root_colour='#ff00ff'
shared_display=$DISPLAY
trap 'end_desktop; export DISPLAY=$shared_display; finish' EXIT

# Monitor layouts: the screen's size, then each monitor as WxH+X+Y, the
# first one primary. Sizes and offsets differ, leaving parts of the screen
# on no monitor.
declare -A layouts=(
    [one]="1280x1024 1280x1024+0+0"
    [two]="2304x1024 1280x1024+0+0 1024x768+1280+256"
    [three]="3104x1200 1280x1024+1024+0 1024x768+0+432 800x600+2304+600"
)

# start_desktop WM LAYOUT: a fresh Xvfb of LAYOUT's monitors with window
# manager WM running on it (its own home, so no earlier run's settings
# count), once it says so on the root; sets `monitors` and `wm_pid`.
start_desktop() {
    local wm=$1 layout
    read -r -a layout <<<"${layouts[$2]}"
    monitors=("${layout[@]:1}")
    mkdir -p "$work/xvfb" "$work/home"
    start_xvfb "$work/xvfb" "${layout[0]}" || fail "no private display"
    local i output=screen w h x y
    for i in "${!monitors[@]}"; do
        read -r w h x y <<<"${monitors[$i]//[x+]/ }"
        xrandr --setmonitor "m$i" "$w/$((w / 4))x$h/$((h / 4))+$x+$y" "$output" >/dev/null
        output=none
    done
    local command=("$wm")
    case $wm in
        i3) command=(i3 -c "$(dirname "${BASH_SOURCE[0]}")/desktop-i3.conf") ;;
        # Its style's wallpaper would hide the root's colour.
        fluxbox) mkdir -p "$work/home/.fluxbox" && echo "background: none" >"$work/home/.fluxbox/overlay" ;;
        # Its compositor paints the root from a wallpaper's pixmap, not in
        # the root's own colour.
        xfwm4) command=(xfwm4 --compositor=off) ;;
    esac
    # No session bus for the window managers that can do without one; xfwm4
    # cannot, and the one it starts ends with the desktop.
    local bus=disabled:
    [ "$wm" = xfwm4 ] && bus=""
    HOME=$work/home env ${bus:+DBUS_SESSION_BUS_ADDRESS=$bus} "${command[@]}" >"$work/wm.log" 2>&1 &
    wm_pid=$!
    started+=("$wm_pid")
    poll_until 10 wm_running || fail "$wm did not start: $(tail -2 "$work/wm.log")"
    xsetroot -solid "$root_colour"
}

wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }

# end_desktop: ends the window manager and the X server of start_desktop.
end_desktop() {
    [ -n "${wm_pid:-}" ] && kill "$wm_pid" 2>/dev/null
    wm_pid=""
    local pid
    for pid in $(pgrep -x dbus-launch) $(pgrep -x dbus-daemon); do
        { tr '\0' '\n' <"/proc/$pid/environ"; } 2>/dev/null | grep -qx "DISPLAY=$DISPLAY" && kill "$pid" 2>/dev/null
    done
    stop_xvfb
}

# root_showing SHOT: how many pixels of the root colour screenshot SHOT shows
# on the monitors (the parts of the screen on none do not count).
root_showing() {
    local geometry total=0 count
    for geometry in "${monitors[@]}"; do
        count=$(convert "$1" -precision 16 -crop "$geometry" +repage -fill black +opaque "$root_colour" \
            -fill white -opaque "$root_colour" -format '%[fx:round(mean*w*h)]' info:)
        total=$((total + count))
    done
    echo "$total"
}

# chrome_still_showing BEFORE DURING: of the pixels screenshot BEFORE shows of
# the window manager's own (neither root colour nor black: its panel, bar
# or toolbar), "<how many> <how many of them DURING shows unchanged>".
chrome_still_showing() {
    convert "$1" -fill black -opaque "$root_colour" -fill white +opaque black "$work/chrome.png"
    compare -compose src -highlight-color black -lowlight-color white "$1" "$2" "$work/same.png" || [ $? = 1 ]
    convert "$work/chrome.png" -precision 16 -format '%[fx:round(mean*w*h)] ' info:
    convert "$work/chrome.png" "$work/same.png" -precision 16 -compose multiply -composite -format '%[fx:round(mean*w*h)]\n' info:
}
