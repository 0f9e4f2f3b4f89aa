# The one way the scripts start a private X server: a 1920x1080 screen (or
# another size) at 24 bits and 96 DPI (the settings tool lays itself out at
# 15 twips per pixel), no TCP, no server reset when the last client leaves (a
# client connecting just then would find the display gone), and a display
# number that Xvfb chooses itself, so servers started side by side never
# collide.

source "$(dirname "${BASH_SOURCE[0]}")/poll.sh"

# start_xvfb DIR [WIDTHxHEIGHT [DEPTH [XVFB-OPTION...]]]: starts Xvfb
# (1920x1080 at 24 bits unless another size and depth are given; further
# screens or options may follow) with its log in DIR/log, writes its display
# number to DIR/display, and sets xvfb_pid and DISPLAY. Fails, saying why,
# when Xvfb is missing or has given no display within ten seconds.
start_xvfb() {
  local dir=$1 size=${2:-1920x1080} depth=${3:-24}
  shift $(($# < 3 ? $# : 3))
  command -v Xvfb >/dev/null || { echo "Xvfb is not installed (apt-get install xvfb)" >&2; return 1; }
  # A number left by an earlier server in DIR must not pass for this one's.
  rm -f "$dir/display.fd"
  Xvfb -displayfd 3 -screen 0 "${size}x${depth}" -nolisten tcp -noreset -dpi 96 "$@" 3>"$dir/display.fd" >"$dir/log" 2>&1 &
  xvfb_pid=$!
  if ! poll_until 10 test -s "$dir/display.fd"; then
    stop_xvfb
    echo "Xvfb did not start; see $dir/log" >&2
    return 1
  fi
  tr -d '\n' <"$dir/display.fd" >"$dir/display"
  DISPLAY=":$(cat "$dir/display")"
  export DISPLAY
}

# stop_xvfb: ends the Xvfb that start_xvfb started in this shell, if any.
stop_xvfb() {
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null
  xvfb_pid=""
}
