#!/usr/bin/env bash
# `vantel /s` on desktops as people run them: under openbox, i3, fluxbox,
# icewm and xfwm4, with one, two and three monitors of different sizes and
# offsets, it covers every monitor's pixels (none of the root's colour shows
# on any), covers the window manager's panel, bar or toolbar, covers a
# window mapped after it (a managed one, and one that no manager stacks, as
# notifications are, mapped and then raised) again within a second, and a
# key, the left or the right button ends it with 0, although the later
# window has the focus.
source "$(dirname "$0")/saver-lib.sh"
source "$(dirname "$0")/desktop-lib.sh"

popup_window=${VANTEL_BUILD_DIR:?VANTEL_BUILD_DIR is not set}/tests/popup_window

endings=("key space" "click 1" "click 3")
case_number=0

run_case() {
    local wm=$1 layout=$2 name="$1, $2 monitor(s)"
    local ending=${endings[$((case_number++ % ${#endings[@]}))]}
    start_desktop "$wm" "$layout"
    # The panel, where the manager has one, shows before the saver starts.
    import -window root "$work/before.png"
    if [ "$wm" != openbox ] && [ "$wm" != xfwm4 ]; then
        poll_until 5 panel_shows || fail "$name: no panel showed"
    fi

    start_saver /s
    await_window
    local bounds
    bounds=$(bounding_box)
    [ "$(saver_geometry)" = "$bounds" ] || fail "$name: window at $(saver_geometry), monitors span $bounds"
    poll_until 10 monitors_covered || fail "$name: $(root_showing "$work/shot.png") pixels of the monitors uncovered"
    local chrome
    read -r -a chrome <<<"$(chrome_still_showing "$work/before.png" "$work/shot.png")"
    ((chrome[1] * 100 <= chrome[0])) || fail "$name: ${chrome[1]} of the panel's ${chrome[0]} pixels still show"

    # A window mapped later, painted the root's colour, is covered again
    # within a second of showing; it takes the focus, the saver keeps the keys.
    xmessage -bg "$root_colour" -geometry 400x300+40+40 "mapped after the saver" 2>/dev/null &
    local later=$!
    started+=("$later")
    timeout 10 xdotool search --sync --onlyvisible --class xmessage >/dev/null ||
        fail "$name: the later window never showed"
    poll_until 1 monitors_covered ||
        fail "$name: a second after a window was mapped, $(root_showing "$work/shot.png") pixels show it"
    coproc popup { "$popup_window" 300x200+100+100 "$root_colour"; }
    local reply
    read -r -t 10 reply <&"${popup[0]}" && [ "$reply" = mapped ] || fail "$name: no popup was mapped"
    poll_until 1 monitors_covered ||
        fail "$name: a second after a popup was mapped, $(root_showing "$work/shot.png") pixels show it"
    echo raise >&"${popup[1]}"
    read -r -t 10 reply <&"${popup[0]}" && [ "$reply" = done ] || fail "$name: the popup was not raised"
    poll_until 1 monitors_covered ||
        fail "$name: a second after a popup was raised, $(root_showing "$work/shot.png") pixels show it"
    local popup_pid=$popup_PID
    exec {popup[1]}>&-
    wait "$popup_pid"

    xdotool $ending
    expect_exit "$saver" 0 "$name, $ending"
    [ ! -s "$work/stderr" ] || fail "$name: the saver said: $(cat "$work/stderr")"
    kill "$later" 2>/dev/null || true
    end_desktop
    echo "ok: $name, ended by $ending"
}

panel_shows() {
    import -window root "$work/before.png"
    local chrome
    read -r -a chrome <<<"$(chrome_still_showing "$work/before.png" "$work/before.png")"
    ((chrome[0] > 0))
}

monitors_covered() {
    import -window root "$work/shot.png"
    [ "$(root_showing "$work/shot.png")" = 0 ]
}

# The rectangle that holds every monitor, as saver_geometry prints one.
bounding_box() {
    local geometry left=1000000 top=1000000 right=0 bottom=0 w h x y
    for geometry in "${monitors[@]}"; do
        read -r w h x y <<<"${geometry//[x+]/ }"
        ((x < left)) && left=$x
        ((y < top)) && top=$y
        ((x + w > right)) && right=$((x + w))
        ((y + h > bottom)) && bottom=$((y + h))
    done
    echo "$((right - left))x$((bottom - top))+$left+$top"
}

for wm in openbox i3 fluxbox icewm xfwm4; do
    for layout in one two three; do run_case "$wm" "$layout"; done
done
echo "ok"
