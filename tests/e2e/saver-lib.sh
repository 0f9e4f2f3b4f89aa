# Shared steps of the screensaver's end-to-end tests; sourced by each test.
# Every test gets its own runtime and config directories, so the single-instance
# lock and the settings never touch the real ones.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib/poll.sh"

bin=${VANTEL_BIN_DIR:?VANTEL_BIN_DIR is not set}
work=$(mktemp -d)
mkdir -p "$work/runtime" "$work/config"
chmod 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/config"
started=()

finish() {
    local pid
    for pid in "${started[@]}"; do kill -KILL "$pid" 2>/dev/null || true; done
    paint_root black || true
    rm -rf "$work"
}
trap finish EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Paints the bare root window in a solid colour ("white" or "black"), so that
# a screenshot tells the saver's own pixels from what lies under it. A first
# painting on a fresh display does not always hold; try again until it shows.
paint_root() {
    local want=1
    [ "$1" = black ] && want=0
    convert -size 1920x1080 "xc:$1" "$work/root-$1.png"
    poll_until 10 painted_root "$1" "$want"
}
painted_root() {
    display -window root "$work/root-$1.png" 2>/dev/null || true
    [ "$(screen_summary)" = "1920x1080 $2" ]
}

# Starts `vantel` with the given arguments in the background; its pid lands in $saver.
start_saver() {
    # Background jobs of a script start with SIGINT ignored; the saver must see it as a user would.
    env --default-signal=INT "$bin/vantel" "$@" 2>>"$work/stderr" &
    saver=$!
    started+=("$saver")
}

# Waits until the saver's window is mapped.
await_window() {
    timeout 20 xdotool search --sync --onlyvisible --name '^Vantel$' >/dev/null ||
        fail "no saver window appeared"
}

saver_windows() { xdotool search --onlyvisible --name '^Vantel$' 2>/dev/null | wc -l; }

# "<width>x<height>+<x>+<y>" of the saver's window on the screen.
saver_geometry() {
    xwininfo -id "$(xdotool search --onlyvisible --name '^Vantel$' | head -1)" |
        awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF} /Width/ {w=$NF} /Height/ {h=$NF}
             END {print w "x" h "+" x "+" y}'
}

# Prints "<width>x<height> <brightest channel value, 0 to 1>" of a root screenshot.
screen_summary() {
    import -window root "$work/shot.png"
    convert "$work/shot.png" -format "%wx%h %[fx:maxima]" info:
}

# The fraction of the screenshot $1 that is not black.
lit_fraction() {
    convert "$1" -colorspace gray -threshold 1% -format "%[fx:mean]" info:
}

# Takes a screenshot of the whole screen into $1; succeeds when a box-sized
# part of it is lit and the rest is black.
shot_shows_box() {
    import -window root "$1"
    local lit
    lit=$(lit_fraction "$1")
    awk -v f="$lit" 'BEGIN { exit !(f > 0.0003 && f < 0.05) }'
}

# Succeeds when some pixels of screenshot $1 lie within fuzz $3 of colour $2.
near_colour() {
    local share
    share=$(convert "$1" -alpha off -fuzz "$3" -fill white -opaque "$2" -fuzz 0 -fill black +opaque white \
        -colorspace gray -format "%[fx:mean]" info:)
    awk -v s="$share" 'BEGIN { exit !(s > 0.00005) }'
}

# Runs the rest of the test on an Xvfb of its own with a screen of size $1
# (further Xvfb arguments may follow); the shared display is left as every
# test leaves it.
use_private_display() {
    source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib/xvfb.sh"
    shared_display=${shared_display:-$DISPLAY}
    trap 'stop_xvfb; export DISPLAY=$shared_display; finish' EXIT
    mkdir -p "$work/xvfb"
    start_xvfb "$work/xvfb" "$@" || fail "no private display"
}
